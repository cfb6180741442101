#include "component/module_globals.h"

namespace component_module {

void* module_handle = nullptr;
simple_string module_path;
simple_string module_file_name;

}  // namespace component_module
