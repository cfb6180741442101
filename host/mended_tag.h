// A tag whose values TagLib would drop because they are not valid UTF-8, read from the file's own
// bytes and mended.
#pragma once

#include <string>
#include <vector>

namespace host {

struct mended_tag {
    std::string key;                  // in upper case, as TagLib names it
    std::vector<std::string> values;  // every value of the key in file order, bad bytes as U+FFFD
};

}  // namespace host
