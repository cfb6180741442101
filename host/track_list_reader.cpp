#include "host/track_list_reader.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_set>
#include <utility>

namespace host {

namespace {

constexpr std::size_t max_depth = 64;
constexpr int number_overflow = 406;  // nlohmann's out_of_range.406

// The checks of one track, in the order in which they decide which error a track reports.
enum track_rank : int {
    not_an_object = 0,
    unknown_track_key = 10,
    no_path = 20,
    path_type = 30,
    empty_path = 40,
    info_missing_type = 50,
    information_beside_info_missing = 60,  // + the key's place in info_keys
    length_rank = 70,
    fields_rank = 80,
    replaygain_rank = 90,
    info_rank = 100,
};
// The list's own checks, likewise.
enum list_rank : int { unknown_list_key = 1, no_tracks = 2, not_a_list = 3 };

constexpr const char* info_keys[] = {"length", "fields", "replaygain", "info"};

int info_key_index(const std::string& key) {
    for (int i = 0; i < 4; ++i) {
        if (key == info_keys[i]) return i;
    }
    return -1;
}

bool is_track_key(const std::string& key) {
    return key == "path" || key == "info_missing" || info_key_index(key) >= 0;
}

float* replaygain_slot(replaygain_values& values, const std::string& key) {
    if (key == "album_gain") return &values.album_gain;
    if (key == "track_gain") return &values.track_gain;
    if (key == "album_peak") return &values.album_peak;
    if (key == "track_peak") return &values.track_peak;
    return nullptr;
}

std::string in_quotes(const std::string& text) { return "\"" + text + "\""; }

const char* const pair_shape = "a field in a list must be [name, [values...]]";

std::string values_type(const std::string& name) {
    return "field " + in_quotes(name) + " must be a string or an array of strings";
}
std::string value_type(const std::string& name) { return "field " + in_quotes(name) + ": a value must be a string"; }

}  // namespace

// Small objects are the rule (a track, its fields); a hash only pays once an object grows long.
bool track_list_reader::key_set::insert(const std::string& name) {
    constexpr std::size_t listed = 16;
    for (std::size_t i = 0; i < used_ && i < listed; ++i) {
        if (keys_[i] == name) return false;
    }
    if (used_ >= listed) {
        if (used_ == listed) hashed_.clear();
        if (used_ == listed) hashed_.insert(keys_.begin(), keys_.begin() + listed);
        if (!hashed_.insert(name).second) return false;
        ++used_;
        return true;
    }
    if (used_ < keys_.size())
        keys_[used_] = name;
    else
        keys_.push_back(name);
    ++used_;
    return true;
}

track_list_reader::track_list_reader() { stack_.resize(max_depth); }

bool track_list_reader::null() { return value({scalar_type::null}); }
bool track_list_reader::boolean(bool v) {
    scalar s{scalar_type::boolean};
    s.boolean = v;
    return value(s);
}
bool track_list_reader::number_integer(number_integer_t v) {
    scalar s{scalar_type::number};
    s.number = static_cast<double>(v);
    return value(s);
}
bool track_list_reader::number_unsigned(number_unsigned_t v) {
    scalar s{scalar_type::number};
    s.number = static_cast<double>(v);
    return value(s);
}
bool track_list_reader::number_float(number_float_t v, const string_t&) {
    scalar s{scalar_type::number};
    s.number = v;
    return value(s);
}
bool track_list_reader::string(string_t& v) {
    ++events_;
    if (std::memchr(v.data(), '\0', v.size()) != nullptr) {
        parser_error(current_event(), "NUL character inside a string");
        return false;
    }
    scalar s{scalar_type::string};
    s.text = &v;
    place_scalar(s);
    return true;
}
bool track_list_reader::binary(binary_t&) {
    ++events_;
    parser_error(current_event(), "binary values are not JSON");
    return false;
}

bool track_list_reader::value(const scalar& v) {
    ++events_;
    place_scalar(v);
    return true;
}

bool track_list_reader::start_object(std::size_t) { return open(place_container(true)); }
bool track_list_reader::start_array(std::size_t) { return open(place_container(false)); }

bool track_list_reader::open(kind container_kind) {
    if (depth_ >= max_depth) {
        parser_error(current_event(), "nested more than " + std::to_string(max_depth) + " levels deep");
        return false;
    }
    frame& f = stack_[depth_++];
    f.what = container_kind;
    f.event = current_event();
    f.count = 0;
    f.keys.clear();
    return true;
}

bool track_list_reader::key(string_t& name) {
    ++events_;
    const std::size_t event = current_event();
    if (std::memchr(name.data(), '\0', name.size()) != nullptr) {
        parser_error(event, "NUL character inside a key");
        return false;
    }
    frame& f = top();
    if (!f.keys.insert(name)) {
        parser_error(event, "duplicate key " + in_quotes(name));
        return false;
    }
    f.key.swap(name);
    f.key_event = event;
    switch (f.what) {
        case kind::list:
            if (f.key != "tracks") list_error(unknown_list_key, event, "unknown key " + in_quotes(f.key) + " (expected \"tracks\")");
            break;
        case kind::track:
            if (!is_track_key(f.key)) track_error(unknown_track_key, event, "unknown key " + in_quotes(f.key) + " in a track");
            if (f.key == "path") track_.has_path = true;
            if (const int i = info_key_index(f.key); i >= 0) track_.info_key_events[i] = event;
            break;
        case kind::replaygain:
            if (replaygain_slot(track_.replaygain, f.key) == nullptr)
                track_error(replaygain_rank, event,
                            "unknown ReplayGain value " + in_quotes(f.key) +
                                " (expected album_gain, album_peak, track_gain or track_peak)");
            break;
        default: break;
    }
    return true;
}

bool track_list_reader::end_object() {
    ++events_;
    const frame& f = top();
    if (f.what == kind::list && !has_tracks_) list_error(no_tracks, f.event, "the track list has no \"tracks\"");
    if (f.what == kind::track) finish_track();
    if (f.what == kind::replaygain) track_.entry.info.set_replaygain(track_.replaygain);
    --depth_;
    return true;
}

bool track_list_reader::end_array() {
    ++events_;
    if (top().what == kind::values) finish_values();
    if (top().what == kind::field_pair) finish_pair();
    --depth_;
    return true;
}

bool track_list_reader::parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& ex) {
    track_list_error e;
    e.at = track_list_error::level::parser;
    if (ex.id == number_overflow) {
        // Well-formed JSON that no value here can hold: point at the number rather than past it.
        e.offset = position;
        e.number_overflow = true;
        e.reason = parse_error_reason(ex.what());
    } else {
        // position counts the bytes read, the offending one included.
        e.offset = position > 0 ? position - 1 : 0;
        e.reason = "invalid JSON: " + parse_error_reason(ex.what());
    }
    report(std::move(e));
    return false;
}

