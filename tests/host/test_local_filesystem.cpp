// The local filesystem service: which paths it takes, and that a file replaces its target only
// after a complete, successful write.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "abi/io_exceptions.h"
#include "host/counted_service.h"
#include "host/host_string.h"
#include "host/io_error.h"
#include "host/local_filesystem.h"
#include "tests/host/scratch_dir.h"
#include "tests/support/raw_table.h"

namespace {

using test_support::read_file;
using test_support::write_file;

int write_calls = 0;

// At most two bytes per call, and every third call interrupted.
ssize_t short_and_interrupted(int fd, const void* buffer, std::size_t bytes) {
    if (++write_calls % 3 == 0) {
        errno = EINTR;
        return -1;
    }
    return ::write(fd, buffer, bytes < 2 ? bytes : 2);
}

int bytes_taken = 0;

// Two bytes per call, and the disk is full after five bytes.
ssize_t full_after_five_bytes(int fd, const void* buffer, std::size_t bytes) {
    ++write_calls;
    const int room = 5 - bytes_taken;
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t chunk = std::min<std::size_t>({bytes, 2, static_cast<std::size_t>(room)});
    const ssize_t written = ::write(fd, buffer, chunk);
    if (written > 0) bytes_taken += static_cast<int>(written);
    return written;
}

// After the first call the descriptor takes nothing and reports no error.
ssize_t stalls_after_first_call(int fd, const void* buffer, std::size_t bytes) {
    if (++write_calls > 1) return 0;
    return ::write(fd, buffer, bytes);
}

class local_filesystem_test : public ::testing::Test {
protected:
    void SetUp() override { write_calls = 0; }
    void TearDown() override {
        fs_ref.reset();
        EXPECT_EQ(host::live_counted_objects(), live_before) << "a file or service leaked";
    }

    host::local_filesystem& fs() { return *fs_ref.as<host::local_filesystem>(); }
    void use_write_function(host::write_function fn) { fs_ref = host::make_counted<host::local_filesystem>(fn); }

    service_ref open(const std::string& path, t_uint32 mode = filesystem::open_mode_write_new) {
        service_ref file;
        fs().open(&file, path.c_str(), mode, abort);
        return file;
    }
    void write(const service_ref& file, const std::string& text) {
        file.as<output_file>()->write(text.data(), static_cast<t_uint32>(text.size()), abort);
    }

