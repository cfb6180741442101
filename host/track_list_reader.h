// The streaming half of reading a JSON track list: nlohmann's parser hands over one event at a
// time and the reader builds the host's records from them directly, never a tree of the document.
// Errors are kept as the number of the event they concern; json_positions turns that into a line
// and column only when the list is rejected.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/json_positions.h"
#include "host/track_source.h"

namespace host {

// What is wrong and where: at the start of an event, or at a byte offset the parser reported.
struct track_list_error {
    // Which error a list with several reports: the parser's own first, then the list's shape, then
    // the first faulty track. Within a track the order of checks below decides, and between equals
    // the earlier one in the text.
    enum class level { parser, list, track };
    level at = level::parser;
    int rank = 0;
    std::size_t track = 0;
    std::optional<std::size_t> event;
    std::size_t offset = 0;  // when there is no event
    bool number_overflow = false;  // offset lies just after the number to point at
    std::string reason;
};

class track_list_reader final : public nlohmann::json_sax<nlohmann::json> {
public:
    track_list_reader();

    // The records so far; complete once the parse has ended without an error.
    std::vector<track_entry>& entries() noexcept { return entries_; }
    const std::optional<track_list_error>& error() const noexcept { return error_; }

    bool null() override;
    bool boolean(bool value) override;
    bool number_integer(number_integer_t value) override;
    bool number_unsigned(number_unsigned_t value) override;
    bool number_float(number_float_t value, const string_t& text) override;
    bool string(string_t& value) override;
    bool binary(binary_t& value) override;
    bool start_object(std::size_t elements) override;
    bool key(string_t& name) override;
    bool end_object() override;
    bool start_array(std::size_t elements) override;
    bool end_array() override;
    bool parse_error(std::size_t position, const std::string& last_token, const nlohmann::detail::exception& ex) override;

private:
    enum class kind { list, tracks, track, fields_object, fields_list, field_pair, values, replaygain, info, skipped };
    enum class scalar_type { null, boolean, number, string };
    struct scalar {
        scalar_type type;
        bool boolean = false;
        double number = 0.0;
        string_t* text = nullptr;
    };
    // Keys met in one object, so that a duplicate is refused; a list at first, hashed when long.
    class key_set {
    public:
        void clear() noexcept { used_ = 0; }
        bool insert(const std::string& name);

    private:
        std::vector<std::string> keys_;
        std::unordered_set<std::string> hashed_;
        std::size_t used_ = 0;
    };
    struct frame {
        kind what = kind::skipped;
        std::size_t event = 0;
        std::size_t count = 0;  // array elements so far
        key_set keys;
        std::string key;
        std::size_t key_event = 0;
    };
    // The track being read, with what its checks need at its end.
    struct track_state {
        track_entry entry;
        bool has_path = false;
        std::optional<std::size_t> info_key_events[4];  // length, fields, replaygain, info
        std::string field_name;
        std::vector<std::string> values;
        replaygain_values replaygain;
        bool pair_shape_ok = true;
        std::optional<track_list_error> pair_error;  // reported only when the pair is well shaped
    };

    bool value(const scalar& v);
    bool open(kind container_kind);
    // What a container opened here holds, after the checks on its place.
    kind place_container(bool is_object);
    void place_scalar(const scalar& v);
    kind track_member(const scalar* v, bool is_object);
    void finish_track();
    void finish_pair();
    void finish_values();
    void pair_or_track_error(std::size_t event, std::string reason);

    void list_error(int rank, std::size_t event, std::string reason);
    void track_error(int rank, std::size_t event, std::string reason);
    void parser_error(std::size_t event, std::string reason);
    void report(track_list_error candidate);

    std::size_t current_event() const noexcept { return events_ - 1; }
    frame& top() { return stack_[depth_ - 1]; }

    std::vector<track_entry> entries_;
    std::optional<track_list_error> error_;
    std::vector<frame> stack_;  // frames are reused, so their key lists keep their storage
    std::size_t depth_ = 0;
    std::size_t events_ = 0;
    std::size_t tracks_seen_ = 0;
    bool has_tracks_ = false;
    track_state track_;
};

}  // namespace host
