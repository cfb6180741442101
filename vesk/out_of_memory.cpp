#include "vesk/out_of_memory.h"

#include <new>

#include "abi/types.h"

namespace {

#if !defined(_WIN32)
// Caught as std::bad_alloc; only its text differs from the runtime's own.
class bad_allocation : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};
#endif

}  // namespace

namespace vesk {

void throw_bad_alloc() {
#if defined(_WIN32)
    throw std::bad_alloc();
#else
    throw bad_allocation();
#endif
}

}  // namespace vesk