    const long live_before = host::live_counted_objects();
    test_support::scratch_dir dir;
    test_support::test_abort abort;
    service_ref fs_ref = host::make_counted<host::local_filesystem>();
};

TEST_F(local_filesystem_test, accepts_local_paths_and_file_urls_only) {
    const struct {
        const char* path;
        bool accepted;
        const char* local;
    } cases[] = {
        {"/music/a.cue", true, "/music/a.cue"},
        {"relative/a.cue", true, "relative/a.cue"},
        {"file:///music/a b.cue", true, "/music/a b.cue"},
        {"FILE:///music/a.cue", true, "/music/a.cue"},
        {"odd:name.cue", true, "odd:name.cue"},
        {"-", false, ""},
        {"", false, ""},
        {"file://", false, ""},
        {"http://host/a.cue", false, ""},
        {"svn+ssh://host/a.cue", false, ""},
        {nullptr, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "(null)");
        EXPECT_EQ(fs().accepts_path(c.path), c.accepted);
        EXPECT_EQ(host::local_filesystem::local_path_of(c.path), c.local);
        EXPECT_FALSE(fs().is_remote(c.path));
    }
    host::host_string canonical;
    EXPECT_TRUE(fs().canonical_path("/music/./x/../a.cue", canonical));
    EXPECT_EQ(canonical.str(), "file:///music/a.cue");
    EXPECT_FALSE(fs().canonical_path("-", canonical));
}

TEST_F(local_filesystem_test, answers_only_the_filesystem_class) {
    service_ref out;
    EXPECT_TRUE(fs().query(&out, filesystem::class_guid));
    EXPECT_EQ(out.get(), fs_ref.get());
    service_ref untouched;
    EXPECT_FALSE(fs().query(&untouched, null_guid));
    EXPECT_FALSE(untouched);
}

TEST_F(local_filesystem_test, creates_the_file_when_the_last_reference_goes) {
    const std::string target = dir / "new.cue";
    {
        service_ref file = open(target);
        write(file, "TITLE ");
        write(file, "\"x\"\r\n");
        service_ref second = file;
        file.reset();
        // Written into an unnamed file in the folder until the last reference goes.
        EXPECT_EQ(read_file(target), "<missing>");
        EXPECT_TRUE(dir.entries().empty());
    }
    EXPECT_EQ(read_file(target), "TITLE \"x\"\r\n");
    EXPECT_EQ(dir.entries(), std::set<std::string>{"new.cue"});
    EXPECT_EQ(fs().counters().opens, 1u);
    EXPECT_EQ(fs().counters().writes, 2u);
    EXPECT_EQ(fs().counters().bytes_written, 11u);
    EXPECT_EQ(fs().counters().commits, 1u);
    EXPECT_EQ(fs().counters().open_files, 0);
}

TEST_F(local_filesystem_test, file_urls_and_links_reach_the_named_file_existing_or_not) {
    ::mkdir((dir / "sub").c_str(), 0755);
    const struct {
        const char* name;
        const char* link_text;     // what the link holds
        const char* written;       // where the data must land, in the scratch folder
        bool exists;
    } cases[] = {
        {"to an existing file", "real.cue", "real.cue", true},
        {"dangling, relative", "sub/new.cue", "sub/new.cue", false},
        {"dangling, absolute", nullptr, "sub/absolute.cue", false},
        {"a chain, dangling", "chained.cue", "sub/end.cue", false},
    };
    ASSERT_EQ(::symlink("sub/end.cue", (dir / "chained.cue").c_str()), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string link = dir / "link.cue";
        const std::string written = dir / c.written;
        std::filesystem::remove(link);
        ASSERT_EQ(::symlink(c.link_text ? c.link_text : written.c_str(), link.c_str()), 0);
        if (c.exists) write_file(written, "old");
        {
            service_ref file = open("file://" + link);
            write(file, "new");
        }
        EXPECT_EQ(read_file(written), "new");
        struct stat info;
        ASSERT_EQ(::lstat(link.c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced by a file";
    }
}

TEST_F(local_filesystem_test, a_file_appearing_at_the_target_is_replaced_only_where_the_rule_allows) {
    const std::string target = dir / "sheet.cue";
    const struct {
        bool allowed;
        bool appears;
        const char* result;
        unsigned long kept;
    } cases[] = {
        {false, true, "another", 1},
        {false, false, "new", 0},
        {true, true, "new", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.allowed ? "allowed" : "not allowed") + (c.appears ? ", appears" : ""));
        std::filesystem::remove(target);
        fs_ref = host::make_counted<host::local_filesystem>();
        std::string asked;
        fs().set_replace_rule([&](const std::string& local) {
            asked = local;
            return c.allowed;
        });
        {
            service_ref file = open("file://" + target);
            write(file, "new");
            if (c.appears) write_file(target, "another");
        }
        EXPECT_EQ(asked, target);
        EXPECT_EQ(read_file(target), c.result);
        EXPECT_EQ(fs().counters().kept_existing, c.kept);
        EXPECT_EQ(fs().counters().commit_failures(), 0u);
        EXPECT_EQ(dir.entries(), std::set<std::string>{"sheet.cue"});
    }
}

TEST_F(local_filesystem_test, replacing_keeps_the_old_file_until_release_and_keeps_its_permissions) {
    const std::string target = dir / "sheet.cue";
    write_file(target, "old content, longer than the new");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    {
        service_ref file = open(target);
        write(file, "new");
        EXPECT_EQ(read_file(target), "old content, longer than the new");
    }
    EXPECT_EQ(read_file(target), "new");
    struct stat info;
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST_F(local_filesystem_test, a_file_released_without_a_write_changes_nothing) {
    const std::string existing = dir / "kept.cue";
    write_file(existing, "old");
    open(existing).reset();
    open(dir / "never.cue").reset();
    EXPECT_EQ(read_file(existing), "old");
    EXPECT_EQ(dir.entries(), std::set<std::string>{"kept.cue"});
    EXPECT_EQ(fs().counters().discards, 2u);
    EXPECT_EQ(fs().counters().commits, 0u);
}

TEST_F(local_filesystem_test, an_empty_write_still_makes_an_empty_file) {
    const std::string target = dir / "empty.cue";
    write_file(target, "old");
    write(open(target), "");
    EXPECT_EQ(read_file(target), "");
}

TEST_F(local_filesystem_test, short_and_interrupted_writes_are_continued) {
    use_write_function(&short_and_interrupted);
    const std::string text = "REM GENRE Rock\r\nPERFORMER \"Artist A\"\r\n";
    write(open(dir / "a.cue"), text);
    EXPECT_EQ(read_file(dir / "a.cue"), text);
    EXPECT_GT(write_calls, 20);
}

TEST_F(local_filesystem_test, a_failed_write_leaves_the_previous_file_and_no_temporary_file) {
    const struct {
        host::write_function fn;
        const char* reason;
    } failures[] = {
        {&full_after_five_bytes, "No space left on device"},
        {&stalls_after_first_call, "Input/output error"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.reason);
        use_write_function(failure.fn);
        write_calls = 0;
        bytes_taken = 0;
        const std::string target = dir / "sheet.cue";
        write_file(target, "old");
        {
            service_ref file = open(target);
            write(file, "head");  // succeeds; the next one fails part-way
            try {
                write(file, "new content");
                ADD_FAILURE() << "write did not throw";
            } catch (const host::io_error& e) {
                EXPECT_EQ(std::string(e.what()), "Cannot write " + target + ": " + failure.reason);
            }
            // The file is spoilt: later writes fail too, without touching the file again.
            const int calls = write_calls;
            EXPECT_THROW(write(file, "more"), orvanta_io::exception_io);
            EXPECT_EQ(write_calls, calls);
        }
        EXPECT_EQ(read_file(target), "old");
        EXPECT_EQ(dir.entries(), std::set<std::string>{"sheet.cue"});
    }
}

TEST_F(local_filesystem_test, abort_stops_opening_and_spoils_an_open_file) {
    const std::string target = dir / "sheet.cue";
    write_file(target, "old");
    abort.aborting_ = true;
    service_ref file;
    try {
        fs().open(&file, target.c_str(), filesystem::open_mode_write_new, abort);
        ADD_FAILURE() << "open did not throw";
    } catch (const orvanta_io::exception_io& e) {
        EXPECT_STREQ(e.what(), "Aborted");
    }
    EXPECT_FALSE(file);

    abort.aborting_ = false;
    file = open(target);
    write(file, "first part");
    abort.aborting_ = true;
    EXPECT_THROW(write(file, "second part"), host::io_aborted);
    file.reset();
    EXPECT_EQ(read_file(target), "old");
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST_F(local_filesystem_test, refuses_unknown_modes_and_paths_it_does_not_handle) {
    const std::string target = dir / "x.cue";
    for (t_uint32 mode : {0u, 1u, 3u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(mode);
        try {
            open(target, mode);
            ADD_FAILURE() << "open did not throw";
        } catch (const host::io_error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open " + target + ": unsupported open mode " + std::to_string(mode));
        }
    }
    EXPECT_THROW(open("-"), orvanta_io::exception_io_no_handler_for_path);
    EXPECT_THROW(open("http://host/x.cue"), orvanta_io::exception_io_no_handler_for_path);
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_EQ(fs().counters().opens, 0u);
}

TEST_F(local_filesystem_test, places_it_cannot_create_report_the_system_reason) {
    write_file(dir / "plain", "");
    ::mkdir((dir / "folder").c_str(), 0755);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir / "missing/x.cue", "No such file or directory"},
        {dir / "plain/x.cue", "Not a directory"},
        {dir / "folder", "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            open(c.path);
            ADD_FAILURE() << "open did not throw";
        } catch (const host::io_error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create " + c.path + ": " + c.reason);
        }
    }
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"folder", "plain"}));
    EXPECT_TRUE(dir.entries(dir.path() / "folder").empty());
}

