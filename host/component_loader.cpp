#include "host/component_loader.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <memory>
#include <exception>
#include <new>
#include <unordered_set>

namespace host {

namespace {

std::string loader_error(const std::string& what) {
    const char* reason = ::dlerror();
    return reason != nullptr ? what + ": " + reason : what;
}

struct library_closer {
    void operator()(void* handle) const noexcept { ::dlclose(handle); }
};

}  // namespace

loaded_component::loaded_component(const std::string& path, host_api& api) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error || path.empty()) throw component_load_error("Cannot load component \"" + path + "\": invalid path");
    path_ = absolute.lexically_normal().string();
    file_name_ = absolute.filename().string();

    // Always the absolute path, so dlopen opens this very file rather than searching for the name.
    // Every way out before the end unloads it again.
    std::unique_ptr<void, library_closer> library(::dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (library == nullptr) throw component_load_error(loader_error("Cannot load component " + path_));

    ::dlerror();
    void* symbol = ::dlsym(library.get(), "orvanta_get_interface");
    if (symbol == nullptr) throw component_load_error(loader_error("Cannot use component " + path_));
    const auto entry_point = reinterpret_cast<orvanta_get_interface_function>(symbol);
    interface_ = entry_point(&api, library.get());
    if (interface_ == nullptr)
        throw component_load_error("Cannot use component " + path_ + ": its entry point returned nothing");
    // The component's exception may live in its own library (its type, its text), which unloading
    // takes away: keep a copy of the text, made without allocating.
    char failure[256] = "it failed to start";
    try {
        interface_->set_module_strings(path_.c_str(), file_name_.c_str());
        handle_ = library.release();
        return;
    } catch (const std::bad_alloc&) {
        std::snprintf(failure, sizeof failure, "%s", "bad allocation");
    } catch (const std::exception& error) {
        std::snprintf(failure, sizeof failure, "%s", error.what());
    } catch (...) {
    }
    throw component_load_error("Cannot use component " + path_ + ": " + failure);
}

loaded_component::~loaded_component() { ::dlclose(handle_); }

std::vector<service_factory_base*> loaded_component::factories() const {
    std::vector<service_factory_base*> list;
    std::unordered_set<service_factory_base*> seen;
    for (service_factory_base* factory = interface_->factory_list(); factory != nullptr; factory = factory->next) {
        if (!seen.insert(factory).second) {
            throw component_load_error("Component " + path_ + " has a circular factory list");
        }
        list.push_back(factory);
    }
    return list;
}

std::vector<service_ref> loaded_component::create_services(const GUID& class_guid) const {
    std::vector<service_ref> services;
    for (service_factory_base* factory : factories()) {
        if (factory->class_guid == nullptr || !guid_equal(*factory->class_guid, class_guid)) continue;
        service_ref service;
        factory->create_instance(&service);
        if (service) services.push_back(std::move(service));
    }
    return services;
}

service_ref loaded_component::create_service(const GUID& class_guid) const {
    for (service_factory_base* factory : factories()) {
        if (factory->class_guid == nullptr || !guid_equal(*factory->class_guid, class_guid)) continue;
        service_ref service;
        factory->create_instance(&service);
        if (service) return service;
    }
    return {};
}

}  // namespace host
