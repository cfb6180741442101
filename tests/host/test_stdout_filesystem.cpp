// The path "-": bytes go unchanged to standard output.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "abi/io_exceptions.h"
#include "host/counted_service.h"
#include "host/host_string.h"
#include "host/io_error.h"
#include "host/stdout_filesystem.h"
#include "tests/host/scratch_dir.h"

namespace {

class pipe_ends {
public:
    pipe_ends() { EXPECT_EQ(::pipe(fds_), 0); }
    ~pipe_ends() {
        close_read();
        close_write();
    }
    int read_end() const { return fds_[0]; }
    int write_end() const { return fds_[1]; }
    void close_read() { close(fds_[0]); }
    void close_write() { close(fds_[1]); }
    // Everything written so far; closes the write end.
    std::string drain() {
        close_write();
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = ::read(fds_[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
        return text;
    }

private:
    static void close(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int fds_[2] = {-1, -1};
};

void write_text(filesystem& fs, const char* path, const std::string& text, orvanta_io::abort_callback& abort) {
    service_ref file;
    fs.open(&file, path, filesystem::open_mode_write_new, abort);
    file.as<output_file>()->write(text.data(), static_cast<t_uint32>(text.size()), abort);
}

TEST(stdout_filesystem, accepts_only_the_dash) {
    service_ref fs_ref = host::make_counted<host::stdout_filesystem>();
    auto& fs = *fs_ref.as<host::stdout_filesystem>();
    for (const char* path : {"", "--", "-x", "/dev/stdout", "file://-", "./-"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(fs.accepts_path(path));
    }
    EXPECT_FALSE(fs.accepts_path(nullptr));
    EXPECT_TRUE(fs.accepts_path("-"));
    host::host_string canonical;
    EXPECT_TRUE(fs.canonical_path("-", canonical));
    EXPECT_EQ(canonical.str(), "-");
    service_ref out;
    EXPECT_TRUE(fs.query(&out, filesystem::class_guid));
    EXPECT_FALSE(fs.query(&out, null_guid));
}

TEST(stdout_filesystem, writes_reach_file_descriptor_1) {
    const long live_before = host::live_counted_objects();
    test_support::test_abort abort;
    pipe_ends pipe;
    std::fflush(stdout);
    const int saved_stdout = ::dup(STDOUT_FILENO);
    ASSERT_GE(saved_stdout, 0);
    ASSERT_EQ(::dup2(pipe.write_end(), STDOUT_FILENO), STDOUT_FILENO);
    {
        service_ref fs = host::make_counted<host::stdout_filesystem>();
        write_text(*fs.as<filesystem>(), "-", "FILE \"a.flac\" WAVE\r\n", abort);
        write_text(*fs.as<filesystem>(), "-", std::string("\0\xff", 2), abort);
        EXPECT_EQ(fs.as<host::stdout_filesystem>()->counters().writes, 2u);
        EXPECT_EQ(fs.as<host::stdout_filesystem>()->counters().open_files, 0);
    }
    ASSERT_EQ(::dup2(saved_stdout, STDOUT_FILENO), STDOUT_FILENO);
    ::close(saved_stdout);
    // Releasing the files must not have closed standard output.
    EXPECT_EQ(pipe.drain(), std::string("FILE \"a.flac\" WAVE\r\n\0\xff", 22));
    EXPECT_EQ(host::live_counted_objects(), live_before);
}

TEST(stdout_filesystem, refuses_other_paths_unknown_modes_and_abort) {
    test_support::test_abort abort;
    pipe_ends pipe;
    service_ref fs_ref = host::make_counted<host::stdout_filesystem>(pipe.write_end());
    auto& fs = *fs_ref.as<host::stdout_filesystem>();
    service_ref file;
    EXPECT_THROW(fs.open(&file, "x.cue", filesystem::open_mode_write_new, abort),
                 orvanta_io::exception_io_no_handler_for_path);
    try {
        fs.open(&file, "-", 1, abort);
        ADD_FAILURE() << "open did not throw";
    } catch (const host::io_error& e) {
        EXPECT_STREQ(e.what(), "Cannot open standard output: unsupported open mode 1");
    }
    fs.open(&file, "-", filesystem::open_mode_write_new, abort);
    abort.aborting_ = true;
    EXPECT_THROW(file.as<output_file>()->write("x", 1, abort), host::io_aborted);
    EXPECT_THROW(fs.open(&file, "-", filesystem::open_mode_write_new, abort), host::io_aborted);
    file.reset();
    EXPECT_EQ(pipe.drain(), "");
    EXPECT_EQ(fs.counters().failed_writes, 1u);
}

TEST(stdout_filesystem, a_closed_reader_is_reported_with_the_system_reason) {
    test_support::test_abort abort;
    pipe_ends pipe;
    pipe.close_read();
    service_ref fs = host::make_counted<host::stdout_filesystem>(pipe.write_end());
    auto* previous = std::signal(SIGPIPE, SIG_IGN);
    try {
        write_text(*fs.as<filesystem>(), "-", "text", abort);
        ADD_FAILURE() << "write did not throw";
    } catch (const host::io_error& e) {
        EXPECT_STREQ(e.what(), "Cannot write to standard output: Broken pipe");
    }
    std::signal(SIGPIPE, previous);
}

}  // namespace
