#include "cuesheet/cue_sheet_writer.h"

#include <cstring>

#include "cuesheet/cue_text.h"
#include "cuesheet/field_lookup.h"

namespace {

// Every field the sheet can carry. The first nine may be album-wide; title and isrc never are.
enum field_id : t_uint32 {
    album_artist, artist, album, genre, date, discid, comment, catalog, songwriter, title, isrc, field_id_count
};
constexpr t_uint32 album_wide_candidates = songwriter + 1;

constexpr const char* field_names[field_id_count] = {
    "album artist", "artist", "album", "genre", "date", "discid", "comment", "catalog", "songwriter", "title", "isrc",
};

// The value lines in sheet order. A header line is written when its field is in the header; a
// track line when the record has the field and it is not in the header.
enum class section { header, track };
struct value_line {
    section where;
    field_id field;
    const char* keyword;
    bool quoted;
};
constexpr value_line value_lines[] = {
    {section::header, genre, "REM GENRE ", false},
    {section::header, date, "REM DATE ", false},
    {section::header, discid, "REM DISCID ", false},
    {section::header, comment, "REM COMMENT ", false},
    {section::header, catalog, "CATALOG ", false},
    {section::header, songwriter, "SONGWRITER ", true},
    {section::header, album_artist, "PERFORMER ", true},
    {section::header, artist, "PERFORMER ", true},
    {section::header, album, "TITLE ", true},
    {section::track, title, "    TITLE ", true},
    {section::track, artist, "    PERFORMER ", true},
    {section::track, songwriter, "    SONGWRITER ", true},
    {section::track, isrc, "    ISRC ", false},
    {section::track, date, "    REM DATE ", false},
};

using text = vesk::string8_t<vesk::alloc_standard>;

bool same_text(const vesk::string_base& a, const vesk::string_base& b) noexcept {
    return a.length() == b.length() && std::memcmp(a.text(), b.text(), a.length()) == 0;
}

// The values of a field joined with ", ", in stored order; false when it has none.
bool joined_values(const track_info& info, t_uint32 field, vesk::string_base& out) {
    out.truncate(0);
    if (field == vesk::index_not_found) return false;
    const t_uint32 count = info.field_value_count(field);
    for (t_uint32 j = 0; j < count; ++j) {
        if (j > 0) out.append(", ", 2);
        out.append(info.field_value(field, j), vesk::length_up_to_nul);
    }
    return count > 0;
}

// Whether the joined values are exactly these bytes, compared value by value without joining them.
bool joined_values_equal(const track_info& info, t_uint32 field, const vesk::string_base& expected) {
    if (field == vesk::index_not_found) return false;
    const t_uint32 count = info.field_value_count(field);
    if (count == 0) return false;
    const char* want = expected.text();
    std::size_t left = expected.length();
    for (t_uint32 j = 0; j < count; ++j) {
        if (j > 0) {
            if (left < 2 || std::memcmp(want, ", ", 2) != 0) return false;
            want += 2;
            left -= 2;
        }
        const char* value = info.field_value(field, j);
        const std::size_t length = value != nullptr ? std::strlen(value) : 0;
        if (length > left || std::memcmp(want, value, length) != 0) return false;
        want += length;
        left -= length;
    }
    return left == 0;
}

// Decides for names[0..count) at once, in one walk over the list: each record's fields are found
// once, and the first record's joined values are the reference the others must equal.
void decide_album_wide(const cue_track_list& tracks, const char* const* names, t_uint32 count, bool* wide) {
    t_uint32 found[field_id_count];
    text reference[field_id_count];
    auto record = tracks.first();
    if (!record.has_node()) {
        for (t_uint32 n = 0; n < count; ++n) wide[n] = false;
        return;
    }
    find_fields(record->info, names, count, found);
    for (t_uint32 n = 0; n < count; ++n) wide[n] = joined_values(record->info, found[n], reference[n]);
    for (record.next(); record.has_node(); record.next()) {
        find_fields(record->info, names, count, found);
        for (t_uint32 n = 0; n < count; ++n) {
            if (wide[n]) wide[n] = joined_values_equal(record->info, found[n], reference[n]);
        }
    }
}

// Collects a line's pieces and hands the whole line to the output in one append: appending
// costs far more per call than per byte. A piece that does not fit goes out on its own.
class line_buffer {
public:
    explicit line_buffer(vesk::string_base& out) : out_(out) {}

    void add(const char* piece, std::size_t length) {
        if (length > capacity - used_) {
            flush();
            if (length > capacity) {
                out_.append(piece, static_cast<t_uint32>(length));
                return;
            }
        }
        std::memcpy(buffer_ + used_, piece, length);
        used_ += length;
    }
    void add(const char* piece) { add(piece, std::strlen(piece)); }
    void add(char c) { add(&c, 1); }
    void flush() {
        if (used_ > 0) out_.append(buffer_, static_cast<t_uint32>(used_));
        used_ = 0;
    }

private:
    static constexpr std::size_t capacity = 256;
    vesk::string_base& out_;
    char buffer_[capacity];
    std::size_t used_ = 0;
};

// Adds text with the sheet's value cleaning: '"' becomes '\'', CR LF becomes '\', every other
// byte below 0x20 becomes '_'. Unchanged runs go on in one piece.
template <class Out>
void add_cleaned(Out& out, const char* value) {
    const char* run = value;
    for (const char* p = value;; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte != '"') continue;
        if (p > run) out.add(run, static_cast<std::size_t>(p - run));
        if (byte == 0) return;
        const bool crlf = byte == '\r' && p[1] == '\n';
        out.add(byte == '"' ? '\'' : crlf ? '\\' : '_');
        if (crlf) ++p;
        run = p + 1;
    }
}

