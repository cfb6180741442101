// The entry point of every DLL built here: static constructors on load, the module's atexit table
// on unload.

#include "module_exit.h"

namespace {
constexpr unsigned long dll_process_detach = 0;
constexpr unsigned long dll_process_attach = 1;
}  // namespace

extern "C" int __stdcall _DllMainCRTStartup(void*, unsigned long reason, void*) noexcept {
    if (reason == dll_process_attach) trevalin_runtime::run_static_constructors();
    if (reason == dll_process_detach) trevalin_runtime::run_module_exit();
    return 1;
}
