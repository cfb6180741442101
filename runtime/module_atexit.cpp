// The module's own atexit table. Destructors of static objects register here, and they must run
// when this module unloads: ucrtbase's process-wide table would call them after the module's code
// is gone.

#include <cstdlib>
#include <typeinfo>

#include "module_exit.h"

namespace {

using exit_function = void(__cdecl*)();

exit_function* table = nullptr;
unsigned count = 0;
unsigned capacity = 0;
int table_lock = 0;

// Registrations can come from any thread (a function-local static's first use).
class lock_guard {
public:
    lock_guard() noexcept {
        while (__atomic_exchange_n(&table_lock, 1, __ATOMIC_ACQUIRE) != 0) {
        }
    }
    ~lock_guard() { __atomic_store_n(&table_lock, 0, __ATOMIC_RELEASE); }
    lock_guard(const lock_guard&) = delete;
    lock_guard& operator=(const lock_guard&) = delete;
};

exit_function take_last() noexcept {
    lock_guard guard;
    return count == 0 ? nullptr : table[--count];
}

}  // namespace

extern "C" int __cdecl atexit(exit_function function) noexcept {
    lock_guard guard;
    if (count == capacity) {
        const unsigned grown = capacity == 0 ? 32 : capacity * 2;
        auto* larger = static_cast<exit_function*>(std::realloc(table, grown * sizeof(exit_function)));
        if (!larger) return -1;
        table = larger;
        capacity = grown;
    }
    table[count++] = function;
    return 0;
}

// The undecorated type names that type_info::name() allocated.
extern "C" __type_info_node __type_info_root_node{};
extern "C" __declspec(dllimport) void __cdecl __std_type_info_destroy_list(__type_info_node* root);

namespace trevalin_runtime {

void run_module_exit() noexcept {
    // A function may register another while the table runs; it runs too.
    while (const exit_function function = take_last()) function();
    std::free(table);
    table = nullptr;
    capacity = 0;
    __std_type_info_destroy_list(&__type_info_root_node);
}

}  // namespace trevalin_runtime
