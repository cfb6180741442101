// What a module runs as it starts and as it ends (the entry points in dll_entry.cpp and
// program_entry.cpp).
#pragma once

namespace trevalin_runtime {

// Every static constructor of the module, in link order.
void run_static_constructors() noexcept;
// The module's atexit functions, last registered first, then the runtime's own clean-up.
void run_module_exit() noexcept;

}  // namespace trevalin_runtime