track_list_reader::kind track_list_reader::place_container(bool is_object) {
    ++events_;
    const std::size_t event = current_event();
    if (depth_ == 0) return is_object ? kind::list : kind::tracks;
    frame& f = top();
    switch (f.what) {
        case kind::list:
            if (f.key != "tracks") return kind::skipped;
            has_tracks_ = true;
            if (is_object) list_error(not_a_list, event, "\"tracks\" must be an array");
            return is_object ? kind::skipped : kind::tracks;
        case kind::tracks:
            ++f.count;
            ++tracks_seen_;
            if (!is_object) {
                track_error(not_an_object, event, "a track must be an object");
                return kind::skipped;
            }
            track_ = track_state();
            return kind::track;
        case kind::track: return track_member(nullptr, is_object);
        case kind::fields_object:
            if (is_object) {
                track_error(fields_rank, event, values_type(f.key));
                return kind::skipped;
            }
            track_.field_name = f.key;
            track_.values.clear();
            return kind::values;
        case kind::fields_list:
            if (is_object) {
                track_error(fields_rank, event, pair_shape);
                return kind::skipped;
            }
            track_.pair_shape_ok = true;
            track_.pair_error.reset();
            track_.values.clear();
            return kind::field_pair;
        case kind::field_pair: {
            // The name comes first and must be a text; only then is the second element its values.
            const std::size_t element = f.count++;
            if (element != 1) track_.pair_shape_ok = false;
            if (!track_.pair_shape_ok) return kind::skipped;
            if (!is_object) return kind::values;
            pair_or_track_error(event, values_type(track_.field_name));
            return kind::skipped;
        }
        case kind::values:
            pair_or_track_error(event, value_type(track_.field_name));
            return kind::skipped;
        case kind::replaygain:
            if (replaygain_slot(track_.replaygain, f.key) != nullptr)
                track_error(replaygain_rank, event, "ReplayGain " + in_quotes(f.key) + " must be a number");
            return kind::skipped;
        case kind::info:
            track_error(info_rank, event, "info " + in_quotes(f.key) + " must be a string");
            return kind::skipped;
        case kind::skipped: return kind::skipped;
    }
    return kind::skipped;
}

