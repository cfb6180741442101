// Tags gathered the way TagLib's PropertyMap gathers them, without building one: the values of one
// name are appended in the order they come, and the names come out in TagLib's order of texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <tstring.h>
#include <tstringlist.h>

#include "host/tag_names.h"

namespace host {

class tag_collector {
public:
    // name is in UTF-8 and in upper case already, as TagLib's own names and translations are.
    std::vector<std::string>& values_of(std::string_view name);
    // Each value is converted to UTF-8 once, here.
    void add(std::string_view name, const TagLib::StringList& values);
    void add(std::string_view name, const TagLib::String& value);

    // Sorted by name.
    std::vector<tag_field> take();

private:
    std::vector<tag_field> tags_;
};

// Whether TagLib orders a before b: by UTF-16 units, so characters beyond U+FFFF come before
// U+E000..U+FFFF, unlike their UTF-8 bytes.
bool utf16_less(std::string_view a, std::string_view b);

}  // namespace host
