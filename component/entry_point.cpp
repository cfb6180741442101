// The component's only exported function.

#include "component/component_interface_impl.h"
#include "component/module_globals.h"

extern "C" ORVANTA_EXPORT component_interface* orvanta_get_interface(host_api* api, void* module_handle) {
    component_module::host_api = api;
    component_module::module_handle = module_handle;
    return &the_component_interface();
}
