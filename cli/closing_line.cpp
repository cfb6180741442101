#include "cli/closing_line.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "host/local_filesystem.h"

namespace cli {

namespace {

// Absolute and without "." steps, so the line says where the sheet is wherever it is read.
std::string shown_path(const std::string& path) {
    const std::string local = host::local_filesystem::local_path_of(path.c_str());
    std::error_code error;
    const auto absolute = std::filesystem::absolute(local, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string tracks_text(std::size_t count) { return std::to_string(count) + (count == 1 ? " track" : " tracks"); }

}  // namespace

std::string form_of(t_uint32 filter_index, const std::string& code_page, bool plural) {
    const bool image = filter_index == 3 || filter_index == 4;
    const bool ansi = filter_index == 2 || filter_index == 4;
    return std::string(image ? "album image sheet" : "per-file sheet") + (plural ? "s" : "") + ", " +
           (ansi ? code_page : "UTF-8");
}

std::string closing_line(const std::vector<written_sheet>& sheets) {
    if (sheets.empty()) return "wrote no sheet";
    if (sheets.size() == 1) {
        const written_sheet& sheet = sheets.front();
        return "wrote " + tracks_text(sheet.tracks) + " to " + shown_path(sheet.path) + " (" +
               form_of(sheet.filter_index, sheet.code_page) + ")";
    }
    const std::string first_form = form_of(sheets.front().filter_index, sheets.front().code_page);
    const bool same_form = std::all_of(sheets.begin(), sheets.end(), [&](const written_sheet& sheet) {
        return form_of(sheet.filter_index, sheet.code_page) == first_form;
    });
    std::string line = "wrote " + std::to_string(sheets.size()) + " sheets: ";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const written_sheet& sheet = sheets[i];
        line += (i > 0 ? ", " : "") + shown_path(sheet.path) + " (" + tracks_text(sheet.tracks) +
                (same_form ? "" : ", " + form_of(sheet.filter_index, sheet.code_page)) + ")";
    }
    if (same_form) line += " (" + form_of(sheets.front().filter_index, sheets.front().code_page, true) + ")";
    return line;
}

}  // namespace cli
