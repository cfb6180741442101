// A small host of the component, written in the component's own restricted C++ so that it builds
// for the player's ABI: under Wine it loads trevalin.dll as the player does; on Linux the same
// program loads libtrevalin.so and proves its checks there.
//
//   export_host component | cancel | bad-alloc
//   export_host utf8-per-file | ansi-per-file | utf8-album-image | ansi-album-image |
//               utf8-per-file-unicode OUTPUT_DIR GOLDEN_DIR
//   export_host invalid-path | write-failure OUTPUT_DIR
//
// Exit status 0 when every check passed, 1 otherwise, 2 for a wrong command line.

#include <cstring>

#include "tests/win32/scenarios.h"
#include "tests/win32/wine_check.h"

namespace {

int usage() {
    wine_check::write(
        "usage: export_host component | cancel | bad-alloc\n"
        "       export_host utf8-per-file | ansi-per-file | utf8-album-image | ansi-album-image |\n"
        "                   utf8-per-file-unicode OUTPUT_DIR GOLDEN_DIR\n"
        "       export_host invalid-path | write-failure OUTPUT_DIR\n");
    return 2;
}

bool is(const char* argument, const char* name) { return std::strcmp(argument, name) == 0; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const char* scenario = argv[1];
    if (argc == 2 && is(scenario, "component")) {
        wine_host::check_component();
    } else if (argc == 2 && is(scenario, "cancel")) {
        wine_host::check_cancel();
    } else if (argc == 2 && is(scenario, "bad-alloc")) {
        wine_host::check_bad_alloc();
    } else if (argc == 3 && is(scenario, "invalid-path")) {
        wine_host::check_invalid_path(argv[2]);
    } else if (argc == 3 && is(scenario, "write-failure")) {
        wine_host::check_write_failure(argv[2]);
    } else if (argc == 4) {
        if (!wine_host::check_export(scenario, argv[2], argv[3])) return usage();
    } else {
        return usage();
    }
    return wine_check::result();
}
