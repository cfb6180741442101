#include "host/json_track_list.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/json_positions.h"
#include "host/track_list_fast_pass.h"
#include "host/track_list_reader.h"

namespace host {

namespace {

// The whole input, in large reads. The text is kept: it is what an error's position is found in,
// and standard input cannot be read twice.
std::string read_all(std::istream& input) {
    std::string text;
    constexpr std::size_t chunk = 1 << 16;
    std::size_t used = 0;
    while (input) {
        text.resize(used + chunk);
        input.read(text.data() + used, static_cast<std::streamsize>(chunk));
        used += static_cast<std::size_t>(input.gcount());
    }
    text.resize(used);
    return text;
}

}  // namespace

std::vector<track_entry> read_json_track_list(std::istream& input, const std::string& display_name) {
    const std::string text = read_all(input);
    if (input.bad()) throw input_error(display_name, "cannot be read");
    if (auto entries = read_faultless_track_list(text)) return std::move(*entries);

    // Refused, or not for certain: the exact pass finds the fault and where it lies.
    track_list_reader reader;
    const bool parsed = nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &reader);
    const auto& error = reader.error();
    if (parsed && !error) return std::move(reader.entries());

    const json_positions positions(text, display_name);
    if (!error) throw input_error(positions.where(text.size()), "invalid JSON");
    std::size_t offset = error->offset;
    if (error->event)
        offset = positions.event_start(*error->event);
    else if (error->number_overflow)
        offset = positions.number_start(offset);
    throw input_error(positions.where(offset), error->reason);
}

std::vector<track_entry> read_json_track_list_file(const std::string& path) {
    if (path == "-") return read_json_track_list(std::cin, "<stdin>");
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw input_error(path, "is a directory, not a track list");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw system_input_error(path, errno);
    return read_json_track_list(file, path);
}

}  // namespace host
