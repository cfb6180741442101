// Termination: std::terminate and the handler functions are ucrtbase's; __std_terminate is what
// the compiler calls when an exception leaves a noexcept function.

#include <exception>

extern "C" {
__declspec(dllimport) __attribute__((__noreturn__)) void __cdecl terminate();
__declspec(dllimport) std::terminate_handler __cdecl set_terminate(std::terminate_handler handler);
__declspec(dllimport) std::terminate_handler __cdecl _get_terminate();
}

namespace std {

void __cdecl terminate() noexcept { ::terminate(); }

terminate_handler __cdecl set_terminate(terminate_handler handler) noexcept { return ::set_terminate(handler); }

terminate_handler __cdecl get_terminate() noexcept { return ::_get_terminate(); }

}  // namespace std

extern "C" __attribute__((__noreturn__)) void __cdecl __std_terminate() noexcept { ::terminate(); }
