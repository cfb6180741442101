#include "cuesheet/cue_sheet_writer.h"

#include <cstring>

#include "abi/shared_library.h"
#include "cuesheet/byte_mapping.h"
#include "cuesheet/cue_text.h"
#include "trackinfo/field_text.h"

namespace {

// The fields the header may carry, in the order their album-wide flags are decided.
enum album_field : int { album_artist, artist, album, genre, date, discid, comment, catalog, songwriter, album_field_count };

constexpr const char* album_field_names[album_field_count] = {
    "album artist", "artist", "album", "genre", "date", "discid", "comment", "catalog", "songwriter",
};

bool same_text(const vesk::string_base& a, const vesk::string_base& b) noexcept {
    return a.length() == b.length() && std::memcmp(a.text(), b.text(), a.length()) == 0;
}

bool has_field(const track_info& info, const char* name) {
    return info.find_field(name, vesk::length_up_to_nul) != vesk::index_not_found;
}

class sheet {
public:
    explicit sheet(vesk::string_base& out) : out_(out) {}

    void add(const char* text) { out_.append(text, vesk::length_up_to_nul); }
    void add(const vesk::string_base& text) { out_.append(text.text(), text.length()); }
    void end_line() { add("\r\n"); }

    // keyword value
    void line(const char* keyword, const vesk::string_base& value) {
        add(keyword);
        add(value);
        end_line();
    }
    // keyword "value"
    void quoted_line(const char* keyword, const vesk::string_base& value) {
        add(keyword);
        add("\"");
        add(value);
        add("\"");
        end_line();
    }
    void line(const char* keyword, const char* value) {
        add(keyword);
        add(value);
        end_line();
    }

private:
    vesk::string_base& out_;
};

}  // namespace

bool field_is_album_wide(const cue_track_list& tracks, const char* name) {
    auto record = tracks.first();
    if (!record.has_node()) return false;
    vesk::string8_t<vesk::alloc_standard> first_text, text;
    if (!field_text(record->info, name, first_text)) return false;
    for (; record.has_node(); record.next()) {
        if (!field_text(record->info, name, text) || !same_text(text, first_text)) return false;
    }
    return true;
}

vesk::string8_t<vesk::alloc_standard> clean_cue_value(const track_info& info, const char* name) {
    vesk::string8_t<vesk::alloc_standard> value;
    field_text(info, name, value);
    map_bytes(value, [](char c) { return c == '"' ? '\'' : c; });
    if (std::strstr(value.text(), "\r\n")) {
        const vesk::string8_t<vesk::alloc_standard> copy(value);
        value.truncate(0);
        uReplaceStringAdd(value, copy.text(), copy.length(), "\r\n", 2, "\\", 1, false);
    }
    map_bytes(value, [](char c) { return static_cast<unsigned char>(c) < 0x20 ? '_' : c; });
    return value;
}

void write_cue_sheet(vesk::string_base& out, const cue_track_list& tracks) {
    if (tracks.count() == 0) return;

    bool wide[album_field_count];
    for (int f = 0; f < album_field_count; ++f) wide[f] = field_is_album_wide(tracks, album_field_names[f]);

    sheet cue(out);
    const auto first = tracks.first();
    const track_info& first_info = first->info;

    if (wide[genre]) cue.line("REM GENRE ", clean_cue_value(first_info, "genre"));
    if (wide[date]) cue.line("REM DATE ", clean_cue_value(first_info, "date"));
    if (wide[discid]) cue.line("REM DISCID ", clean_cue_value(first_info, "discid"));
    if (wide[comment]) cue.line("REM COMMENT ", clean_cue_value(first_info, "comment"));
    if (wide[catalog]) cue.line("CATALOG ", clean_cue_value(first_info, "catalog"));
    if (wide[songwriter]) cue.quoted_line("SONGWRITER ", clean_cue_value(first_info, "songwriter"));
    // One header performer at most: the album artist wins, and then every track names its artist.
    bool artist_in_header = wide[artist];
    if (wide[album_artist]) {
        cue.quoted_line("PERFORMER ", clean_cue_value(first_info, "album artist"));
        artist_in_header = false;
    } else if (wide[artist]) {
        cue.quoted_line("PERFORMER ", clean_cue_value(first_info, "artist"));
    }
    if (wide[album]) cue.quoted_line("TITLE ", clean_cue_value(first_info, "album"));

    char number[replaygain_text_capacity];
    const replaygain_values album_gain = first_info.replaygain();
    if (gain_text(album_gain.album_gain, number)) cue.line("REM REPLAYGAIN_ALBUM_GAIN ", number);
    if (peak_text(album_gain.album_peak, number)) cue.line("REM REPLAYGAIN_ALBUM_PEAK ", number);

    vesk::string8_t<vesk::alloc_standard> last_file_name;
    for (auto record = tracks.first(); record.has_node(); record.next()) {
        const cue_track& track = *record;
        const track_info& info = track.info;

        if (!same_text(track.file_name, last_file_name)) {
            cue.add("FILE \"");
            cue.add(track.file_name);
            cue.add("\" WAVE");
            cue.end_line();
            last_file_name.assign(track.file_name.text(), track.file_name.length());
        }
        cue.add("  TRACK ");
        cue.add(padded_decimal_text(track.track_number, 2).text);
        cue.add(" AUDIO");
        cue.end_line();
        if (has_field(info, "title")) cue.quoted_line("    TITLE ", clean_cue_value(info, "title"));
        if (!artist_in_header && has_field(info, "artist"))
            cue.quoted_line("    PERFORMER ", clean_cue_value(info, "artist"));
        if (!wide[songwriter] && has_field(info, "songwriter"))
            cue.quoted_line("    SONGWRITER ", clean_cue_value(info, "songwriter"));
        if (has_field(info, "isrc")) cue.line("    ISRC ", clean_cue_value(info, "isrc"));
        if (!wide[date] && has_field(info, "date")) cue.line("    REM DATE ", clean_cue_value(info, "date"));

        const replaygain_values gain = info.replaygain();
        if (gain_text(gain.track_gain, number)) cue.line("    REM REPLAYGAIN_TRACK_GAIN ", number);
        if (peak_text(gain.track_peak, number)) cue.line("    REM REPLAYGAIN_TRACK_PEAK ", number);
        if (track.flags.length() > 0) cue.line("    FLAGS ", track.flags);

        const double* index = track.index_times;
        if (index[1] > index[0]) {
            if (index[0] < 0)
                cue.line("    PREGAP ", cue_time_text(index[1] - index[0]).text);
            else
                cue.line("    INDEX 00 ", cue_time_text(index[0]).text);
        }
        cue.line("    INDEX 01 ", cue_time_text(index[1]).text);
        for (t_uint32 n = 2; n < cue_track::index_count && index[n] > 0; ++n) {
            cue.add("    INDEX ");
            cue.add(padded_decimal_text(n, 2).text);
            cue.line(" ", cue_time_text(index[n]).text);
        }
    }
}
