#include "host/counted_service.h"

namespace host {

namespace {
std::atomic<long> live_objects{0};
}

long live_counted_objects() noexcept { return live_objects.load(std::memory_order_relaxed); }

void detail::count_object(long delta) noexcept { live_objects.fetch_add(delta, std::memory_order_relaxed); }

}  // namespace host
