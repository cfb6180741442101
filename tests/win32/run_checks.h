// What the test host checks around one run of the command: what left it (nothing, or an exception
// with its text and type), and that afterwards every handle, lock, file and reference the run took
// was given back.
#pragma once

#include <exception>

#include "tests/win32/component_session.h"
#include "tests/win32/file_service.h"
#include "tests/win32/host_ledger.h"
#include "tests/win32/host_string.h"
#include "tests/win32/track_handles.h"

namespace wine_host {

struct run_outcome {
    bool threw = false;
    bool standard = false;    // caught as std::exception&
    bool exact_type = false;  // and, thrown again, caught as the expected type
    host_string text;         // its what()
};

// Runs "Create cuesheet..." for tracks and fills outcome. Exact is the type the exception is
// expected to have.
template <class Exact>
void run_and_catch(component_session& session, host_track_list& tracks, run_outcome& outcome) {
    try {
        run_command(*session.item(), tracks);
    } catch (const std::exception& error) {
        outcome.threw = true;
        outcome.standard = true;
        outcome.text.assign(error.what(), vesk::length_up_to_nul);
        try {
            throw;
        } catch (const Exact&) {
            outcome.exact_type = true;
        } catch (...) {
        }
    } catch (...) {
        outcome.threw = true;
    }
}

// Reports the outcome: nothing thrown.
void expect_no_exception(const run_outcome& outcome);
// Reports the outcome: a std::exception with this exact text, of the expected type (type_check
// names the check, "thrown again, it is caught as ...").
void expect_exception(const run_outcome& outcome, const char* text, const char* type_check);

// Every handle back to the list's one reference, every lock undone, every file closed, every
// service reference given back, the cached records untouched.
void expect_all_released(const host_track_list& tracks, const file_service& files);

// A fresh ledger for the next run.
void reset_ledger();

}  // namespace wine_host
