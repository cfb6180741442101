// The host's gateway, handed to the entry point: the component finds host services through it.
// Implemented by the host; the component calls it by slot.
#pragma once

#include <type_traits>

#include "abi/service.h"

// The host's gateway, handed to the entry point. Not a counted object.
class ORVANTA_SHARED_TYPE host_api {
public:
    // A handle for the service class, used with create_service.
    virtual t_uint32 find_service_class(const GUID& class_guid) = 0;                          // slot 0
    // True and the index-th service of the class in out; false past the last one.
    virtual bool create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) = 0;  // slot 1

protected:
    host_api() = default;
    host_api(const host_api&) = default;
    host_api& operator=(const host_api&) = default;
    ~host_api() = default;
};

static_assert(!std::has_virtual_destructor_v<host_api>);
