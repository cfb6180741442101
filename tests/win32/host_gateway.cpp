#include "tests/win32/host_gateway.h"

namespace wine_host {

t_uint32 host_gateway::find_service_class(const GUID& class_guid) {
    return guid_equal(class_guid, filesystem::class_guid) ? filesystem_class : 0;
}

bool host_gateway::create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) {
    if (class_handle != filesystem_class || index >= count_) return false;
    out->assign(filesystems_[index]);
    return true;
}

bool host_gateway::add_filesystem(file_service& service) {
    if (count_ == capacity) return false;
    filesystems_[count_++] = &service;
    return true;
}

}  // namespace wine_host
