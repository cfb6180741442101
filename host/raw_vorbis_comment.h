// Vorbis comments (FLAC and Ogg files) read as the file holds them. TagLib drops a value that is
// not valid UTF-8 without a trace, so a tag written by a careless tagger loses its TITLE or
// ARTIST; reading the comment block directly keeps such values, mended.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/mended_tag.h"

namespace TagLib {
class File;
class IOStream;
}  // namespace TagLib

namespace host {

// The keys of the file's Vorbis comment that have a value that is not valid UTF-8; nothing for
// other formats, for a file without a comment block, or when every value is valid. A FLAC file's
// block is the one its stream kept as TagLib read it (comment_keeping_stream.h).
std::vector<mended_tag> mended_vorbis_comments(TagLib::File& file, TagLib::IOStream& stream);

// The KEY=value entries of a comment block (vendor length, vendor, count, then length-prefixed
// entries, all lengths 32-bit little-endian), as far as the block holds whole entries, as views
// into the block. Entries without '=' are left out.
std::vector<std::pair<std::string_view, std::string_view>> vorbis_comment_entries(std::string_view block);

}  // namespace host
