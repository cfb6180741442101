// Exports that fail, made to fail on purpose: no filesystem for the path, a failing write, no
// event, no memory at any point. The failure reaches the host as what it is, nothing half-written
// is left behind and the component lets go of everything it was handed.

#include <cerrno>
#include <typeinfo>
#include <unistd.h>

#include "abi/shared_library.h"
#include "host/host_string.h"
#include "host/io_error.h"
#include "tests/e2e/e2e_host.h"
#include "vesk/exception_win32.h"

namespace e2e {
namespace {

using test_support::read_file;
using test_support::write_file;

host::host_track_list three_tracks() {
    return host::host_track_list(std::vector<host::track_entry>{
        track("file:///m/a.flac", 200.0, {{"album", {"Album"}}, {"artist", {"A"}}, {"title", {"One"}}}),
        track("file:///m/b.flac", 180.5, {{"album", {"Album"}}, {"artist", {"B"}}, {"title", {"Two"}}}),
        track("file:///m/c.flac", 240.0, {{"album", {"Album"}}, {"artist", {"C"}}, {"title", {"Three"}}})});
}

TEST_F(e2e_test, a_path_no_filesystem_accepts_is_an_invalid_path_and_creates_nothing) {
    struct path_case {
        bool local_files;
        std::string path;
    };
    const path_case cases[] = {
        {false, dir / "out.cue"},                     // the host offers no filesystem at all
        {true, "ftp://example.invalid/out.cue"},      // a scheme nobody handles
        {true, "-"},                                  // standard output, with no service for it
    };
    for (const path_case& c : cases) {
        SCOPED_TRACE(c.path);
        api.clear_services();
        if (c.local_files) add_local_files();
        host::host_track_list tracks = three_tracks();
        dialog.answer(c.path, utf8_per_file);
        try {
            run_export(tracks);
            ADD_FAILURE() << "the export did not fail";
        } catch (const orvanta_io::exception_io_no_handler_for_path& e) {
            EXPECT_STREQ(e.what(), "Invalid path");
        }
        EXPECT_TRUE(dir.entries().empty());
        expect_locks_balanced(tracks);
    }
}

// A host failure of its own, with something only the original carries.
class disk_full : public orvanta_io::exception_io {
public:
    explicit disk_full(int serial) : serial(serial) {}
    const char* what() const noexcept override { return "Disk full (test)"; }
    int serial;
};

struct file_log {
    std::vector<std::string> opened;
    std::vector<t_uint32> modes;
    int writes = 0;
    t_uint32 bytes = 0;
    long live_files = 0;
};

class failing_file : public output_file {
public:
    explicit failing_file(file_log& log) : log_(log) { ++log_.live_files; }
    ~failing_file() { --log_.live_files; }

    bool query(service_ref*, const GUID&) override { return false; }
    void write(const void*, t_uint32 bytes, orvanta_io::abort_callback&) override {
        ++log_.writes;
        log_.bytes = bytes;
        throw disk_full(4711);
    }

private:
    file_log& log_;
};

// Accepts "fail://..." paths; their files refuse every write.
class failing_filesystem : public filesystem {
public:
    explicit failing_filesystem(file_log& log) : log_(log) {}

