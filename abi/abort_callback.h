// The abort signal handed to every host I/O operation.
// Implemented by the component (abort_callback_impl) and by hosts; both sides call it by slot.
#pragma once

#include <type_traits>

#include "abi/types.h"

namespace orvanta_io {

class ORVANTA_SHARED_TYPE abort_callback {
public:
    virtual bool aborting() const = 0;      // slot 0
    virtual void* abort_event() const = 0;  // slot 1: a Win32 event handle (or the stand-in's)

protected:
    abort_callback() = default;
    abort_callback(const abort_callback&) = default;
    abort_callback& operator=(const abort_callback&) = default;
    ~abort_callback() = default;
};

static_assert(!std::has_virtual_destructor_v<abort_callback>);

}  // namespace orvanta_io
