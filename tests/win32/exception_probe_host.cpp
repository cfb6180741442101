// Loads the probe DLL the way the player loads a component and checks, as an MSVC-ABI host, what
// arrives from it: exceptions by std::exception&, by their exact and intermediate types, with their
// texts; a host exception through the DLL's frames; static objects at load and unload.

#include <windows.h>

#include <cstring>
#include <exception>
#include <new>

#include "abi/io_exceptions.h"
#include "tests/win32/wine_check.h"

using wine_check::expect;
using wine_check::expect_text;

namespace {

HMODULE probe = nullptr;

template <class Function>
Function entry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(probe, name)));
}

// What the host caught when it called function, as std::exception.
template <class... Args>
const char* caught_text(const char* name, Args... args) {
    static char text[128];
    text[0] = '\0';
    auto* function = entry<void (*)(Args...)>(name);
    if (!function) return "(no such export)";
    try {
        function(args...);
        return "(nothing thrown)";
    } catch (const std::exception& error) {
        std::strncpy(text, error.what(), sizeof text - 1);
        return text;
    } catch (...) {
        return "(not a std::exception)";
    }
}

[[noreturn]] void host_throws() { throw orvanta_io::exception_io_no_handler_for_path(); }

}  // namespace

int main() {
    probe = LoadLibraryW(L"win32_exception_probe.dll");
    expect(probe != nullptr, "LoadLibraryW loads the probe DLL");
    if (!probe) return wine_check::result();

    auto* constructed = entry<int (*)()>("probe_constructed");
    expect(constructed && constructed() == 42, "static constructors ran at load");

    expect_text(caught_text("probe_throw_bad_alloc"), "bad allocation", "vesk::throw_bad_alloc: std::exception with MSVC's text");
    bool exact = false;
    try {
        entry<void (*)()>("probe_throw_bad_alloc")();
    } catch (const std::bad_alloc&) {
        exact = true;
    } catch (...) {
    }
    expect(exact, "vesk::throw_bad_alloc is caught as std::bad_alloc");

    expect_text(caught_text("probe_allocate_too_much"), "bad allocation", "operator new failing raises std::bad_alloc");

    expect_text(caught_text("probe_throw_io_data"), "Unsupported format or corrupted file",
                "exception_io_data: std::exception with its text");
    int by_type = 0;
    try {
        entry<void (*)()>("probe_throw_io_data")();
    } catch (const orvanta_io::exception_io_data_truncation&) {
        by_type = -1;  // a derived type must not match
    } catch (const orvanta_io::exception_io_data& error) {
        by_type = std::strcmp(error.what(), "Unsupported format or corrupted file") == 0 ? 1 : -2;
    } catch (...) {
    }
    expect(by_type == 1, "exception_io_data is caught by its exact type");
    bool by_base = false;
    try {
        entry<void (*)()>("probe_throw_io_data")();
    } catch (const orvanta_io::exception_io&) {
        by_base = true;
    } catch (...) {
    }
    expect(by_base, "exception_io_data is caught as its base exception_io");

    expect_text(caught_text("probe_throw_composed", "composed ", "text"), "composed text",
                "a composed text owned by the exception arrives intact");

    int destroyed = 0;
    bool passed_through = false;
    try {
        entry<void (*)(void (*)(), int*)>("probe_call_through")(&host_throws, &destroyed);
    } catch (const orvanta_io::exception_io_no_handler_for_path& error) {
        passed_through = std::strcmp(error.what(), "Invalid path") == 0;
    } catch (...) {
    }
    expect(passed_through, "a host exception passes back through the DLL");
    expect(destroyed == 1, "the DLL's frame ran its destructors on the way");

    int unloaded = 0;
    if (auto* watch = entry<void (*)(int*)>("probe_watch_unload")) watch(&unloaded);
    expect(FreeLibrary(probe) != FALSE, "FreeLibrary");
    expect(unloaded == 1, "static objects were destroyed at unload");

    return wine_check::result();
}
