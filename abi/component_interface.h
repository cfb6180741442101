// The component_interface record and the one exported function that hands it to the host.
// Implemented by the component; the host calls it by slot.
#pragma once

#include <type_traits>

#include "abi/abort_callback.h"
#include "abi/service.h"
#include "abi/stream.h"

class host_api;

// The one static record the entry point hands out. Implemented by the component.
class ORVANTA_SHARED_TYPE component_interface {
public:
    virtual t_uint32 interface_version() = 0;                                                    // slot 0
    virtual service_factory_base* factory_list() = 0;                                            // slot 1
    virtual void save_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort) = 0;  // slot 2
    virtual void load_state(orvanta_io::stream_reader& reader, orvanta_io::abort_callback& abort) = 0;  // slot 3
    virtual void set_module_strings(const char* module_path, const char* module_file_name) = 0;  // slot 4
    virtual void set_services_ready(bool ready) = 0;                                             // slot 5
    virtual bool status_flag() = 0;                                                              // slot 6

protected:
    component_interface() = default;
    component_interface(const component_interface&) = delete;
    component_interface& operator=(const component_interface&) = delete;
    ~component_interface() = default;
};
static_assert(!std::has_virtual_destructor_v<component_interface>);

inline constexpr t_uint32 component_interface_version = 71;

// The one exported function, under its plain name.
extern "C" ORVANTA_EXPORT component_interface* orvanta_get_interface(host_api* api, void* module_handle);
using orvanta_get_interface_function = component_interface* (*)(host_api* api, void* module_handle);
