#include "cli/sheet_check.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/code_page.h"
#include "cli/libcue_messages.h"
#include "host/audio_file_source.h"
#include "host/utf16_text.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t most_tracks_readers_take = 99;
constexpr long long cd_frame_samples = 588;

std::string read_sheet(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) throw host::input_error(path, "is a directory, not a cue sheet");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw host::input_error(path, std::strerror(errno));
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad()) throw host::input_error(path, "cannot be read");
    return bytes.str();
}

// The sheet's text in UTF-8; every single-byte code page maps its bytes one by one.
std::string utf8_of(const std::string& bytes, const std::string& code_page) {
    for (const std::string& name : iconv_names_of_code_page(code_page)) {
        const iconv_t cd = ::iconv_open("UTF-8", name.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1)) continue;
        std::string out;
        std::string in_copy = bytes;
        char* in = in_copy.data();
        std::size_t in_left = in_copy.size();
        char buffer[4096];
        while (in_left > 0) {
            char* to = buffer;
            std::size_t out_left = sizeof buffer;
            const std::size_t done = ::iconv(cd, &in, &in_left, &to, &out_left);
            out.append(buffer, sizeof buffer - out_left);
            if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out += "\xef\xbf\xbd";  // a byte the code page has no character for
                ++in;
                --in_left;
            }
        }
        ::iconv_close(cd);
        return out;
    }
    throw usage_error("unknown code page \"" + code_page + "\" (give a Windows code page number such as 1251, or an iconv name)");
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}

// The words of a line; a quoted value is one word without its quotes. quoted_ends tells whether
// any quoted value ends in a backslash.
std::vector<std::string> words_of(const std::string& line, bool& backslash_before_quote) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
        } else if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string::npos ? line.size() : close;
            words.push_back(line.substr(i + 1, end - i - 1));
            if (close != std::string::npos && close > i + 1 && line[close - 1] == '\\') backslash_before_quote = true;
            i = end + 1;
        } else {
            const std::size_t end = line.find_first_of(" \t", i);
            words.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return words;
}

// "mm:ss:ff" in frames of 1/75 s; -1 for anything else.
long long frames_of(const std::string& time) {
    unsigned long long minutes = 0, seconds = 0, frames = 0;
    char tail = 0;
    if (std::sscanf(time.c_str(), "%llu:%llu:%llu%c", &minutes, &seconds, &frames, &tail) != 3) return -1;
    return static_cast<long long>((minutes * 60 + seconds) * 75 + frames);
}

std::string time_text(long long frames) {
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", frames / 75 / 60, frames / 75 % 60, frames % 75);
    return text;
}

// One FILE entry as the check follows it.
struct file_entry {
    std::string name;
    std::size_t line = 0;
    bool exists = false;
    double seconds = -1;  // the length, where TagLib reads it
    long long samples = -1;
    int rate = 0;
    std::size_t tracks = 0;
    long long last_index = -1;  // frames
};

std::string case_twin(const fs::path& wanted) {
    std::error_code error;
    const std::string name = upper(wanted.filename().string());
    for (fs::directory_iterator it(wanted.parent_path().empty() ? "." : wanted.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        if (upper(it->path().filename().string()) == name) return it->path().filename().string();
    }
    return {};
}

file_entry open_entry(const std::string& name, std::size_t line, const fs::path& folder, std::vector<check_finding>& findings) {
    file_entry entry;
    entry.name = name;
    entry.line = line;
    const fs::path where = fs::path(name).is_absolute() ? fs::path(name) : folder / name;
    std::error_code error;
    entry.exists = fs::is_regular_file(where, error);
    if (!entry.exists) {
        const std::string twin = case_twin(where);
        findings.push_back({line, "FILE \"" + name + "\" does not exist beside the sheet" +
                                      (twin.empty() ? "" : " (\"" + twin + "\" differs only in letter case)")});
        return entry;
    }
    try {
        const host::track_entry audio = host::read_audio_file(where.string());
        entry.seconds = audio.info.get_length();
        const t_uint32 rate = audio.info.find_info("samplerate", ~t_uint32{0});
        if (rate != ~t_uint32{0}) entry.rate = std::atoi(audio.info.info_value(rate));
        if (entry.rate > 0) entry.samples = std::llround(entry.seconds * entry.rate);
    } catch (const host::input_error&) {
        // Not audio TagLib reads (a raw image): its length stays unknown.
    }
    return entry;
}

void close_entry(const file_entry& entry, std::vector<check_finding>& findings) {
    if (entry.tracks < 2 || entry.rate != 44100 || entry.samples < 0 || entry.samples % cd_frame_samples == 0) return;
    findings.push_back({entry.line, "the image \"" + entry.name + "\" is " + std::to_string(entry.samples) +
                                        " samples long, not a whole number of CD frames (588 samples at 44.1 kHz), as CD burning and "
                                        "FLAC's CD cue sheets need"});
}

}  // namespace

