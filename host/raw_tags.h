// Tag values that are not valid UTF-8, read from the file's own bytes. TagLib drops such a value
// without a trace (an empty text, or no entry at all), so a tag written by a careless tagger loses
// its TITLE or ARTIST; these readers keep it, mended: each bad byte becomes U+FFFD. Each gives the
// tags, named as TagLib's properties name them, that hold such a value, and nothing for other
// files or when every value is valid.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace TagLib {
class File;
class IOStream;
}  // namespace TagLib

namespace host {

struct mended_tag {
    std::string key;                  // in upper case, as TagLib names it
    std::vector<std::string> values;  // every value of the key in file order, bad bytes as U+FFFD
};

// Vorbis comments (FLAC, Ogg). A FLAC file's block is the one its stream kept as TagLib read it
// (comment_keeping_stream.h).
std::vector<mended_tag> mended_vorbis_comments(TagLib::File& file, TagLib::IOStream& stream);

// The KEY=value entries of a comment block (vendor length, vendor, count, then length-prefixed
// entries, all lengths 32-bit little-endian), as far as the block holds whole entries, as views
// into the block. Entries without '=' are left out.
std::vector<std::pair<std::string_view, std::string_view>> vorbis_comment_entries(std::string_view block);

// An MP3 file's leading ID3v2 tag: its UTF-8 text, TXXX and COMM frames.
std::vector<mended_tag> mended_id3v2_texts(TagLib::File& file, TagLib::IOStream& stream);
// The same from the bytes of a whole ID3v2 tag, header included.
std::vector<mended_tag> mended_id3v2_texts(std::string_view tag);

// The APEv2 tag of a WavPack, Monkey's Audio or Musepack file: its text items.
std::vector<mended_tag> mended_ape_items(TagLib::File& file, TagLib::IOStream& stream);
// The same from the bytes of a tag's items followed by its 32-byte footer.
std::vector<mended_tag> mended_ape_items(std::string_view tag);

}  // namespace host