void track_list_reader::place_scalar(const scalar& v) {
    const std::size_t event = current_event();
    const bool is_text = v.type == scalar_type::string;
    if (depth_ == 0) {
        list_error(not_a_list, event, "expected an array of tracks or an object with \"tracks\"");
        return;
    }
    frame& f = top();
    switch (f.what) {
        case kind::list:
            if (f.key != "tracks") return;
            has_tracks_ = true;
            list_error(not_a_list, event, "\"tracks\" must be an array");
            return;
        case kind::tracks:
            ++f.count;
            ++tracks_seen_;
            track_error(not_an_object, event, "a track must be an object");
            return;
        case kind::track: track_member(&v, false); return;
        case kind::fields_object:
            if (!is_text) {
                track_error(fields_rank, event, values_type(f.key));
                return;
            }
            track_.values.clear();
            track_.values.push_back(std::move(*v.text));
            track_.entry.info.add_field(f.key, std::move(track_.values));
            return;
        case kind::fields_list: track_error(fields_rank, event, pair_shape); return;
        case kind::field_pair: {
            const std::size_t element = f.count++;
            if (element == 0) {
                if (is_text) track_.field_name = std::move(*v.text);
                track_.pair_shape_ok = is_text;
                return;
            }
            if (element >= 2) track_.pair_shape_ok = false;
            if (element != 1 || !track_.pair_shape_ok) return;
            if (is_text)
                track_.values.push_back(std::move(*v.text));
            else
                pair_or_track_error(event, values_type(track_.field_name));
            return;
        }
        case kind::values:
            if (is_text)
                track_.values.push_back(std::move(*v.text));
            else
                pair_or_track_error(event, value_type(track_.field_name));
            return;
        case kind::replaygain: {
            float* slot = replaygain_slot(track_.replaygain, f.key);
            if (slot == nullptr) return;  // refused at its key
            if (v.type != scalar_type::number) {
                track_error(replaygain_rank, event, "ReplayGain " + in_quotes(f.key) + " must be a number");
                return;
            }
            // Stored as a 32-bit float: a value beyond its range would not survive the conversion.
            if (!std::isfinite(v.number) || std::fabs(v.number) > std::numeric_limits<float>::max()) {
                track_error(replaygain_rank, event, "ReplayGain " + in_quotes(f.key) + " is out of range");
                return;
            }
            *slot = static_cast<float>(v.number);
            return;
        }
        case kind::info:
            if (!is_text) {
                track_error(info_rank, event, "info " + in_quotes(f.key) + " must be a string");
                return;
            }
            track_.entry.info.add_info(f.key, std::move(*v.text));
            return;
        case kind::skipped: return;
    }
}

