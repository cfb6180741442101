#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <system_error>

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/track_order.h"
#include "cli/version_report.h"

#ifndef TREVALIN_INSTALLED_COMPONENT_DIR
#error "TREVALIN_INSTALLED_COMPONENT_DIR must name the component's folder relative to the installed program"
#endif

namespace cli {

namespace {

struct format_name {
    const char* name;
    t_uint32 filter_index;
};

// In the order of the dialog's filters.
constexpr format_name format_names[] = {
    {"utf8", 1},
    {"ansi", 2},
    {"utf8-image", 3},
    {"ansi-image", 4},
};

const char footer[] =
    "The selection is either audio files (a directory adds its audio files in name order, with -r\n"
    "its subfolders' after them) or a JSON track list. Without --output the sheet goes to\n"
    "standard output when that is not a terminal, else the save dialog is a window where a display\n"
    "is and a prompt on the terminal where none is (--dialog chooses). Before writing, the command\n"
    "warns about what other programs would misread; afterwards it says where the sheet went.\n"
    "\n"
    "Tags reach the sheet under the names it uses: COMPOSER gives SONGWRITER when there is no\n"
    "SONGWRITER tag, CATALOGNUMBER or BARCODE give CATALOG when there is no CATALOG tag,\n"
    "ALBUMARTIST, ALBUM ARTIST and album_artist give the album's PERFORMER; --map TAG=FIELD maps\n"
    "another tag (FIELD: title, artist, album artist, album, genre, date, comment, songwriter,\n"
    "catalog, isrc, discid).\n"
    "\n"
    "With --per-disc and -o DIR, a disc's sheet goes beside its tracks when they lie in DIR, else\n"
    "into DIR; discs whose sheets share a folder get \" (Disc N)\" in their names.\n"
    "\n"
    "Examples:\n"
    "  trevalin -o ~/Music/Album/ ~/Music/Album/      a sheet beside the album's files\n"
    "  trevalin -f ansi-image --codepage 1251 -o album.cue *.flac\n"
    "  trevalin album/ > album.cue                   the sheet to standard output\n"
    "  trevalin --strict --check -o album/ album/    no sheet with warnings; check it once written\n"
    "  trevalin check album.cue                      check any cue sheet\n"
    "\n"
    "trevalin check SHEET.cue [--codepage CP] reads a cue sheet and reports what other programs\n"
    "would misread or could not find.\n"
    "\n"
    "Exit status: 0 written (check: clean), 1 cancelled or replacement declined, 2 usage error or\n"
    "unreadable input (nothing written), 3 the export failed, 4 refused for warnings under\n"
    "--strict (nothing written) or findings of a check.";

std::string failure_message(const CLI::App*, const CLI::Error& error) {
    return "trevalin: " + shown_on_terminal(error.what()) + "\nTry 'trevalin --help' for more information.\n";
}

}  // namespace

std::optional<t_uint32> filter_index_of_format(const std::string& name) {
    std::string key;
    for (const char c : name) key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (key.compare(0, 5, "utf-8") == 0) key.erase(3, 1);
    for (const auto& format : format_names) {
        if (key == format.name) return format.filter_index;
    }
    return std::nullopt;
}

std::string default_component_path() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "libtrevalin.so";
    // A build keeps the component beside the program; an installed tree keeps it in a private
    // library folder, found from the program's own place so that a moved tree still works.
    const std::filesystem::path beside = program.parent_path() / "libtrevalin.so";
    if (std::filesystem::exists(beside, error)) return beside.string();
    return (program.parent_path() / TREVALIN_INSTALLED_COMPONENT_DIR / "libtrevalin.so").lexically_normal().string();
}


namespace {

parsed_command_line parse_check_command_line(int argc, char** argv) {
    CLI::App app("Checks a cue sheet: what other programs would misread or could not find.", "trevalin check");
    app.failure_message(failure_message);
    sheet_check_options options;
    std::string code_page;
    app.add_option("sheet", options.sheet, "the cue sheet")->required()->type_name("SHEET.cue");
    auto* code_page_option =
        app.add_option("--codepage", code_page, "the sheet's ANSI code page (default: the sheet is UTF-8)")->type_name("NAME");
    app.footer("Exit status: 0 clean, 4 findings, 2 unreadable sheet or usage error.");
    try {
        app.parse(argc - 1, argv + 1);
        if (code_page_option->count() > 0) options.code_page = code_page;
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return {std::nullopt, std::nullopt, status == 0 ? code_of(exit_status::written) : code_of(exit_status::usage_error)};
    }
    return {std::nullopt, std::move(options), 0};
}

}  // namespace

