// Controls of the Linux stand-in for the operating system, for the hosting program and tests.
// Not part of the component: the component only calls the platform functions themselves.
#pragma once

#include "abi/types.h"
#include "platform/save_dialog.h"

namespace platform::standin {

// The iconv name of the "system ANSI code page"; false (and no change) when iconv lacks it.
bool set_ansi_code_page(const char* iconv_name) noexcept;
const char* ansi_code_page() noexcept;

// How the save dialog is answered. The answerer fills settings.file and settings.filter_index
// and returns true, or returns false for a cancel. Null uninstalls (every dialog is a cancel).
using save_dialog_answerer = bool (*)(save_dialog_settings& settings, void* context);
void set_save_dialog_answerer(save_dialog_answerer answerer, void* context) noexcept;

// Test seams. The n-th heap call from now (allocate, reallocate or resize in place; 1 = the next)
// fails; 0 turns failing off. Counting continues across calls and threads.
void fail_heap_call(unsigned long n) noexcept;
// Heap calls (allocate, reallocate, resize in place) made since the process started.
unsigned long heap_calls() noexcept;
// The next event creation fails with this error code; 0 turns it off.
void fail_next_event_creation(t_uint32 error_code) noexcept;
// Events created and not yet closed.
long open_events() noexcept;

}  // namespace platform::standin