TEST_F(local_filesystem_test, operations_sit_at_their_slots) {
    const std::string target = dir / "slots.cue";
    EXPECT_TRUE(raw_table::call<bool>(fs_ref.get(), 4, target.c_str()));
    EXPECT_FALSE(raw_table::call<bool>(fs_ref.get(), 4, "-"));
    service_ref file;
    raw_table::call<void>(fs_ref.get(), 6, &file, target.c_str(), filesystem::open_mode_write_new,
                          static_cast<orvanta_io::abort_callback*>(&abort));
    ASSERT_TRUE(file);
    orvanta_io::stream_writer* writer = file.as<output_file>();
    raw_table::call<void>(writer, 0, static_cast<const void*>("abc"), t_uint32{3},
                          static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(raw_table::call<t_uint32>(file.get(), 1), 2u);  // add_ref
    EXPECT_EQ(raw_table::call<t_uint32>(file.get(), 0), 1u);  // release
    file.reset();
    EXPECT_EQ(read_file(target), "abc");
}

// Permission checks do not apply to root, so these run in a child process as an unprivileged user.
// The child reports what it saw on standard error and exits with 0 when everything held.
[[noreturn]] void run_unprivileged(const std::function<bool()>& body) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        std::fprintf(stderr, "cannot drop privileges\n");
        std::_Exit(2);
    }
    std::_Exit(body() ? 0 : 1);
}