std::vector<check_finding> check_sheet(const std::string& sheet_path, const std::optional<std::string>& code_page) {
    const std::string bytes = read_sheet(sheet_path);
    std::string text = code_page ? utf8_of(bytes, *code_page) : bytes;
    if (text.compare(0, 3, "\xef\xbb\xbf") == 0) text.erase(0, 3);
    std::vector<check_finding> findings;

    const libcue_verdict verdict = ask_libcue(text);
    if (!verdict.parsed || !verdict.messages.empty())
        findings.push_back({first_line_libcue_rejects(text), "libcue cannot parse this: " +
                                                                 (verdict.messages.empty() ? "no sheet" : verdict.messages)});

    const fs::path folder = fs::path(sheet_path).parent_path();
    const std::vector<std::string> lines = lines_of(text);
    std::optional<file_entry> file;
    std::size_t tracks = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t line = i + 1;
        if (!code_page && !host::utf16_from_utf8(lines[i]))
            findings.push_back({line, "not valid UTF-8 (an ANSI sheet? give its --codepage)"});
        bool backslash_before_quote = false;
        const std::vector<std::string> words = words_of(lines[i], backslash_before_quote);
        if (words.empty()) continue;
        const std::string keyword = upper(words[0]);
        if (backslash_before_quote && keyword != "REM")
            findings.push_back({line, "a quoted value ends in a backslash, which libcue reads as an escaped quote"});
        if (keyword == "FILE" && words.size() >= 2) {
            if (file) close_entry(*file, findings);
            file = open_entry(words[1], line, folder, findings);
        } else if (keyword == "TRACK") {
            if (++tracks == most_tracks_readers_take + 1)
                findings.push_back({line, "more than 99 tracks: most programs that read cue sheets stop here"});
            if (file) ++file->tracks;
        } else if (keyword == "INDEX" && words.size() >= 3 && file) {
            const long long frames = frames_of(words[2]);
            if (frames < 0) continue;  // libcue has said so
            if (file->last_index >= 0 && frames <= file->last_index)
                findings.push_back({line, "INDEX " + words[1] + " " + words[2] + " does not come after the index before it (" +
                                              time_text(file->last_index) + ")"});
            // A track must start before the end, or it has nothing to play.
            if (file->seconds >= 0 && static_cast<double>(frames) / 75.0 >= file->seconds)
                findings.push_back({line, "INDEX " + words[1] + " " + words[2] + " is past the end of \"" + file->name +
                                              "\" (" + time_text(static_cast<long long>(file->seconds * 75)) + ")"});
            file->last_index = frames;
        }
    }
    if (file) close_entry(*file, findings);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const check_finding& a, const check_finding& b) { return a.line < b.line; });
    return findings;
}

exit_status report_check(const std::string& sheet_path, const std::optional<std::string>& code_page) {
    const std::vector<check_finding> findings = check_sheet(sheet_path, code_page);
    std::string out;
    for (const check_finding& finding : findings)
        out += sheet_path + (finding.line > 0 ? ":" + std::to_string(finding.line) : std::string()) + ": " + finding.text + "\n";
    std::cout << out << std::flush;
    return findings.empty() ? exit_status::written : exit_status::refused;
}

}  // namespace cli
