#include "cli/track_order.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "abi/types.h"
#include "host/natural_order.h"

namespace cli {

namespace {

constexpr std::string_view file_scheme = "file://";

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<unsigned long> whole_number(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.size() > 9) return std::nullopt;
    unsigned long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    return value;
}

// Folder by folder, so that "a/z.flac" comes before "a b/y.flac".
bool path_less(std::string_view a, std::string_view b) {
    while (true) {
        const std::size_t a_end = std::min(a.find('/'), a.size());
        const std::size_t b_end = std::min(b.find('/'), b.size());
        const std::string_view a_step = a.substr(0, a_end);
        const std::string_view b_step = b.substr(0, b_end);
        if (a_step != b_step) return host::natural_less(a_step, b_step);
        if (a_end == a.size() || b_end == b.size()) return a_end == a.size() && b_end != b.size();
        a.remove_prefix(a_end + 1);
        b.remove_prefix(b_end + 1);
    }
}

bool name_less(const host::track_entry& a, const host::track_entry& b) { return path_less(a.path, b.path); }

}  // namespace

std::optional<track_order> track_order_named(const std::string& name) {
    if (name == "given") return track_order::given;
    if (name == "name") return track_order::name;
    if (name == "tags") return track_order::tags;
    return std::nullopt;
}

std::optional<unsigned long> number_field(const host::track_entry& track, const char* name) {
    const t_uint32 field = track.info.find_field(name, vesk::length_up_to_nul);
    if (field == vesk::index_not_found || track.info.field_value_count(field) == 0) return std::nullopt;
    const std::string_view text = track.info.field_value(field, 0);
    return whole_number(text.substr(0, text.find('/')));
}

void sort_tracks(std::vector<host::track_entry>& tracks, track_order order) {
    switch (order) {
        case track_order::given: return;
        case track_order::name: std::stable_sort(tracks.begin(), tracks.end(), name_less); return;
        case track_order::tags: break;
    }
    struct keyed {
        unsigned long disc;
        unsigned long track;
        std::size_t index;
    };
    constexpr unsigned long missing = std::numeric_limits<unsigned long>::max();
    std::vector<keyed> keys;
    keys.reserve(tracks.size());
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        keys.push_back({number_field(tracks[i], "discnumber").value_or(missing),
                        number_field(tracks[i], "tracknumber").value_or(missing), i});
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const keyed& a, const keyed& b) {
        if (a.disc != b.disc) return a.disc < b.disc;
        if (a.track != b.track) return a.track < b.track;
        return name_less(tracks[a.index], tracks[b.index]);
    });
    std::vector<host::track_entry> sorted;
    sorted.reserve(tracks.size());
    for (const keyed& key : keys) sorted.push_back(std::move(tracks[key.index]));
    tracks = std::move(sorted);
}

std::string local_path_of(const host::track_entry& track) {
    std::string_view path = track.path;
    if (path.substr(0, file_scheme.size()) == file_scheme) path.remove_prefix(file_scheme.size());
    return std::string(path);
}

}  // namespace cli
