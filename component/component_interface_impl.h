// The one static record the entry point hands the host.
#pragma once

#include "abi/component_interface.h"


class component_interface_impl final : public component_interface {
public:
    t_uint32 interface_version() override;
    service_factory_base* factory_list() override;
    void save_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort) override;
    void load_state(orvanta_io::stream_reader& reader, orvanta_io::abort_callback& abort) override;
    void set_module_strings(const char* module_path, const char* module_file_name) override;
    void set_services_ready(bool ready) override;
    bool status_flag() override;

    // Stored for the host's sake; the component reads neither.
    bool services_ready() const noexcept { return services_ready_; }
    bool services_ever_ready() const noexcept { return services_ever_ready_; }

private:
    bool services_ready_ = false;
    bool services_ever_ready_ = false;
};

component_interface_impl& the_component_interface() noexcept;
