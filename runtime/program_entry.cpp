// The entry point of the test programs: static constructors, main(argc, argv) with ucrtbase's
// parsing of the command line, the module's atexit table, then ucrtbase's exit (which flushes its
// streams).

#include <cstdlib>

#include "module_exit.h"

extern "C" {
__declspec(dllimport) int __cdecl _configure_narrow_argv(int mode);
__declspec(dllimport) int* __cdecl __p___argc();
__declspec(dllimport) char*** __cdecl __p___argv();
int __cdecl program_main(int argc, char** argv) __asm__("_main");
}

namespace {
constexpr int argv_unexpanded = 1;
}  // namespace

extern "C" int __cdecl mainCRTStartup() noexcept {
    trevalin_runtime::run_static_constructors();
    _configure_narrow_argv(argv_unexpanded);
    const int status = program_main(*__p___argc(), *__p___argv());
    trevalin_runtime::run_module_exit();
    std::exit(status);
}
