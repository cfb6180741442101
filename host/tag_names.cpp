#include "host/tag_names.h"

#include <algorithm>
#include <utility>

namespace host {

namespace {

char ascii_lower_char(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ascii_lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = ascii_lower_char(c);
    return lower;
}

// Tag names are ASCII apart from MP4's "©" atoms, which compare byte for byte.
bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower_char(a[i]) != ascii_lower_char(b[i])) return false;
    }
    return true;
}

}  // namespace

// Each field's own name comes first, so a tag of that name always wins; then the names taggers
// use, then the formats' own names (ID3v2 frames, MP4 atoms and iTunes items, ASF attributes) for
// readers that hand those over unchanged.
const std::vector<tag_names::table_row>& tag_names::standard_table() {
    static const std::vector<table_row> table = {
        {"album artist", {"ALBUM ARTIST", "ALBUMARTIST", "ALBUM_ARTIST", "TPE2", "aART", "WM/AlbumArtist"}},
        {"songwriter", {"SONGWRITER", "COMPOSER", "TCOM", "\xc2\xa9wrt", "WM/Composer"}},
        {"catalog",
         {"CATALOG", "CATALOGNUMBER", "BARCODE", "----:com.apple.iTunes:CATALOGNUMBER", "----:com.apple.iTunes:BARCODE",
          "WM/CatalogNo", "WM/Barcode"}},
        {"title", {"TITLE", "TIT2", "\xc2\xa9nam"}},
        {"artist", {"ARTIST", "TPE1", "\xc2\xa9" "ART"}},
        {"album", {"ALBUM", "TALB", "\xc2\xa9" "alb", "WM/AlbumTitle"}},
        {"genre", {"GENRE", "TCON", "\xc2\xa9gen", "WM/Genre"}},
        {"date", {"DATE", "TDRC", "TYER", "\xc2\xa9" "day", "WM/Year"}},
        {"comment", {"COMMENT", "COMM", "\xc2\xa9" "cmt"}},
        {"isrc", {"ISRC", "TSRC", "----:com.apple.iTunes:ISRC", "WM/ISRC"}},
        {"discnumber", {"DISCNUMBER", "TPOS", "disk", "WM/PartOfSet"}},
        {"tracknumber", {"TRACKNUMBER", "TRCK", "trkn", "WM/TrackNumber"}},
    };
    return table;
}

tag_names::tag_names() = default;

void tag_names::map(std::string_view tag, std::string field) {
    for (auto& mapping : user_) {
        if (same_name(mapping.tag, tag)) {
            mapping.field = std::move(field);
            return;
        }
    }
    user_.push_back({std::string(tag), std::move(field)});
}

namespace {

// The standard table's sources by their length, in the table's order, so that a tag is compared
// with the few sources of its own length only.
struct source_entry {
    std::string_view source;
    const char* field;
    std::size_t rank;
};

const std::vector<std::vector<source_entry>>& standard_sources_by_length() {
    static const std::vector<std::vector<source_entry>> sources = [] {
        std::vector<std::vector<source_entry>> out;
        for (const auto& row : tag_names::standard_table()) {
            for (std::size_t i = 0; i < row.sources.size(); ++i) {
                const std::string_view source = row.sources[i];
                if (out.size() <= source.size()) out.resize(source.size() + 1);
                out[source.size()].push_back({source, row.field, i + 1});
            }
        }
        return out;
    }();
    return sources;
}

}  // namespace

std::pair<std::string, std::size_t> tag_names::target_of(std::string_view tag) const {
    for (const auto& mapping : user_) {
        if (same_name(mapping.tag, tag)) return {mapping.field, 0};
    }
    const auto& by_length = standard_sources_by_length();
    if (tag.size() < by_length.size()) {
        for (const auto& entry : by_length[tag.size()]) {
            if (same_name(entry.source, tag)) return {entry.field, entry.rank};
        }
    }
    return {ascii_lower(tag), 1};
}

std::vector<tag_field> tag_names::fields_of(std::vector<tag_field> tags) const {
    struct claim {
        std::string field;
        std::size_t rank;
        bool wins = false;
    };
    std::vector<claim> claims;
    claims.reserve(tags.size());
    for (const auto& tag : tags) {
        auto [field, rank] = target_of(tag.name);
        claims.push_back({std::move(field), rank});
    }
    // Field names are compared as the component compares them: without regard to letter case.
    // A file has a few dozen tags at most, so a list does.
    std::vector<std::string> taken;
    taken.reserve(tags.size());
    const auto take = [&taken](std::string name) {
        if (std::find(taken.begin(), taken.end(), name) != taken.end()) return false;
        taken.push_back(std::move(name));
        return true;
    };
    for (std::size_t i = 0; i < claims.size(); ++i) {
        bool best = true;
        for (std::size_t j = 0; j < claims.size() && best; ++j) {
            if (j == i || !same_name(claims[j].field, claims[i].field)) continue;
            best = claims[j].rank > claims[i].rank || (claims[j].rank == claims[i].rank && j > i);
        }
        claims[i].wins = best;
        if (best) take(ascii_lower(claims[i].field));
    }
    std::vector<tag_field> fields;
    fields.reserve(tags.size());
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (claims[i].wins) {
            fields.push_back({std::move(claims[i].field), std::move(tags[i].values)});
            continue;
        }
        std::string own = ascii_lower(tags[i].name);
        if (!take(own)) continue;
        fields.push_back({std::move(own), std::move(tags[i].values)});
    }
    return fields;
}

}  // namespace host
