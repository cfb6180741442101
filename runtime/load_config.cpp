// The load configuration record. With it the linker records the module's table of safe exception
// handlers, so Windows lets the C++ handlers run; without it the module is marked as having none
// and Windows refuses them. Wine does not check this; the PE test does.

#include <windows.h>

extern "C" {

// Made by lld-link under /safeseh.
extern void* __safe_se_handler_table[];
extern unsigned char __safe_se_handler_count;

extern const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used;
const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY32),
    .SEHandlerTable = reinterpret_cast<DWORD>(__safe_se_handler_table),
    .SEHandlerCount = reinterpret_cast<DWORD>(&__safe_se_handler_count),
};

}  // extern "C"
