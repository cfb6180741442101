#include "component/component_interface_impl.h"

#include "component/factory_registry.h"
#include "component/module_globals.h"
#include "component/state_persistence.h"

t_uint32 component_interface_impl::interface_version() { return component_interface_version; }

service_factory_base* component_interface_impl::factory_list() { return factory_list_head; }

void component_interface_impl::save_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort) {
    ::save_state(writer, abort);
}

void component_interface_impl::load_state(orvanta_io::stream_reader& reader, orvanta_io::abort_callback& abort) {
    ::load_state(reader, abort);
}

void component_interface_impl::set_module_strings(const char* module_path, const char* module_file_name) {
    component_module::module_path.set(module_path, vesk::length_up_to_nul);
    component_module::module_file_name.set(module_file_name, vesk::length_up_to_nul);
}

void component_interface_impl::set_services_ready(bool ready) {
    services_ready_ = ready;
    if (ready) services_ever_ready_ = true;
}

bool component_interface_impl::status_flag() { return false; }

component_interface_impl& the_component_interface() noexcept {
    static constinit component_interface_impl record;
    return record;
}