parsed_command_line parse_command_line(int argc, char** argv) {
    // Only as the first word: a file called "check" elsewhere is still a file.
    if (argc > 1 && std::string(argv[1]) == "check") return parse_check_command_line(argc, argv);
    CLI::App app("Writes a cue sheet for a selection of tracks.", "trevalin");
    app.footer(footer);
    app.failure_message(failure_message);

    command_options options;
    std::string track_list;
    std::string output;
    std::string format = "utf8";
    std::string code_page;
    std::string component;

    app.add_option("files", options.inputs,
                   "audio files in selection order; a directory adds its audio files in name order (with -r, its "
                   "subfolders' too)")
        ->type_name("FILE|DIR");
    auto* tracks_option = app.add_option("--tracks", track_list,
                                         "take the selection from a JSON track list (\"-\" reads standard input)")
                              ->type_name("LIST.json");
    auto* output_option =
        app.add_option("-o,--output", output,
                       "answer the save dialog with PATH; an existing directory gets the proposed name "
                       "inside it; \"-\" writes to standard output")
            ->type_name("PATH");
    auto* format_option = app.add_option("-f,--format", format, "the dialog filter: utf8 (default) | ansi | utf8-image | ansi-image")
        ->type_name("NAME");
    app.add_flag("--overwrite", options.overwrite, "confirm replacing an existing file");
    auto* code_page_option =
        app.add_option("--codepage", code_page, "the ANSI code page for the ansi formats (default windows-1252)")
            ->type_name("NAME");
    std::vector<std::string> maps;
    const CLI::Option* audio_only[] = {
        app.add_flag("-r,--recursive", options.recursive,
                     "search folders to any depth: a folder's files, then its subfolders, in natural order; "
                     "loops of symbolic links and unreadable folders are reported, not followed"),
        app.add_option("--sort", options.sort,
                       "the order of the tracks: given (default: as named, folders in name order) | name (the "
                       "whole path in natural order) | tags (DISCNUMBER, TRACKNUMBER, then the path)")
            ->type_name("given|name|tags"),
        app.add_flag("--per-disc", options.per_disc,
                     "one sheet per disc: by DISCNUMBER when every track has one, else by folder; -o names a "
                     "folder or -, a file only for a single disc"),
        app.add_flag("--keep-going", options.keep_going,
                     "leave out the files that cannot be read (each is named with the reason) instead of stopping"),
        app.add_option("--map", maps, "hand the tag TAG to the sheet as FIELD (repeatable), e.g. --map LABELNO=catalog")
            ->type_name("TAG=FIELD")
            ->allow_extra_args(false),
    };
    auto* component_option =
        app.add_option("--component", component,
                       "the component library to load (default: the one installed with the program)")
            ->type_name("PATH")
            ->group("");  // for developers: not in the help
    app.add_option("--dialog", options.dialog,
                   "who answers the save dialog: gtk (a window) | prompt (the terminal) | none (only --output "
                   "or standard output); with gtk or prompt, --output is where the dialog starts")
        ->type_name("KIND")
        ->check(CLI::IsMember({"gtk", "prompt", "none"}));
    app.add_flag("-q,--quiet", options.quiet, "no progress output and no closing line");
    app.add_flag("--strict", options.strict, "refuse to write a sheet when there are warnings (exit status 4)");
    app.add_flag("--check", options.check_written, "check the written sheet as \"trevalin check\" does (findings: exit status 4)");
    bool show_versions = false;
    app.add_flag("--version", show_versions, "print the command's and the component's versions and exit");

    try {
        app.parse(argc, argv);
        if (auto index = filter_index_of_format(format)) {
            options.filter_index = *index;
        } else {
            throw usage_error("unknown format \"" + format + "\" (expected utf8, ansi, utf8-image or ansi-image)");
        }
        options.format_given = format_option->count() > 0;
        if (!track_order_named(options.sort))
            throw usage_error("unknown order \"" + options.sort + "\" (expected given, name or tags)");
        for (const auto& map : maps) {
            const auto equals = map.find('=');
            if (equals == std::string::npos || equals == 0 || equals + 1 == map.size())
                throw usage_error("--map " + map + ": expected TAG=FIELD, both named");
            options.tag_maps.emplace_back(map.substr(0, equals), map.substr(equals + 1));
        }
        for (const CLI::Option* option : audio_only) {
            if (option->count() > 0) options.audio_only_given.push_back(option->get_name());
        }
        if (tracks_option->count() > 0) options.track_list = track_list;
        if (output_option->count() > 0) options.output = output;
        if (code_page_option->count() > 0) options.code_page = code_page;
        options.component_given = component_option->count() > 0;
        options.component = options.component_given ? component : default_component_path();
        if (show_versions) return {std::nullopt, std::nullopt, print_versions(options.component)};
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return {std::nullopt, std::nullopt, status == 0 ? code_of(exit_status::written) : code_of(exit_status::usage_error)};
    } catch (const usage_error& error) {
        report(error.what());
        return {std::nullopt, std::nullopt, code_of(exit_status::usage_error)};
    }
    return {std::move(options), std::nullopt, 0};
}

}  // namespace cli
