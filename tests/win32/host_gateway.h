// The test host's host_api: the filesystem services it offers, in order, and no other class.
// Implemented here; the component calls it by slot.
#pragma once

#include "abi/host_api.h"
#include "tests/win32/file_service.h"

namespace wine_host {

class host_gateway final : public host_api {
public:
    static constexpr t_uint32 capacity = 4;

    host_gateway() = default;
    host_gateway(const host_gateway&) = delete;
    host_gateway& operator=(const host_gateway&) = delete;
    ~host_gateway() = default;

    // 0 for a class the host does not offer.
    t_uint32 find_service_class(const GUID& class_guid) override;                          // slot 0
    bool create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) override;  // slot 1

    // Offered after the ones added before; false when full. The service must outlive the gateway's
    // use.
    bool add_filesystem(file_service& service);

private:
    static constexpr t_uint32 filesystem_class = 1;

    file_service* filesystems_[capacity] = {};
    t_uint32 count_ = 0;
};

}  // namespace wine_host
