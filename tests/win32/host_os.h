// The test host's few calls into the operating system: loading the component, and writing and
// reading files by UTF-8 path. host_os_win32.cpp makes them Win32 calls
// (the host under Wine); host_os_posix.cpp makes them POSIX calls, so that the same host runs
// against the Linux build of the component and proves its own checks there.
#pragma once

#include "abi/component_interface.h"
#include "abi/types.h"

namespace wine_host::os {

// Between the parts of a path.
extern const char path_separator;

// The component beside the program (trevalin.dll), or null.
void* load_component();
orvanta_get_interface_function component_entry(void* module);
bool unload_component(void* module);
// The file name the player hands the component through set_module_strings.
const char* component_file_name();

// Files by UTF-8 path. create_file empties an existing file; null on failure.
void* create_file(const char* path);
bool write_file(void* file, const void* bytes, t_uint32 count);
bool close_file(void* file);
bool file_exists(const char* path);
// Removes the file if it is there; false only when it stays.
bool remove_file(const char* path);
// Makes the folder if it is not there yet; false only when it is still missing.
bool make_folder(const char* path);
// Reads the whole file into buffer; its size, or -1 when it cannot be read or does not fit.
long read_file(const char* path, char* buffer, t_uint32 capacity);

// The ANSI forms' golden sheets are windows-1252: true when that is the system's ANSI code page.
bool ansi_code_page_is_1252();

// How the next save dialog is answered. Under Wine the dialog is real and whoever drives the
// display answers it (tests/win32/run-with-dialog), so these do nothing there; on Linux the
// stand-in dialog answers with this path and 1-based filter index, or cancels.
void answer_dialog_with(const char* path, t_uint32 filter_index);
void cancel_dialog();

}  // namespace wine_host::os
