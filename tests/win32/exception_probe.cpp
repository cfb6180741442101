// A small DLL built like the component, for proving the runtime under Wine before the component is
// complete: its exceptions reach an MSVC-ABI host by type and with their texts, a host exception
// unwinds through its frames, and its static objects are built at load and destroyed at unload.

#include <cstring>
#include <exception>
#include <new>

#include "abi/io_exceptions.h"
#include "vesk/out_of_memory.h"

#define PROBE_EXPORT extern "C" __declspec(dllexport)

namespace {

int constructed_value = 0;
int* unload_flag = nullptr;

struct load_marker {
    load_marker() { constructed_value = 42; }
    ~load_marker() {
        if (unload_flag) *unload_flag = 1;
    }
};
load_marker marker;

struct destruction_witness {
    int* destroyed;
    ~destruction_witness() { *destroyed = 1; }
};

}  // namespace

PROBE_EXPORT int probe_constructed() { return constructed_value; }

PROBE_EXPORT void probe_watch_unload(int* flag) { unload_flag = flag; }

PROBE_EXPORT void probe_throw_bad_alloc() { vesk::throw_bad_alloc(); }

PROBE_EXPORT void probe_throw_io_data() { throw orvanta_io::exception_io_data(); }

// The runtime's operator new when the heap says no. No 32-bit process can hold this much.
PROBE_EXPORT void probe_allocate_too_much() {
    volatile std::size_t bytes = static_cast<std::size_t>(-64);
    void* block = ::operator new(bytes);
    ::operator delete(block);
}

// A text built at run time, which std::exception copies and owns (MSVC's extension); the buffer is
// gone by the time the host reads what().
PROBE_EXPORT void probe_throw_composed(const char* first, const char* second) {
    char text[64] = {};
    std::strncat(text, first, sizeof text - 1);
    std::strncat(text, second, sizeof text - 1 - std::strlen(text));
    throw std::exception(text);
}

// Calls back into the host, which throws; the exception passes through this frame.
PROBE_EXPORT void probe_call_through(void (*callback)(), int* destroyed) {
    destruction_witness witness{destroyed};
    callback();
}
