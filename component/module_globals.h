// What the host handed the component: its gateway, the module handle and the module strings.
#pragma once

#include "component/host_interface.h"
#include "vesk/simple_string.h"

namespace component_module {

// Set by the entry point, overwritten by every later call.
extern host_api* host_api;
// Kept, never read.
extern void* module_handle;
// Copies of the host's texts; freed at unload by their destructors.
extern simple_string module_path;
extern simple_string module_file_name;

}  // namespace component_module
