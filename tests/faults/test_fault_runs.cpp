// Whole runs of the trevalin command under faults injected from outside (fault_shim.cpp): every
// allocation of a run failing in turn, termination signals in the middle of a large write, and a
// file appearing at the target while the sheet is written. Whatever happens, a run ends with an
// exit status and a message, the previous target is untouched, and the folder holds nothing else.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/cli/audio_maker.h"
#include "tests/cli/program_run.h"
#include "tests/host/scratch_dir.h"

namespace {

using test_support::read_file;
using test_support::write_file;

// The environment that loads the shim with these settings. A sanitizer runtime would insist on
// coming first; here the shim must, and it forwards every call to the runtime's own functions.
std::vector<std::string> with_shim(std::vector<std::string> settings) {
    settings.push_back(std::string("LD_PRELOAD=") + FAULT_SHIM_PATH);
    const char* asan = std::getenv("ASAN_OPTIONS");
    settings.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0");
    settings.push_back("LSAN_OPTIONS=suppressions=" TREVALIN_SOURCE_DIR "/tests/faults/leak_suppressions.txt");
    return settings;
}

// A run of the command that stops itself half way through its first large write.
class stopped_run {
public:
    stopped_run(const std::vector<std::string>& arguments, std::vector<std::string> settings, const std::string& errors) {
        settings.push_back("TREVALIN_STOP_IN_WRITE=" + std::to_string(256 * 1024));
        const std::vector<std::string> environment = with_shim(std::move(settings));
        pid_ = ::fork();
        if (pid_ == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(err, STDERR_FILENO);
            for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
            std::vector<char*> argv{const_cast<char*>(TREVALIN_CLI_PATH)};
            for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~stopped_run() {
        if (pid_ > 0 && status_ < 0) {
            ::kill(pid_, SIGKILL);
            finish();
        }
    }

    bool stopped_in_write() {
        int status = 0;
        return ::waitpid(pid_, &status, WUNTRACED) == pid_ && WIFSTOPPED(status);
    }
    void signal(int number) const { ::kill(pid_, number); }
    // The exit status, or 128 + the signal that ended the run.
    int finish() {
        ::kill(pid_, SIGCONT);
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return status_ = -1;
        return status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// A track list whose sheet is large enough to stop in (about 150 bytes a track).
std::string large_track_list(int tracks) {
    std::string list = "[";
    for (int i = 1; i <= tracks; ++i) {
        list += (i > 1 ? ",\n" : "\n");
        list += R"({"path": "file:///music/Long Album/)" + std::to_string(i) + R"(.flac", "length": 123.45, )" +
                R"("fields": {"title": "Track )" + std::to_string(i) + R"(", "artist": "Someone"}})";
    }
    return list + "\n]\n";
}

class fault_runs : public ::testing::Test {
protected:
    test_support::scratch_dir inputs;  // lists and audio files, apart from the output folder
    test_support::scratch_dir out;
    const std::string errors = inputs / "errors.txt";
};

TEST_F(fault_runs, a_run_killed_mid_write_leaves_the_previous_sheet_and_nothing_else) {
    const std::string list = inputs / "large.json";
    write_file(list, large_track_list(4000));
    const std::string target = out / "sheet.cue";
    const struct {
        int signal;
        bool unnamed_files;  // false: the file system offers no unnamed files, a hidden file is used
    } cases[] = {
        {SIGKILL, true}, {SIGTERM, true}, {SIGINT, true}, {SIGHUP, true},
        // A hidden file cannot survive SIGKILL; it is removed on the signals a process can catch.
        {SIGTERM, false}, {SIGINT, false}, {SIGHUP, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.unnamed_files ? "" : ", hidden file"));
        write_file(target, "previous sheet\r\n");
        std::vector<std::string> settings;
        if (!c.unnamed_files) settings.push_back("TREVALIN_NO_UNNAMED_FILES=1");
        stopped_run run({"-q", "--tracks", list, "-o", target, "--overwrite"}, settings, errors);
        ASSERT_TRUE(run.stopped_in_write()) << read_file(errors);
        EXPECT_EQ(out.entries().size(), c.unnamed_files ? 1u : 2u) << "where the data goes meanwhile";
        run.signal(c.signal);
        EXPECT_EQ(run.finish(), 128 + c.signal) << read_file(errors);
        EXPECT_EQ(read_file(target), "previous sheet\r\n");
        EXPECT_EQ(out.entries(), std::set<std::string>{"sheet.cue"});
    }
}

TEST_F(fault_runs, a_file_appearing_at_the_target_meanwhile_is_replaced_only_when_confirmed) {
    const std::string list = inputs / "large.json";
    write_file(list, large_track_list(4000));
    const std::string target = out / "sheet.cue";
    const struct {
        bool overwrite;
        bool unnamed_files;
        int status;
    } cases[] = {
        {false, true, 1},
        {false, false, 1},
        {true, true, 0},
        {true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.overwrite ? "--overwrite" : "no --overwrite") + (c.unnamed_files ? "" : ", hidden file"));
        std::filesystem::remove(target);
        std::vector<std::string> arguments{"-q", "--tracks", list, "-o", target};
        if (c.overwrite) arguments.push_back("--overwrite");
        std::vector<std::string> settings;
        if (!c.unnamed_files) settings.push_back("TREVALIN_NO_UNNAMED_FILES=1");
        stopped_run run(arguments, settings, errors);
        ASSERT_TRUE(run.stopped_in_write()) << read_file(errors);
        write_file(target, "another run's sheet\r\n");
        EXPECT_EQ(run.finish(), c.status) << read_file(errors);
        if (c.overwrite) {
            EXPECT_EQ(read_file(target).rfind("PERFORMER \"Someone\"\r\n", 0), 0u);
        } else {
            EXPECT_EQ(read_file(target), "another run's sheet\r\n");
        }
        const std::string last_message = "trevalin: " + target + " already exists; not replaced\n";
        const std::string messages = read_file(errors);
        EXPECT_EQ(messages.size() >= last_message.size() &&
                      messages.compare(messages.size() - last_message.size(), last_message.size(), last_message) == 0,
                  !c.overwrite)
            << messages;
        EXPECT_EQ(out.entries(), std::set<std::string>{"sheet.cue"});
    }
}

// Fails allocation n of a run for n = 1, 2, ... until a run gets through without reaching n: each
// run must end with status 3 and a message and write nothing, or with status 0 and exactly the
// sheet of a run without the shim; the untouched run must be the latter.
void sweep_allocations(const std::vector<std::string>& selection, const test_support::scratch_dir& out,
                       const std::string& mark) {
#if defined(__SANITIZE_ADDRESS__)
    // A run takes several times longer here: every tenth allocation fails, and the leak checker
    // looks at what each run left behind.
    constexpr unsigned long stride = 10;
#else
    constexpr unsigned long stride = 1;
#endif
    const std::string target = out / "sheet.cue";
    std::vector<std::string> arguments{"-q", "-o", target};
    arguments.insert(arguments.end(), selection.begin(), selection.end());

    const cli_test::program_result plain = cli_test::run_trevalin(arguments);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string sheet = read_file(target);
    std::filesystem::remove(target);

    int faults = 0;
    for (unsigned long n = 1;; n += stride) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        std::filesystem::remove(mark);
        cli_test::run_settings settings;
        settings.environment =
            with_shim({"TREVALIN_FAIL_ALLOCATION=" + std::to_string(n), "TREVALIN_FAULT_MARK=" + mark});
        const cli_test::program_result run = cli_test::run_trevalin(arguments, settings);
        if (!std::filesystem::exists(mark)) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(read_file(target), sheet);
            EXPECT_GT(n, 100u) << "the run hardly allocates: is the shim in place?";
            return;
        }
        // A failure that something can do without may still end in the whole sheet.
        const bool held = run.status == 0 ? read_file(target) == sheet && out.entries().size() == 1
                                          : run.status == 3 && run.err.rfind("trevalin: ", 0) == 0 &&
                                                run.err.size() > 11 && out.entries().empty();
        EXPECT_TRUE(held) << "status " << run.status << ", messages:\n" << run.err;
        std::filesystem::remove(target);
        if (!held && ++faults == 10) return;
    }
}

TEST_F(fault_runs, every_allocation_failing_in_turn_over_audio_files) {
    const std::string album = inputs / "album";
    std::filesystem::create_directory(album);
    const char* titles[] = {"Daybreak", "Harbour", "Nightfall"};
    for (int i = 0; i < 3; ++i) {
        cli_test::make_tagged_audio(album + "/0" + std::to_string(i + 1) + ".flac", cli_test::tone{4410 * static_cast<std::size_t>(i + 1)},
                                    {{"TITLE", titles[i]}, {"ARTIST", "The Lanterns"}, {"ALBUM", "Harbour Lights"}},
                                    inputs.path());
    }
    sweep_allocations({album}, out, inputs / "reached");
}

// The other form of selection into the other kind of sheet: the example track list as an ANSI
// album image, so reading the list and the code-page conversion are swept too.
TEST_F(fault_runs, every_allocation_failing_in_turn_over_a_track_list) {
    sweep_allocations({"-f", "ansi-image", "--tracks", TREVALIN_SOURCE_DIR "/examples/album.json"}, out,
                      inputs / "reached");
}

}  // namespace
