#include "host/json_track_list.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>

#include "host/located_json.h"

namespace host {

namespace {

using json = nlohmann::ordered_json;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

class track_list_reader {
public:
    explicit track_list_reader(const located_json& document) : doc_(document) {}

    std::vector<track_entry> read() const {
        const json& root = doc_.root();
        const json* tracks = &root;
        std::string tracks_pointer;
        if (root.is_object()) {
            for (auto it = root.begin(); it != root.end(); ++it) {
                if (it.key() != "tracks")
                    reject_key(located_json::step("", it.key()), "unknown key " + quoted(it.key()) + " (expected \"tracks\")");
            }
            if (!root.contains("tracks")) reject_value("", "the track list has no \"tracks\"");
            tracks_pointer = "/tracks";
            tracks = &root["tracks"];
            if (!tracks->is_array()) reject_value(tracks_pointer, "\"tracks\" must be an array");
        } else if (!root.is_array()) {
            reject_value("", "expected an array of tracks or an object with \"tracks\"");
        }
        std::vector<track_entry> entries;
        entries.reserve(tracks->size());
        for (std::size_t i = 0; i < tracks->size(); ++i)
            entries.push_back(read_track((*tracks)[i], located_json::step(tracks_pointer, i)));
        return entries;
    }

private:
    [[noreturn]] void reject_value(const std::string& pointer, const std::string& reason) const {
        throw input_error(doc_.where_value(pointer), reason);
    }
    [[noreturn]] void reject_key(const std::string& pointer, const std::string& reason) const {
        throw input_error(doc_.where_key(pointer), reason);
    }

    track_entry read_track(const json& track, const std::string& pointer) const {
        if (!track.is_object()) reject_value(pointer, "a track must be an object");
        for (auto it = track.begin(); it != track.end(); ++it) {
            const std::string& key = it.key();
            if (key != "path" && key != "length" && key != "fields" && key != "replaygain" && key != "info" &&
                key != "info_missing")
                reject_key(located_json::step(pointer, key), "unknown key " + quoted(key) + " in a track");
        }

        track_entry entry;
        const auto path = track.find("path");
        if (path == track.end()) reject_value(pointer, "the track has no \"path\"");
        if (!path->is_string()) reject_value(located_json::step(pointer, "path"), "\"path\" must be a string");
        entry.path = path->get<std::string>();
        if (entry.path.empty()) reject_value(located_json::step(pointer, "path"), "\"path\" must not be empty");

        if (const auto missing = track.find("info_missing"); missing != track.end()) {
            if (!missing->is_boolean())
                reject_value(located_json::step(pointer, "info_missing"), "\"info_missing\" must be true or false");
            entry.info_missing = missing->get<bool>();
        }
        if (entry.info_missing) {
            // Information beside "no information" is a contradiction, not something to pick from.
            for (const char* key : {"length", "fields", "replaygain", "info"}) {
                if (track.contains(key))
                    reject_key(located_json::step(pointer, key),
                               quoted(key) + " in a track marked \"info_missing\"");
            }
            return entry;
        }

        if (const auto length = track.find("length"); length != track.end())
            entry.info.set_length(read_length(*length, located_json::step(pointer, "length")));
        if (const auto fields = track.find("fields"); fields != track.end())
            read_fields(*fields, located_json::step(pointer, "fields"), entry.info);
        if (const auto replaygain = track.find("replaygain"); replaygain != track.end())
            entry.info.set_replaygain(read_replaygain(*replaygain, located_json::step(pointer, "replaygain")));
        if (const auto info = track.find("info"); info != track.end())
            read_info(*info, located_json::step(pointer, "info"), entry.info);
        return entry;
    }

    double read_length(const json& length, const std::string& pointer) const {
        if (!length.is_number()) reject_value(pointer, "\"length\" must be a number");
        const double seconds = length.get<double>();
        if (!std::isfinite(seconds)) reject_value(pointer, "\"length\" must be finite");
        if (seconds < 0.0) reject_value(pointer, "\"length\" must not be negative");
        return seconds;
    }

