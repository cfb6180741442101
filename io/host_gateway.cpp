#include "io/host_gateway.h"

namespace component_module {

::host_api* host_api = nullptr;

}  // namespace component_module
