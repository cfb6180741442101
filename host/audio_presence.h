// Whether a file TagLib opened holds audio the sheet can describe. TagLib accepts many files by
// their extension alone: an empty or random-bytes .mp3, .wav or .wv opens with no audio frame in it,
// and a cut-off Ogg file reports the length its last, incomplete page claims.
#pragma once

#include <string_view>

namespace TagLib {
class File;
class IOStream;
}  // namespace TagLib

namespace host {

// False when no audio frame was found (no sample rate; tracker modules, which have none, excepted)
// or an Ogg file does not end with a whole page.
bool holds_readable_audio(TagLib::File& file, TagLib::IOStream& stream);

// True when the bytes end exactly with a whole Ogg page whose checksum matches. tail holds the
// last bytes of the file, at least the largest page (65,307 bytes) when the file is that long.
bool ends_with_whole_ogg_page(std::string_view tail);

}  // namespace host
