// Calls an operation by its position in an object's table, as the player does, without the
// interface's declaration: a test that reads a text this way proves the slot number itself.
#pragma once

#if defined(_WIN32)
// MSVC's member calls on 32-bit x86: this in ECX, the callee pops the arguments.
#define WINE_HOST_MEMBER_CALL __thiscall
#else
#define WINE_HOST_MEMBER_CALL
#endif

namespace wine_host {

// References travel as pointers; give Args exactly as the operation declares them.
template <class Result, class... Args>
Result call_slot(void* object, unsigned slot, Args... args) {
    using operation = Result(WINE_HOST_MEMBER_CALL*)(void*, Args...);
    void* const* const table = *static_cast<void* const* const*>(object);
    return reinterpret_cast<operation>(table[slot])(object, args...);
}

}  // namespace wine_host
