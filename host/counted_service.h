// Reference counting for the host's own service objects (filesystem services, files, ...).
// Interfaces have no virtual destructor, so the object deletes itself as its most derived type:
// counted_service_t<T> is that type, and its release deletes it when the count reaches zero.
#pragma once

#include <atomic>
#include <utility>

#include "abi/service.h"

namespace host {

// Host service objects alive right now, of every kind. Tests compare it before and after.
long live_counted_objects() noexcept;

namespace detail {
void count_object(long delta) noexcept;
}

// T is a concrete class implementing a service interface except release and add_ref.
// Create instances only through make_counted, which hands out the first reference.
template <class T>
class counted_service_t final : public T {
public:
    template <class... Args>
    explicit counted_service_t(Args&&... args) : T(std::forward<Args>(args)...) {
        detail::count_object(1);
    }
    ~counted_service_t() { detail::count_object(-1); }

    counted_service_t(const counted_service_t&) = delete;
    counted_service_t& operator=(const counted_service_t&) = delete;

    t_uint32 release() override {
        const t_uint32 remaining = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }
    t_uint32 add_ref() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }

private:
    std::atomic<t_uint32> count_{0};
};

// A new counted T holding one reference: the returned holder's.
template <class T, class... Args>
service_ref make_counted(Args&&... args) {
    return service_ref(new counted_service_t<T>(std::forward<Args>(args)...));
}

// The query answer of an object that offers exactly one service class.
inline bool query_own_class(service_base* self, service_ref* out, const GUID& asked, const GUID& own) {
    if (out == nullptr || !guid_equal(asked, own)) return false;
    out->assign(self);
    return true;
}

}  // namespace host