void give_to_unprivileged_user(const std::string& path) {
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    }
}

bool report(const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return true;
}

TEST_F(local_filesystem_test, unwritable_places_report_the_system_reason) {
    const std::string locked_dir = dir / "locked";
    ASSERT_EQ(::mkdir(locked_dir.c_str(), 0555), 0);
    EXPECT_EXIT(run_unprivileged([&] {
                    try {
                        open(locked_dir + "/x.cue");
                    } catch (const host::io_error& e) {
                        return report(e) && dir.entries(locked_dir).empty();
                    }
                    return false;
                }),
                ::testing::ExitedWithCode(0), "Cannot create .*/locked/x\\.cue: Permission denied");

    const std::string read_only = dir / "read-only.cue";
    write_file(read_only, "old");
    ASSERT_EQ(::chmod(read_only.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    // Replacing by rename would succeed here; the file's own protection must still hold.
    EXPECT_EXIT(run_unprivileged([&] {
                    try {
                        open(read_only);
                    } catch (const host::io_error& e) {
                        return report(e) && read_file(read_only) == "old";
                    }
                    return false;
                }),
                ::testing::ExitedWithCode(0), "Cannot create .*/read-only\\.cue: Permission denied");
}

TEST_F(local_filesystem_test, a_folder_locked_before_release_keeps_the_old_file_and_says_why) {
    const struct {
        const char* name;
        bool existing;
        const char* message;
    } cases[] = {
        {"x.cue", true, "Cannot replace .*/folder/x\\.cue: Permission denied"},
        {"new.cue", false, "Cannot create .*/folder/new\\.cue: Permission denied"},
    };
    const std::string folder = dir / "folder";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    give_to_unprivileged_user(folder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = folder + "/" + c.name;
        ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
        if (c.existing) {
            write_file(target, "old");
            give_to_unprivileged_user(target);
        }
        EXPECT_EXIT(run_unprivileged([&] {
                        {
                            service_ref file = open(target);
                            write(file, "new");
                            if (::chmod(folder.c_str(), 0555) != 0) return false;
                        }
                        std::fprintf(stderr, "%s\n", fs().counters().last_commit_failure().c_str());
                        return fs().counters().commit_failures() == 1 && fs().counters().commits == 0 &&
                               (c.existing ? read_file(target) == "old" : ::access(target.c_str(), F_OK) != 0);
                    }),
                    ::testing::ExitedWithCode(0), c.message);
    }
}

TEST_F(local_filesystem_test, a_real_write_failure_leaves_the_previous_file) {
    const std::string target = dir / "limited.cue";
    write_file(target, "old");
    // A file size limit makes the kernel refuse the write after a few bytes; the child keeps the
    // limit to itself, and lifts it again before reporting (the report goes to a file too).
    const auto limited_write = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t previous = limit.rlim_cur;
        limit.rlim_cur = 4;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string message;
        try {
            write(open(target), "0123456789");
        } catch (const host::io_error& e) {
            message = e.what();
        }
        limit.rlim_cur = previous;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::fprintf(stderr, "%s\n", message.c_str());
        std::_Exit(!message.empty() && read_file(target) == "old" && dir.entries().size() == 1 ? 0 : 1);
    };
    EXPECT_EXIT(limited_write(), ::testing::ExitedWithCode(0), "Cannot write .*/limited\\.cue: File too large");
}

}  // namespace
