#include "host/host_services.h"

namespace host {

std::size_t host_api_impl::entry_of(const GUID& class_guid) {
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        if (guid_equal(classes_[i].guid, class_guid)) return i;
    }
    classes_.push_back(service_class{class_guid, {}});
    return classes_.size() - 1;
}

void host_api_impl::add_service(const GUID& class_guid, service_base* object) {
    service_ref held(object);
    std::lock_guard lock(mutex_);
    classes_[entry_of(class_guid)].services.push_back(std::move(held));
}

t_uint32 host_api_impl::service_count(const GUID& class_guid) const {
    std::lock_guard lock(mutex_);
    for (const service_class& entry : classes_) {
        if (guid_equal(entry.guid, class_guid)) return static_cast<t_uint32>(entry.services.size());
    }
    return 0;
}

void host_api_impl::clear_services() {
    std::vector<service_ref> dropped;
    {
        std::lock_guard lock(mutex_);
        for (service_class& entry : classes_) {
            for (service_ref& service : entry.services) dropped.push_back(std::move(service));
            entry.services.clear();
        }
    }
    // Released here, outside the lock, in case a release calls back into the host.
}

t_uint32 host_api_impl::find_service_class(const GUID& class_guid) {
    std::lock_guard lock(mutex_);
    return static_cast<t_uint32>(entry_of(class_guid));
}

bool host_api_impl::create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) {
    if (out == nullptr) return false;
    service_ref found;
    {
        std::lock_guard lock(mutex_);
        if (class_handle >= classes_.size()) return false;
        const std::vector<service_ref>& services = classes_[class_handle].services;
        if (index >= services.size()) return false;
        found = services[index];
    }
    // Assigned outside the lock: releasing what out held before may call back into the host.
    *out = found;
    created_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

}  // namespace host
