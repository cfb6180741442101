// The compiler lists each object file's initialisers in .CRT$XCU; the linker sorts the .CRT$XC*
// sections by name, so everything between these two markers is the module's initialisers in link
// order.

#include "module_exit.h"

namespace {

using initialiser = void(__cdecl*)();

#pragma section(".CRT$XCA", read)
#pragma section(".CRT$XCZ", read)
__declspec(allocate(".CRT$XCA")) __attribute__((used)) const initialiser first_marker = nullptr;
__declspec(allocate(".CRT$XCZ")) __attribute__((used)) const initialiser last_marker = nullptr;

}  // namespace

namespace trevalin_runtime {

void run_static_constructors() noexcept {
    // Read through volatile: to the compiler the markers are two unrelated objects.
    for (const initialiser volatile* entry = &first_marker + 1; entry < &last_marker; ++entry) {
        if (const initialiser function = *entry) function();
    }
}

}  // namespace trevalin_runtime
