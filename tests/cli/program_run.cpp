#include "tests/cli/program_run.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace cli_test {

namespace {

// No test waits on a child for longer than this; a hung child fails its test instead of the suite.
constexpr auto patience = std::chrono::seconds(120);

std::vector<char*> argv_of(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const auto& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

[[noreturn]] void exec_in_child(const std::vector<std::string>& argv, const run_settings& settings) {
    if (!settings.directory.empty() && ::chdir(settings.directory.c_str()) != 0) _exit(126);
    for (const std::string& entry : settings.environment) ::putenv(const_cast<char*>(entry.c_str()));
    auto pointers = argv_of(argv);
    ::execvp(pointers[0], pointers.data());
    _exit(127);
}

int wait_for(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

program_result run_program(const std::vector<std::string>& argv, const run_settings& settings) {
    int in_pipe[2], out_pipe[2], err_pipe[2];
    if (::pipe2(in_pipe, O_CLOEXEC) != 0 || ::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(in_pipe[0], STDIN_FILENO);
        if (!settings.stdout_file.empty()) {
            const int fd = ::open(settings.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0) _exit(125);
            ::dup2(fd, STDOUT_FILENO);
        } else {
            ::dup2(out_pipe[1], STDOUT_FILENO);
        }
        ::dup2(err_pipe[1], STDERR_FILENO);
        exec_in_child(argv, settings);
    }
    ::close(in_pipe[0]);
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    int to_child = in_pipe[1], from_out = out_pipe[0], from_err = err_pipe[0];
    ::fcntl(to_child, F_SETFL, O_NONBLOCK);

    program_result result;
    std::size_t fed = 0;
    if (settings.input.empty()) close_fd(to_child);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (from_out >= 0 || from_err >= 0) {
        pollfd fds[3] = {{from_out, POLLIN, 0}, {from_err, POLLIN, 0}, {to_child, POLLOUT, 0}};
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(fds, 3, 1000) < 0 && errno != EINTR) break;
        char buffer[65536];
        for (int i = 0; i < 2; ++i) {
            int& fd = i == 0 ? from_out : from_err;
            if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close_fd(fd);
            }
        }
        if (to_child >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(to_child, settings.input.data() + fed, settings.input.size() - fed);
            if (n > 0) fed += static_cast<std::size_t>(n);
            if (n < 0 && errno != EAGAIN && errno != EINTR) close_fd(to_child);
            if (fed == settings.input.size()) close_fd(to_child);
        }
    }
    close_fd(to_child);
    close_fd(from_out);
    close_fd(from_err);
    result.status = wait_for(pid);
    return result;
}

program_result run_trevalin(const std::vector<std::string>& arguments, const run_settings& settings) {
    std::vector<std::string> argv{TREVALIN_CLI_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return run_program(argv, settings);
}

std::string run_tool(const std::vector<std::string>& argv, const run_settings& settings) {
    const program_result result = run_program(argv, settings);
    if (result.status != 0) {
        std::string command;
        for (const auto& argument : argv) command += argument + " ";
        throw std::runtime_error(command + "failed with status " + std::to_string(result.status) + ": " + result.err);
    }
    return result.out;
}

terminal_result run_trevalin_on_terminal(const std::vector<std::string>& arguments, const std::string& directory,
                                         const std::vector<terminal_step>& steps) {
    std::vector<std::string> argv{TREVALIN_CLI_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    winsize size{};
    size.ws_row = 40;
    size.ws_col = 160;
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, &size);
    if (pid < 0) throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        run_settings settings;
        settings.directory = directory;
        exec_in_child(argv, settings);
    }

    terminal_result result;
    std::size_t step = 0;
    std::size_t seen_up_to = 0;  // where the next expectation starts looking
    const auto deadline = std::chrono::steady_clock::now() + patience;
    bool open = true;
    while (open && std::chrono::steady_clock::now() < deadline) {
        if (step < steps.size()) {
            const auto found = result.screen.find(steps[step].expect, seen_up_to);
            if (found != std::string::npos) {
                seen_up_to = found + steps[step].expect.size();
                const std::string& reply = steps[step].reply;
                if (!reply.empty() && ::write(terminal, reply.data(), reply.size()) < 0) break;
                ++step;
                continue;
            }
        }
        pollfd fd{terminal, POLLIN, 0};
        if (::poll(&fd, 1, 1000) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n > 0) {
            result.screen.append(buffer, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            open = false;  // EIO: the program closed the terminal
        }
    }
    result.all_steps_seen = step == steps.size();
    if (open) ::kill(pid, SIGKILL);
    ::close(terminal);
    result.status = wait_for(pid);
    return result;
}

}  // namespace cli_test
