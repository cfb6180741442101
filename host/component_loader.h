// Loading a component library as the player does: open it, call its entry point, walk its
// factory registry and create its services. Everything is called by slot through the declared
// interfaces; the host never links the component's code.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "abi/component_interface.h"
#include "abi/host_api.h"

namespace host {

// The library could not be opened or lacks the entry point; the message carries the loader's text.
class component_load_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One loaded component. Release every reference to the component's objects before destroying
// it: the library is unloaded then, and its code with it.
class loaded_component {
public:
    // Opens the library at path, calls orvanta_get_interface(&api, handle) and hands the component
    // its absolute path and file name. api must outlive this object. Throws component_load_error.
    loaded_component(const std::string& path, host_api& api);
    ~loaded_component();
    loaded_component(const loaded_component&) = delete;
    loaded_component& operator=(const loaded_component&) = delete;

    component_interface& interface_record() const noexcept { return *interface_; }
    t_uint32 interface_version() const { return interface_->interface_version(); }
    // The registry in order, read through each factory's next field. Throws component_load_error
    // when the list runs in a circle.
    std::vector<service_factory_base*> factories() const;
    // One service per factory of the class, in registry order.
    std::vector<service_ref> create_services(const GUID& class_guid) const;
    // The first service of the class; empty when the component offers none.
    service_ref create_service(const GUID& class_guid) const;

    const std::string& path() const noexcept { return path_; }            // absolute
    const std::string& file_name() const noexcept { return file_name_; }
    void* handle() const noexcept { return handle_; }

private:
    std::string path_;
    std::string file_name_;
    void* handle_ = nullptr;
    component_interface* interface_ = nullptr;
};

}  // namespace host