// A field's joined values, cleaned. The separator ", " holds no byte that cleaning changes, so
// each value can be cleaned on its own.
template <class Out>
void add_cleaned_field(Out& out, const track_info& info, t_uint32 field) {
    if (field == vesk::index_not_found) return;
    const t_uint32 count = info.field_value_count(field);
    for (t_uint32 j = 0; j < count; ++j) {
        if (j > 0) out.add(", ", 2);
        const char* value = info.field_value(field, j);
        if (value != nullptr) add_cleaned(out, value);
    }
}

// The output as add_cleaned_field sees it when a whole string is the target.
class string_output {
public:
    explicit string_output(vesk::string_base& out) : out_(out) {}
    void add(const char* piece, std::size_t length) { out_.append(piece, static_cast<t_uint32>(length)); }
    void add(char c) { out_.append(&c, 1); }

private:
    vesk::string_base& out_;
};

class sheet {
public:
    explicit sheet(vesk::string_base& out) : line_(out) {}

    void add(const char* piece) { line_.add(piece); }
    void end_line() {
        line_.add("\r\n", 2);
        line_.flush();
    }
    void line(const char* keyword, const char* value) {
        add(keyword);
        add(value);
        end_line();
    }
    void value_line(const value_line& rule, const track_info& info, t_uint32 field) {
        add(rule.keyword);
        if (rule.quoted) line_.add('"');
        add_cleaned_field(line_, info, field);
        if (rule.quoted) line_.add('"');
        end_line();
    }

    // Header or track value lines for one record, fields as find_fields found them.
    void value_lines_of(section where, const track_info& info, const t_uint32* found, const bool* in_header) {
        for (const auto& rule : value_lines) {
            if (rule.where != where) continue;
            const bool wanted = where == section::header ? in_header[rule.field]
                                                         : !in_header[rule.field] && found[rule.field] != vesk::index_not_found;
            if (wanted) value_line(rule, info, found[rule.field]);
        }
    }

    void header_replaygain(const replaygain_values& gain) {
        char number[replaygain_text_capacity];
        if (gain_text(gain.album_gain, number)) line("REM REPLAYGAIN_ALBUM_GAIN ", number);
        if (peak_text(gain.album_peak, number)) line("REM REPLAYGAIN_ALBUM_PEAK ", number);
    }

    void track_start(const cue_track& track, text& last_file_name) {
        if (!same_text(track.file_name, last_file_name)) {
            // Cleaned like a value, so a name can never close its quotes or its line early.
            add("FILE \"");
            add_cleaned(line_, track.file_name.text());
            add("\" WAVE");
            end_line();
            last_file_name.assign(track.file_name.text(), track.file_name.length());
        }
        add("  TRACK ");
        add(padded_decimal_text(track.track_number, 2).text);
        add(" AUDIO");
        end_line();
    }

    void track_end(const cue_track& track) {
        char number[replaygain_text_capacity];
        const replaygain_values gain = track.info.replaygain();
        if (gain_text(gain.track_gain, number)) line("    REM REPLAYGAIN_TRACK_GAIN ", number);
        if (peak_text(gain.track_peak, number)) line("    REM REPLAYGAIN_TRACK_PEAK ", number);
        if (track.flags.length() > 0) line("    FLAGS ", track.flags.text());
        index_lines(track.index_times);
    }

private:
    void index_lines(const double* index) {
        if (index[1] > index[0]) {
            if (index[0] < 0)
                line("    PREGAP ", cue_time_text(index[1] - index[0]).text);
            else
                line("    INDEX 00 ", cue_time_text(index[0]).text);
        }
        line("    INDEX 01 ", cue_time_text(index[1]).text);
        for (t_uint32 n = 2; n < cue_track::index_count && index[n] > 0; ++n) {
            add("    INDEX ");
            add(padded_decimal_text(n, 2).text);
            line(" ", cue_time_text(index[n]).text);
        }
    }

    line_buffer line_;
};

}  // namespace

bool field_is_album_wide(const cue_track_list& tracks, const char* name) {
    bool wide = false;
    decide_album_wide(tracks, &name, 1, &wide);
    return wide;
}

vesk::string8_t<vesk::alloc_standard> clean_cue_value(const track_info& info, const char* name) {
    text value;
    string_output out(value);
    add_cleaned_field(out, info, info.find_field(name, vesk::length_up_to_nul));
    return value;
}

void write_cue_sheet(vesk::string_base& out, const cue_track_list& tracks) {
    if (tracks.count() == 0) return;

    // Which fields go in the header. One header performer at most: with the album artist there,
    // every track names its own artist.
    bool in_header[field_id_count] = {};
    decide_album_wide(tracks, field_names, album_wide_candidates, in_header);
    if (in_header[album_artist]) in_header[artist] = false;

    sheet cue(out);
    t_uint32 found[field_id_count];
    const cue_track& first = *tracks.first();
    find_fields(first.info, field_names, field_id_count, found);
    cue.value_lines_of(section::header, first.info, found, in_header);
    cue.header_replaygain(first.info.replaygain());

    text last_file_name;
    for (auto record = tracks.first(); record.has_node(); record.next()) {
        const cue_track& track = *record;
        find_fields(track.info, field_names, field_id_count, found);
        cue.track_start(track, last_file_name);
        cue.value_lines_of(section::track, track.info, found, in_header);
        cue.track_end(track);
    }
}
