// What the test host counts while the component runs: every object it hands out and every
// reference, lock and file the component takes, so that a run can be checked to have given all of
// them back, also when it ended in an exception.
#pragma once

namespace wine_host {

struct ledger_counts {
    // Track handles.
    long live_handles = 0;
    unsigned long get_handle_calls = 0;
    unsigned long fill_info_calls = 0;
    unsigned long locks = 0;
    unsigned long unlocks = 0;
    unsigned long peeks_without_lock = 0;
    // Calls that would change the host's cached record, which the component may only read.
    unsigned long cached_record_changes = 0;

    // Filesystem services and their files.
    unsigned long accepts_path_calls = 0;
    unsigned long open_calls = 0;
    unsigned long open_mode_other_than_2 = 0;
    unsigned long write_calls = 0;
    unsigned long bytes_written = 0;
    long live_files = 0;
    long open_os_files = 0;
};

inline ledger_counts ledger;

}  // namespace wine_host
