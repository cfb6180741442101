// What the host handed the component: its gateway (io/host_gateway.h), the module handle and the
// module strings.
#pragma once

#include "io/host_gateway.h"
#include "vesk/simple_string.h"

namespace component_module {

// Kept, never read.
extern void* module_handle;
// Copies of the host's texts; freed at unload by their destructors.
extern simple_string module_path;
extern simple_string module_file_name;

}  // namespace component_module
