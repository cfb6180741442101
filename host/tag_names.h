// The field names the host hands the component for the tags an audio file holds: the names the
// sheet looks for ("songwriter", "catalog", "album artist", ...) under the names taggers write
// (COMPOSER, CATALOGNUMBER, ALBUMARTIST, ID3v2 TCOM, MP4 ©wrt, ...), and every other tag in lower case.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

struct tag_field {
    std::string name;
    std::vector<std::string> values;
};

class tag_names {
public:
    // The standard table alone.
    tag_names();

    // A user's mapping: tag (any letter case) becomes field, ahead of everything the table says
    // for that field; a tag the table maps elsewhere is mapped to field instead.
    void map(std::string_view tag, std::string field);

    // The tags of one file, renamed, in their order. Several tags that would give one field: the
    // first source in the table's order gives it, the others keep their own names in lower case,
    // or are left out when that name is taken too. So COMPOSER gives "songwriter" only when there
    // is no SONGWRITER tag, and is "composer" otherwise.
    std::vector<tag_field> fields_of(std::vector<tag_field> tags) const;

    // The standard table, for documentation and tests: each field with its sources in order.
    struct table_row {
        const char* field;
        std::vector<const char*> sources;
    };
    static const std::vector<table_row>& standard_table();

private:
    struct user_mapping {
        std::string tag;
        std::string field;
    };
    // The field a tag becomes, and its place among the sources of that field (lower comes first).
    std::pair<std::string, std::size_t> target_of(std::string_view tag) const;

    std::vector<user_mapping> user_;
};

}  // namespace host