    bool query(service_ref* out, const GUID& guid) override {
        return host::query_own_class(this, out, guid, filesystem::class_guid);
    }
    bool canonical_path(const char*, vesk::string_base&) override { return false; }
    bool accepts_path(const char* path) override { return std::string_view(path).starts_with("fail://"); }
    bool is_remote(const char*) override { return false; }
    void open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback&) override {
        log_.opened.emplace_back(path);
        log_.modes.push_back(mode);
        *out = host::make_counted<failing_file>(log_);
    }

private:
    file_log& log_;
};

TEST_F(e2e_test, a_failing_write_reaches_the_host_unchanged_and_the_file_is_released) {
    file_log log;
    add_local_files();  // asked first, and declines
    api.add_service(filesystem::class_guid, host::make_counted<failing_filesystem>(log));
    host::host_track_list tracks = three_tracks();
    dialog.answer("fail://sheet.cue", utf8_album_image);
    try {
        run_export(tracks);
        ADD_FAILURE() << "the export did not fail";
    } catch (const disk_full& e) {
        EXPECT_EQ(e.serial, 4711);
        EXPECT_STREQ(e.what(), "Disk full (test)");
    }
    EXPECT_EQ(log.opened, std::vector<std::string>{"fail://sheet.cue"});
    EXPECT_EQ(log.modes, std::vector<t_uint32>{2});
    EXPECT_EQ(log.writes, 1);
    EXPECT_GT(log.bytes, 0u);
    EXPECT_EQ(log.live_files, 0);
    expect_locks_balanced(tracks);
}

ssize_t no_space_left(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

// The local files write beside the target and put the data in place only after a successful write.
std::string watched_target;
std::string target_during_write;
ssize_t watching_write(int fd, const void* buffer, std::size_t bytes) {
    target_during_write = read_file(watched_target);
    return ::write(fd, buffer, bytes);
}

TEST_F(e2e_test, an_existing_sheet_is_replaced_only_after_a_successful_write) {
    const std::string target = dir / "album.cue";
    write_file(target, "previous sheet\r\n");
    dialog.answer(target, utf8_per_file);

    api.add_service(filesystem::class_guid, host::make_counted<host::local_filesystem>(&no_space_left));
    {
        host::host_track_list tracks = three_tracks();
        try {
            run_export(tracks);
            ADD_FAILURE() << "the export did not fail";
        } catch (const host::io_error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write " + target + ": No space left on device");
        }
    }
    EXPECT_EQ(read_file(target), "previous sheet\r\n");
    EXPECT_EQ(dir.entries(), std::set<std::string>{"album.cue"});

    api.clear_services();
    api.add_service(filesystem::class_guid, host::make_counted<host::local_filesystem>(&watching_write));
    watched_target = target;
    host::host_track_list tracks = three_tracks();
    run_export(tracks);
    EXPECT_EQ(target_during_write, "previous sheet\r\n");
    EXPECT_EQ(read_file(target).substr(0, 15), "TITLE \"Album\"\r\n");
    EXPECT_EQ(dir.entries(), std::set<std::string>{"album.cue"});
}

TEST_F(e2e_test, no_event_fails_the_export_before_the_dialog) {
    add_local_files();
    host::host_track_list tracks = three_tracks();
    dialog.answer(dir / "out.cue", utf8_per_file);
    const t_uint32 code = EACCES;
    platform::standin::fail_next_event_creation(code);
    try {
        run_export(tracks);
        ADD_FAILURE() << "the export did not fail";
    } catch (const std::exception& e) {
        // The host knows the class only by name: its type information lives in the component.
        ASSERT_STREQ(typeid(e).name(), "15exception_win32");
        EXPECT_EQ(static_cast<const exception_win32&>(e).code(), code);
        host::host_string system_text;
        ASSERT_TRUE(uFormatSystemErrorMessage(system_text, code));
        EXPECT_EQ(std::string(e.what()), system_text.str());
    }
    EXPECT_EQ(dialog.seen().times_shown, 0);
    EXPECT_EQ(tracks.get_handle_calls(), 0u);
    EXPECT_TRUE(dir.entries().empty());
}

// Every heap call of the component fails in turn, from the menu's node to the last byte written:
// each failure reaches the host as "bad allocation", leaves the previous sheet as it was and
// releases every handle; the first run that meets no failure writes the whole sheet.
TEST_F(e2e_test, running_out_of_memory_anywhere_leaves_nothing_behind) {
    add_local_files();
    const long live_objects = host::live_counted_objects();
    const t_uint32 filters[] = {utf8_per_file, ansi_album_image};
    for (const t_uint32 filter : filters) {
        SCOPED_TRACE(filter);
        const std::string target = dir / "out.cue";
        write_file(target, "previous sheet\r\n");
        dialog.answer(target, filter);

        std::string expected;
        {
            host::host_track_list tracks = three_tracks();
            run_export(tracks);
            expected = read_file(target);
        }
        ASSERT_NE(expected, "previous sheet\r\n");
        write_file(target, "previous sheet\r\n");

        unsigned long failures = 0;
        bool written = false;
        for (unsigned long k = 1; k < 100000 && !written; ++k) {
            {
                host::host_track_list tracks = three_tracks();
                platform::standin::fail_heap_call(k);
                try {
                    run_export(tracks);
                    written = true;
                } catch (const std::bad_alloc& e) {
                    ++failures;
                    EXPECT_STREQ(e.what(), "bad allocation") << "heap call " << k;
                } catch (const std::exception& e) {
                    ADD_FAILURE() << "heap call " << k << ": " << typeid(e).name() << ": " << e.what();
                }
                platform::standin::fail_heap_call(0);
                expect_locks_balanced(tracks);
            }
            EXPECT_EQ(host::host_track_handle::live_handles(), 0) << "heap call " << k;
            EXPECT_EQ(host::live_counted_objects(), live_objects) << "heap call " << k;
            if (!written) {
                EXPECT_EQ(read_file(target), "previous sheet\r\n") << "heap call " << k;
                EXPECT_EQ(dir.entries(), std::set<std::string>{"out.cue"}) << "heap call " << k;
            }
            if (::testing::Test::HasFailure()) break;
        }
        EXPECT_TRUE(written);
        EXPECT_GT(failures, 10u) << "the heap seam failed too few calls to mean anything";
        EXPECT_EQ(read_file(target), expected);
    }
}

}  // namespace
}  // namespace e2e