    void read_fields(const json& fields, const std::string& pointer, host_track_info& info) const {
        if (fields.is_object()) {
            for (auto it = fields.begin(); it != fields.end(); ++it)
                info.add_field(it.key(), read_values(it.value(), located_json::step(pointer, it.key()), it.key()));
            return;
        }
        if (!fields.is_array())
            reject_value(pointer, "\"fields\" must be an object or a list of [name, [values...]] pairs");
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const json& pair = fields[i];
            const std::string pair_pointer = located_json::step(pointer, i);
            if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string())
                reject_value(pair_pointer, "a field in a list must be [name, [values...]]");
            const std::string name = pair[0].get<std::string>();
            info.add_field(name, read_values(pair[1], located_json::step(pair_pointer, 1), name));
        }
    }

    // A single text stands for a field with that one value; [] is a field with no values.
    std::vector<std::string> read_values(const json& values, const std::string& pointer, const std::string& name) const {
        if (values.is_string()) return {values.get<std::string>()};
        if (!values.is_array())
            reject_value(pointer, "field " + quoted(name) + " must be a string or an array of strings");
        std::vector<std::string> texts;
        texts.reserve(values.size());
        for (std::size_t j = 0; j < values.size(); ++j) {
            if (!values[j].is_string())
                reject_value(located_json::step(pointer, j), "field " + quoted(name) + ": a value must be a string");
            texts.push_back(values[j].get<std::string>());
        }
        return texts;
    }

    replaygain_values read_replaygain(const json& replaygain, const std::string& pointer) const {
        if (!replaygain.is_object()) reject_value(pointer, "\"replaygain\" must be an object");
        replaygain_values values;
        for (auto it = replaygain.begin(); it != replaygain.end(); ++it) {
            const std::string& key = it.key();
            float* slot = key == "album_gain"   ? &values.album_gain
                          : key == "track_gain" ? &values.track_gain
                          : key == "album_peak" ? &values.album_peak
                          : key == "track_peak" ? &values.track_peak
                                                : nullptr;
            const std::string value_pointer = located_json::step(pointer, key);
            if (slot == nullptr)
                reject_key(value_pointer, "unknown ReplayGain value " + quoted(key) +
                                              " (expected album_gain, album_peak, track_gain or track_peak)");
            if (!it.value().is_number()) reject_value(value_pointer, "ReplayGain " + quoted(key) + " must be a number");
            // Stored as a 32-bit float: a value beyond its range would not survive the conversion.
            const double value = it.value().get<double>();
            if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
                reject_value(value_pointer, "ReplayGain " + quoted(key) + " is out of range");
            *slot = static_cast<float>(value);
        }
        return values;
    }

    void read_info(const json& info, const std::string& pointer, host_track_info& record) const {
        if (!info.is_object()) reject_value(pointer, "\"info\" must be an object");
        for (auto it = info.begin(); it != info.end(); ++it) {
            if (!it.value().is_string())
                reject_value(located_json::step(pointer, it.key()), "info " + quoted(it.key()) + " must be a string");
            record.add_info(it.key(), it.value().get<std::string>());
        }
    }

    const located_json& doc_;
};

}  // namespace

std::vector<track_entry> read_json_track_list(std::istream& input, const std::string& display_name) {
    std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
    if (input.bad()) throw input_error(display_name, "cannot be read");
    const located_json document(std::move(text), display_name);
    return track_list_reader(document).read();
}

std::vector<track_entry> read_json_track_list_file(const std::string& path) {
    if (path == "-") return read_json_track_list(std::cin, "<stdin>");
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw input_error(path, "is a directory, not a track list");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw input_error(path, std::strerror(errno));
    return read_json_track_list(file, path);
}

}  // namespace host
