// The host's gateway that the component receives through its entry point: the services the host
// offers, by service class, in the order they were added.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "abi/host_api.h"

namespace host {

// Implemented here; the component calls find_service_class and create_service by slot.
// Not counted: it must outlive every component loaded with it.
class host_api_impl final : public host_api {
public:
    host_api_impl() = default;
    host_api_impl(const host_api_impl&) = delete;
    host_api_impl& operator=(const host_api_impl&) = delete;
    ~host_api_impl() = default;

    // Offers object as the next service of its class; the registry holds its own reference.
    // Services are enumerated in the order they were added.
    void add_service(const GUID& class_guid, service_base* object);
    void add_service(const GUID& class_guid, const service_ref& object) { add_service(class_guid, object.get()); }
    t_uint32 service_count(const GUID& class_guid) const;
    // Drops every service reference the registry holds (class handles stay valid, with no services).
    void clear_services();

    // A stable handle; a class with no services yet gets a handle that enumerates nothing
    // until services of that class are added.
    t_uint32 find_service_class(const GUID& class_guid) override;                          // slot 0
    // Stores the index-th service of the class in out (add-ref'd) and answers true; false, with out
    // untouched, for an unknown handle or an index past the last service.
    bool create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) override;  // slot 1

    // Counters for tests: services handed out by create_service so far.
    unsigned long services_created() const noexcept { return created_.load(std::memory_order_relaxed); }

private:
    struct service_class {
        GUID guid;
        std::vector<service_ref> services;
    };

    // The index of the class's entry, added when missing. Call with mutex_ held.
    std::size_t entry_of(const GUID& class_guid);

    mutable std::mutex mutex_;
    std::vector<service_class> classes_;
    std::atomic<unsigned long> created_{0};
};

}  // namespace host
