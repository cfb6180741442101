// APEv2 text items read as the file holds them (WavPack, Monkey's Audio, Musepack). TagLib turns a
// value that is not valid UTF-8 into an empty text; reading the items directly keeps it, mended.
#pragma once

#include <string_view>
#include <vector>

#include "host/mended_tag.h"

namespace TagLib {
class File;
class IOStream;
}  // namespace TagLib

namespace host {

// The text items of the file's APEv2 tag that hold a value that is not valid UTF-8, named as
// TagLib's properties name them; nothing for other files or when every value is valid.
std::vector<mended_tag> mended_ape_items(TagLib::File& file, TagLib::IOStream& stream);

// The same from the bytes of a tag's items followed by its 32-byte footer.
std::vector<mended_tag> mended_ape_items(std::string_view tag);

}  // namespace host
