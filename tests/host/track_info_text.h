// A record's fields as "name=value|value" lines, so tests compare whole records at a glance.
#pragma once

#include <string>
#include <vector>

#include "abi/track_info.h"

inline std::vector<std::string> fields_of(const track_info& info) {
    std::vector<std::string> out;
    for (t_uint32 i = 0; i < info.field_count(); ++i) {
        std::string line = std::string(info.field_name(i)) + "=";
        for (t_uint32 j = 0; j < info.field_value_count(i); ++j) line += (j ? "|" : "") + std::string(info.field_value(i, j));
        out.push_back(line);
    }
    return out;
}
