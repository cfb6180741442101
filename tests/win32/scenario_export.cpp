// "Create cuesheet..." run for the golden selection: cancelled, answered in each of the four forms
// (the file must hold exactly the golden sheet), and failing on purpose in three ways.

#include <cstring>
#include <new>

#include "abi/io_exceptions.h"
#include "tests/win32/golden_selection.h"
#include "tests/win32/host_gateway.h"
#include "tests/win32/host_os.h"
#include "tests/win32/run_checks.h"
#include "tests/win32/scenarios.h"
#include "tests/win32/wine_check.h"

namespace wine_host {

namespace {

using wine_check::expect;
using wine_check::expect_count;
using wine_check::expect_text;

// A sheet of the golden selection is under 2 KiB; static, so no frame comes near a stack page.
constexpr t_uint32 sheet_capacity = 16 * 1024;
char written_sheet[sheet_capacity];
char golden_sheet[sheet_capacity];

struct export_form {
    const char* form;
    // What the user types in the dialog (without the extension, which the dialog adds) and the
    // file the component is then handed. Kept in step with tests/win32/CMakeLists.txt.
    const char* typed_name;
    t_uint32 filter_index;
    const char* golden_file;
    // A folder made inside the output folder for the sheet, or null for the output folder itself.
    const char* folder = nullptr;
};

constexpr export_form forms[] = {
    {"utf8-per-file", "sheet-utf8-per-file", 1, "utf8_per_file.cue"},
    {"ansi-per-file", "sheet-ansi-per-file", 2, "ansi_per_file.cue"},
    {"utf8-album-image", "sheet-utf8-album-image", 3, "utf8_album_image.cue"},
    // A name beyond ASCII: it reaches the component as UTF-8 and the host's file by UTF-16.
    {"ansi-album-image", "Café-ansi-album-image", 4, "ansi_album_image.cue"},
    // Folder and name beyond the ANSI code page (Cyrillic, CJK): only a path passed on in UTF-8 and
    // opened by UTF-16 reaches this file.
    {"utf8-per-file-unicode", "Лист-日本", 1, "utf8_per_file.cue", "Папка-目録"},
};

// dir + separator + name + extension
void join_path(host_string& out, const char* dir, const char* name, const char* extension) {
    const char separator[2] = {os::path_separator, '\0'};
    out.assign(dir, vesk::length_up_to_nul);
    out.append(separator, vesk::length_up_to_nul);
    out.append(name, vesk::length_up_to_nul);
    out.append(extension, vesk::length_up_to_nul);
}

void add_golden_tracks(host_track_list& tracks, fill_style first_style) {
    for (t_uint32 i = 0; i < golden::track_count; ++i) {
        tracks.add(golden::tracks[i], i == 0 ? first_style : fill_style::by_writing);
    }
}

// Where the dialog will be answered: a file that must not be there before the run.
bool prepare_target(const host_string& path, t_uint32 filter_index) {
    const bool cleared = os::remove_file(path.text());
    expect(cleared, "no file from an earlier run is left at the target");
    os::answer_dialog_with(path.text(), filter_index);
    return cleared;
}

void expect_same_bytes(const char* written_path, const host_string& golden_path) {
    const long written = os::read_file(written_path, written_sheet, sheet_capacity);
    const long golden = os::read_file(golden_path.text(), golden_sheet, sheet_capacity);
    expect(golden > 0, "the golden sheet is readable");
    expect(written >= 0, "the written sheet is readable");
    const bool same = written == golden && golden > 0 &&
                      std::memcmp(written_sheet, golden_sheet, static_cast<std::size_t>(golden)) == 0;
    expect(same, "the written bytes are exactly the golden sheet's");
    if (!same && written >= 0) {
        // Shown up to the first differing byte, to find it.
        long first = 0;
        while (first < written && first < golden && written_sheet[first] == golden_sheet[first]) ++first;
        expect_count(static_cast<unsigned long>(written), static_cast<unsigned long>(golden > 0 ? golden : 0),
                     "sizes of written and golden sheet");
        expect_count(static_cast<unsigned long>(first), static_cast<unsigned long>(golden > 0 ? golden : 0),
                     "first differing byte");
    }
}

}  // namespace

void check_cancel() {
    reset_ledger();
    file_service files(file_behaviour::writes);
    host_gateway gateway;
    gateway.add_filesystem(files);
    component_session session(gateway);
    expect(session.ready(), "the component is loaded");
    if (!session.ready()) return;
    {
        host_track_list tracks;
        add_golden_tracks(tracks, fill_style::by_writing);
        os::cancel_dialog();
        run_outcome outcome;
        run_and_catch<std::exception>(session, tracks, outcome);
        expect_no_exception(outcome);
        expect_count(ledger.get_handle_calls, 1, "only the first track was fetched (for the proposed name)");
        expect_count(ledger.fill_info_calls, 1, "only the first track's information was read");
        expect_count(ledger.accepts_path_calls, 0, "no filesystem service was asked");
        expect_count(ledger.open_calls, 0, "no file was opened");
        expect_all_released(tracks, files);
    }
    expect_count(static_cast<unsigned long>(ledger.live_handles), 0, "every track handle is gone with the list");
}

void check_bad_alloc() {
    file_service files(file_behaviour::writes);
    host_gateway gateway;
    gateway.add_filesystem(files);
    component_session session(gateway);
    expect(session.ready(), "the component is loaded");
    if (!session.ready()) return;
    os::cancel_dialog();

    // Caught once as std::exception& (its text) and once more by its type.
    for (int round = 0; round < 2; ++round) {
        reset_ledger();
        {
            host_track_list tracks;
            add_golden_tracks(tracks, fill_style::by_copying_oversized);
            run_outcome outcome;
            run_and_catch<std::bad_alloc>(session, tracks, outcome);
            expect_exception(outcome, "bad allocation", "thrown again, it is caught as std::bad_alloc");
            expect_count(ledger.fill_info_calls, 1, "it came out of the first track's fill_info");
            expect_count(ledger.open_calls, 0, "nothing was opened");
            expect_all_released(tracks, files);
        }
        expect_count(static_cast<unsigned long>(ledger.live_handles), 0, "every track handle is gone with the list");
    }
}

bool check_export(const char* form, const char* output_dir, const char* golden_dir) {
    const export_form* chosen = nullptr;
    for (const export_form& candidate : forms) {
        if (std::strcmp(candidate.form, form) == 0) chosen = &candidate;
    }
    if (!chosen) return false;

    reset_ledger();
    expect(os::ansi_code_page_is_1252(), "the system ANSI code page is windows-1252, as the golden sheets");
    host_string folder;
    if (chosen->folder) {
        join_path(folder, output_dir, chosen->folder, "");
        expect(os::make_folder(folder.text()), "the folder for the sheet is there");
        output_dir = folder.text();
    }
    host_string target;
    join_path(target, output_dir, chosen->typed_name, ".cue");
    host_string golden_path;
    join_path(golden_path, golden_dir, chosen->golden_file, "");

    file_service files(file_behaviour::writes);
    host_gateway gateway;
    gateway.add_filesystem(files);
    component_session session(gateway);
    expect(session.ready(), "the component is loaded");
    if (!session.ready() || !prepare_target(target, chosen->filter_index)) return true;
    {
        host_track_list tracks;
        add_golden_tracks(tracks, fill_style::by_writing);
        run_outcome outcome;
        run_and_catch<std::exception>(session, tracks, outcome);
        expect_no_exception(outcome);

        expect_count(ledger.get_handle_calls, 1 + golden::track_count, "the first track, then every track once");
        expect_count(ledger.open_calls, 1, "one file was opened");
        expect_count(ledger.open_mode_other_than_2, 0, "... in open mode 2");
        expect_text(files.last_path_opened().text(), target.text(),
                    "... at the chosen path, with the default extension, as UTF-8");
        expect_count(ledger.write_calls, 1, "the sheet went out in one write");
        expect_all_released(tracks, files);
    }
    expect_count(static_cast<unsigned long>(ledger.live_handles), 0, "every track handle is gone with the list");
    expect_same_bytes(target.text(), golden_path);
    return true;
}

void check_invalid_path(const char* output_dir) {
    reset_ledger();
    host_string target;
    join_path(target, output_dir, "invalid-path", ".cue");
    file_service files(file_behaviour::refuses_every_path);
    host_gateway gateway;
    gateway.add_filesystem(files);
    component_session session(gateway);
    expect(session.ready(), "the component is loaded");
    if (!session.ready() || !prepare_target(target, 1)) return;
    {
        host_track_list tracks;
        add_golden_tracks(tracks, fill_style::by_writing);
        run_outcome outcome;
        run_and_catch<orvanta_io::exception_io_no_handler_for_path>(session, tracks, outcome);
        expect_exception(outcome, "Invalid path",
                         "thrown again, it is caught as orvanta_io::exception_io_no_handler_for_path");
        expect_count(ledger.accepts_path_calls, 1, "the one filesystem service was asked");
        expect_text(files.last_path_asked().text(), target.text(), "... about the chosen path");
        expect_count(ledger.open_calls, 0, "nothing was opened");
        expect_all_released(tracks, files);
    }
    expect_count(static_cast<unsigned long>(ledger.live_handles), 0, "every track handle is gone with the list");
    expect(!os::file_exists(target.text()), "no file was made at the chosen path");
}

void check_write_failure(const char* output_dir) {
    reset_ledger();
    host_string target;
    join_path(target, output_dir, "write-failure", ".cue");
    file_service files(file_behaviour::fails_writes);
    host_gateway gateway;
    gateway.add_filesystem(files);
    component_session session(gateway);
    expect(session.ready(), "the component is loaded");
    if (!session.ready() || !prepare_target(target, 1)) return;
    {
        host_track_list tracks;
        add_golden_tracks(tracks, fill_style::by_writing);
        run_outcome outcome;
        run_and_catch<write_failure>(session, tracks, outcome);
        expect_exception(outcome, "Disk full (test host)", "thrown again, it is caught as the host's own write_failure");
        expect_count(ledger.open_calls, 1, "the file was opened");
        expect_count(ledger.write_calls, 1, "its one write failed");
        expect_all_released(tracks, files);
    }
    expect_count(static_cast<unsigned long>(ledger.live_handles), 0, "every track handle is gone with the list");
    expect_count(static_cast<unsigned long>(os::read_file(target.text(), written_sheet, sheet_capacity)), 0,
                 "the opened file stays, empty");
}

}  // namespace wine_host
