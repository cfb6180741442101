// Running programs from the tests: the trevalin command as a user would, and the tools that make
// and check audio files.
#pragma once

#include <string>
#include <vector>

namespace cli_test {

struct program_result {
    int status = -1;      // the exit status; 128 + the signal number when a signal ended it
    std::string out;      // standard output
    std::string err;      // standard error
};

struct run_settings {
    std::string input;             // fed to standard input, which is then closed
    std::string directory;         // the working directory (empty: the test's own)
    std::string stdout_file;       // standard output goes to this file instead of being captured
    std::vector<std::string> environment;  // "NAME=value" entries added to the environment
};

// argv[0] is looked up in PATH when it has no slash.
program_result run_program(const std::vector<std::string>& argv, const run_settings& settings = {});

// The built trevalin command with these arguments.
program_result run_trevalin(const std::vector<std::string>& arguments, const run_settings& settings = {});

// A tool that must succeed; throws std::runtime_error with its standard error otherwise.
std::string run_tool(const std::vector<std::string>& argv, const run_settings& settings = {});

// The command on a pseudo-terminal: standard input, output and error are the terminal. Each step
// waits until the screen shows its expected text (since the previous step), then types its reply.
struct terminal_step {
    std::string expect;
    std::string reply;  // sent as typed, a newline included when wanted; "\x04" is end of input
};

struct terminal_result {
    int status = -1;
    std::string screen;  // everything the program wrote
    bool all_steps_seen = false;
};

terminal_result run_trevalin_on_terminal(const std::vector<std::string>& arguments, const std::string& directory,
                                         const std::vector<terminal_step>& steps);

}  // namespace cli_test
