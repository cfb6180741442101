// ID3v2 text frames read as the file holds them. TagLib turns a UTF-8 frame that holds a byte out
// of place into an empty text, so an MP3 from a careless tagger loses its TITLE or ARTIST; reading
// the frames directly keeps such values, mended.
#pragma once

#include <string_view>
#include <vector>

#include "host/mended_tag.h"

namespace TagLib {
class File;
class IOStream;
}  // namespace TagLib

namespace host {

// The tags of the MP3 file's leading ID3v2 tag whose UTF-8 text frames (T***, TXXX, COMM) hold a
// value that is not valid UTF-8, named as TagLib names them; nothing for other files or when every
// value is valid.
std::vector<mended_tag> mended_id3v2_texts(TagLib::File& file, TagLib::IOStream& stream);

// The same from the bytes of a whole ID3v2 tag, header included.
std::vector<mended_tag> mended_id3v2_texts(std::string_view tag);

}  // namespace host