// A member of a track: a scalar (v) or the start of an object or array.
track_list_reader::kind track_list_reader::track_member(const scalar* v, bool is_object) {
    const std::size_t event = current_event();
    const std::string& key = top().key;
    const scalar_type type = v != nullptr ? v->type : scalar_type::null;
    if (key == "path") {
        if (v == nullptr || type != scalar_type::string) {
            track_error(path_type, event, "\"path\" must be a string");
        } else {
            track_.entry.path = std::move(*v->text);
            if (track_.entry.path.empty()) track_error(empty_path, event, "\"path\" must not be empty");
        }
    } else if (key == "info_missing") {
        if (v == nullptr || type != scalar_type::boolean)
            track_error(info_missing_type, event, "\"info_missing\" must be true or false");
        else
            track_.entry.info_missing = v->boolean;
    } else if (key == "length") {
        if (v == nullptr || type != scalar_type::number)
            track_error(length_rank, event, "\"length\" must be a number");
        else if (!std::isfinite(v->number))
            track_error(length_rank, event, "\"length\" must be finite");
        else if (v->number < 0.0)
            track_error(length_rank, event, "\"length\" must not be negative");
        else
            track_.entry.info.set_length(v->number);
    } else if (key == "fields") {
        if (v == nullptr) return is_object ? kind::fields_object : kind::fields_list;
        track_error(fields_rank, event, "\"fields\" must be an object or a list of [name, [values...]] pairs");
    } else if (key == "replaygain") {
        if (v == nullptr && is_object) return kind::replaygain;
        track_error(replaygain_rank, event, "\"replaygain\" must be an object");
    } else if (key == "info") {
        if (v == nullptr && is_object) return kind::info;
        track_error(info_rank, event, "\"info\" must be an object");
    }
    return kind::skipped;
}

void track_list_reader::finish_values() {
    // Inside a pair the values wait for the pair's own check.
    if (depth_ >= 2 && stack_[depth_ - 2].what == kind::field_pair) return;
    track_.entry.info.add_field(track_.field_name, std::move(track_.values));
    track_.values.clear();
}

void track_list_reader::finish_pair() {
    const frame& f = top();
    if (!track_.pair_shape_ok || f.count != 2)
        track_error(fields_rank, f.event, pair_shape);
    else if (track_.pair_error)
        report(*track_.pair_error);
    else
        track_.entry.info.add_field(std::move(track_.field_name), std::move(track_.values));
    track_.values.clear();
}

void track_list_reader::finish_track() {
    const frame& f = top();
    if (!track_.has_path) track_error(no_path, f.event, "the track has no \"path\"");
    if (track_.entry.info_missing) {
        // Information beside "no information" is a contradiction, not something to pick from.
        for (int i = 0; i < 4; ++i) {
            if (track_.info_key_events[i])
                track_error(information_beside_info_missing + i, *track_.info_key_events[i],
                            in_quotes(info_keys[i]) + " in a track marked \"info_missing\"");
        }
    }
    if (!error_) entries_.push_back(std::move(track_.entry));
}

// An error in a pair's values counts only when the pair itself is well shaped, which its end tells.
void track_list_reader::pair_or_track_error(std::size_t event, std::string reason) {
    const bool in_pair = top().what == kind::field_pair || (depth_ >= 2 && stack_[depth_ - 2].what == kind::field_pair);
    if (!in_pair) {
        track_error(fields_rank, event, std::move(reason));
    } else if (!track_.pair_error) {
        track_.pair_error = track_list_error{track_list_error::level::track, fields_rank, tracks_seen_ - 1, event, 0, false, std::move(reason)};
    }
}

void track_list_reader::list_error(int rank, std::size_t event, std::string reason) {
    report({track_list_error::level::list, rank, 0, event, 0, false, std::move(reason)});
}

void track_list_reader::track_error(int rank, std::size_t event, std::string reason) {
    report({track_list_error::level::track, rank, tracks_seen_ - 1, event, 0, false, std::move(reason)});
}

void track_list_reader::parser_error(std::size_t event, std::string reason) {
    report({track_list_error::level::parser, 0, 0, event, 0, false, std::move(reason)});
}

// The parser's errors stop the parse, so the first is the one; otherwise the list's shape comes
// before its tracks, the first faulty track before later ones, and within one list or track the
// lower rank, then the earlier error.
void track_list_reader::report(track_list_error candidate) {
    if (error_) {
        const track_list_error& held = *error_;
        const bool better = candidate.at < held.at ||
                            (candidate.at == held.at && candidate.at != track_list_error::level::parser &&
                             candidate.track == held.track && candidate.rank < held.rank);
        if (!better) return;
    }
    error_ = std::move(candidate);
}

}  // namespace host
