#include "tests/win32/run_checks.h"

#include "tests/win32/wine_check.h"

namespace wine_host {

using wine_check::expect;
using wine_check::expect_count;

void expect_no_exception(const run_outcome& outcome) {
    expect(!outcome.threw, "the command returned normally");
    if (outcome.standard) {
        wine_check::write("      it threw: ");
        wine_check::write(outcome.text.text());
        wine_check::write("\n");
    }
}

void expect_exception(const run_outcome& outcome, const char* text, const char* type_check) {
    expect(outcome.standard, "the command's exception is caught as std::exception&");
    wine_check::expect_text(outcome.text.text(), text, "its what() text is exact");
    expect(outcome.exact_type, type_check);
}

void expect_all_released(const host_track_list& tracks, const file_service& files) {
    bool handles_back = true;
    bool none_locked = true;
    for (t_uint32 i = 0; i < tracks.count(); ++i) {
        handles_back = handles_back && tracks.handle(i).references() == 1;
        none_locked = none_locked && !tracks.handle(i).locked();
    }
    expect(handles_back, "every track handle is back to the list's one reference");
    expect(none_locked, "no track handle is left locked");
    expect_count(ledger.unlocks, ledger.locks, "every lock was undone");
    expect_count(ledger.peeks_without_lock, 0, "cached records were read only under the lock");
    expect_count(ledger.cached_record_changes, 0, "the host's cached records were not changed");
    expect_count(static_cast<unsigned long>(ledger.live_files), 0, "every file object was released");
    expect_count(static_cast<unsigned long>(ledger.open_os_files), 0, "every file the host opened is closed");
    expect_count(static_cast<unsigned long>(files.references()), 0, "every filesystem service reference was given back");
}

void reset_ledger() {
    const long live_handles = ledger.live_handles;
    ledger = ledger_counts{};
    ledger.live_handles = live_handles;
}

}  // namespace wine_host
