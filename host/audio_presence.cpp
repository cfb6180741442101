#include "host/audio_presence.h"

#include <array>
#include <cstdint>

#include <audioproperties.h>
#include <modfilebase.h>
#include <oggfile.h>
#include <tfile.h>
#include <tiostream.h>

namespace host {

namespace {

constexpr std::size_t page_header_size = 27;  // before the segment table
constexpr std::size_t largest_page = page_header_size + 255 + 255 * 255;

// The Ogg checksum: CRC-32, polynomial 0x04C11DB7, most significant bit first, no reflection, no
// final inversion, computed with the page's own checksum field as zeros.
constexpr std::array<std::uint32_t, 256> ogg_crc_table = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}();

std::uint32_t ogg_crc(std::string_view page) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const auto byte = (i >= 22 && i < 26) ? 0u : static_cast<unsigned char>(page[i]);
        crc = (crc << 8) ^ ogg_crc_table[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc;
}

std::uint32_t le32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The page starting at start, when a whole one with a matching checksum is there and ends exactly
// at the end of tail.
bool whole_last_page_at(std::string_view tail, std::size_t start) {
    const std::string_view page = tail.substr(start);
    if (page.size() < page_header_size || page[4] != 0) return false;  // stream structure version 0
    const std::size_t segments = static_cast<unsigned char>(page[26]);
    if (page.size() < page_header_size + segments) return false;
    std::size_t size = page_header_size + segments;
    for (std::size_t i = 0; i < segments; ++i) size += static_cast<unsigned char>(page[page_header_size + i]);
    return size == page.size() && ogg_crc(page) == le32(page, 22);
}

}  // namespace

bool ends_with_whole_ogg_page(std::string_view tail) {
    // The capture pattern may also occur inside packet data, so every candidate is tried, last first.
    for (std::size_t at = tail.rfind("OggS"); at != std::string_view::npos;) {
        if (whole_last_page_at(tail, at)) return true;
        if (at == 0 || tail.size() - at >= largest_page) break;
        at = tail.rfind("OggS", at - 1);
    }
    return false;
}

bool holds_readable_audio(TagLib::File& file, TagLib::IOStream& stream) {
    const TagLib::AudioProperties* properties = file.audioProperties();
    const bool tracker_module = dynamic_cast<const TagLib::Mod::FileBase*>(&file) != nullptr;
    if (properties == nullptr || (properties->sampleRate() <= 0 && !tracker_module)) return false;
    if (dynamic_cast<const TagLib::Ogg::File*>(&file) == nullptr) return true;
    const long length = stream.length();
    const long tail_size = length < static_cast<long>(largest_page) ? length : static_cast<long>(largest_page);
    stream.seek(-tail_size, TagLib::IOStream::End);
    const TagLib::ByteVector tail = stream.readBlock(static_cast<unsigned long>(tail_size));
    return ends_with_whole_ogg_page(std::string_view(tail.data(), tail.size()));
}

}  // namespace host
