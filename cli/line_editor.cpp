#include "cli/line_editor.h"

#include <cstdio>
#include <cstdlib>

#include <readline/history.h>
#include <readline/readline.h>

namespace cli {

std::optional<std::string> edit_line(const std::string& prompt) {
    // Standard output may carry other data; the dialogue stays on the terminal's error stream.
    rl_instream = stdin;
    rl_outstream = stderr;
    char* line = ::readline(prompt.c_str());
    if (line == nullptr) {
        std::fputc('\n', stderr);
        return std::nullopt;
    }
    std::string text(line);
    std::free(line);
    if (!text.empty()) ::add_history(text.c_str());
    return text;
}

}  // namespace cli
