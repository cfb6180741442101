// The command line: what to read, where the save dialog's answer comes from, and how to write.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "abi/types.h"

namespace cli {

struct command_options {
    std::vector<std::string> inputs;        // audio files and directories, in selection order
    std::optional<std::string> track_list;  // --tracks: a JSON track list ("-" = standard input)
    std::optional<std::string> output;      // -o: the dialog's answer (see dialog)
    t_uint32 filter_index = 1;              // -f: the dialog filter, 1-based as the dialog counts
    bool overwrite = false;                 // the answer to the dialog's replace confirmation
    std::optional<std::string> code_page;   // --codepage as given
    std::string component;                  // the component library to load
    bool component_given = false;           // --component named it
    bool format_given = false;              // -f was given (the prompt preselects it)
    bool quiet = false;                     // no progress and no closing line
    bool strict = false;                    // any warning refuses the export
    bool check_written = false;             // --check: check the sheet once it is written
    std::string dialog;                     // --dialog: gtk, prompt or none; empty: chosen by the situation
    std::string dialog_start;               // where an asked-for dialog starts (-o given with it)
    // For audio files and folders only:
    bool recursive = false;                  // -r: folders to any depth
    std::string sort = "given";              // --sort: given | name | tags (checked by parse_command_line)
    bool per_disc = false;                   // one sheet per disc
    bool keep_going = false;                 // leave unreadable files out instead of stopping
    std::vector<std::pair<std::string, std::string>> tag_maps;  // --map TAG=FIELD, in order
    std::vector<std::string> audio_only_given;  // those of the options above that were given
};


// trevalin check SHEET.cue [--codepage CP]
struct sheet_check_options {
    std::string sheet;
    std::optional<std::string> code_page;  // the sheet's code page; absent: UTF-8
};

// What the command line asks for: a run with these options, or an immediate exit (after --help,
// --version, or a usage error already reported) with this status.
struct parsed_command_line {
    std::optional<command_options> options;
    std::optional<sheet_check_options> check;  // instead of options, for the check command
    int exit_code = 0;
};

// Parses argv. Help and version texts go to standard output, usage errors to standard error.
// Checks only what the command line itself says; the named files and folders are checked when the
// selection is read.
parsed_command_line parse_command_line(int argc, char** argv);

// The dialog filter named by a --format value (utf8, ansi, utf8-image, ansi-image, in any case,
// "utf-8" for "utf8"); nothing for any other name.
std::optional<t_uint32> filter_index_of_format(const std::string& name);

// The component installed with the running program: beside it in a build, in the private library
// folder in an installed tree.
std::string default_component_path();

}  // namespace cli
