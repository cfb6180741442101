// The readers of tag bytes TagLib would not keep, on any bytes: an ID3v2 tag, an APEv2 tag and a
// Vorbis comment block. They stay inside what they are given, and every mended value is valid UTF-8.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "host/raw_tags.h"
#include "host/utf8_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const host::mended_tag& tag : host::mended_id3v2_texts(bytes)) {
        FUZZ_CHECK(!tag.key.empty());
        for (const auto& value : tag.values) FUZZ_CHECK(host::is_valid_utf8(value));
    }
    for (const host::mended_tag& tag : host::mended_ape_items(bytes)) {
        FUZZ_CHECK(!tag.key.empty());
        for (const auto& value : tag.values) FUZZ_CHECK(host::is_valid_utf8(value));
    }
    for (const auto& [key, value] : host::vorbis_comment_entries(bytes))
        FUZZ_CHECK(key.size() + value.size() < size);
    return 0;
}
