// TagLib's texts as UTF-8, converted once and without TagLib's intermediate copies.
#pragma once

#include <string>

#include <tstring.h>

namespace host {

// The same bytes as text.to8Bit(true). TagLib keeps a text as UTF-16 code units, one per wchar_t;
// a text of code units outside the surrogate range is encoded here directly, any other is left to
// TagLib's own conversion.
std::string utf8_of(const TagLib::String& text);

}  // namespace host
