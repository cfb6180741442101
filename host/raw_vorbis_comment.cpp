#include "host/raw_tags.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include <flacfile.h>
#include <oggfile.h>
#include <opusfile.h>
#include <speexfile.h>
#include <tiostream.h>
#include <vorbisfile.h>
#include <xiphcomment.h>

#include "host/comment_keeping_stream.h"
#include "host/utf8_text.h"

namespace host {

namespace {

std::string bytes_of(const TagLib::ByteVector& data) { return std::string(data.data(), data.size()); }

bool read_le32(std::string_view block, std::size_t& at, std::uint32_t& value) {
    if (block.size() - at < 4) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(block[at + i]);
    at += 4;
    return true;
}

// An Ogg file keeps the comment in its second packet, behind a codec-specific mark.
std::string ogg_comment_block(TagLib::Ogg::File& file) {
    const std::string packet = bytes_of(file.packet(1));
    std::string_view mark;
    if (dynamic_cast<TagLib::Ogg::Vorbis::File*>(&file)) mark = std::string_view("\x03vorbis", 7);
    else if (dynamic_cast<TagLib::Ogg::Opus::File*>(&file)) mark = "OpusTags";
    else if (!dynamic_cast<TagLib::Ogg::Speex::File*>(&file)) return {};
    if (packet.compare(0, mark.size(), mark) != 0) return {};
    return packet.substr(mark.size());
}

// The number of entries the block's header announces, or none when it is cut short; at is where
// the first entry starts.
std::optional<std::uint32_t> entry_count(std::string_view block, std::size_t& at) {
    at = 0;
    std::uint32_t vendor_length = 0, count = 0;
    if (!read_le32(block, at, vendor_length) || block.size() - at < vendor_length) return std::nullopt;
    at += vendor_length;
    if (!read_le32(block, at, count)) return std::nullopt;
    return count;
}

// Keys as TagLib takes them: printable ASCII but '=' and '~', in upper case.
bool taglib_key(std::string_view key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= 0x20 && c <= 0x7D; });
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

std::vector<std::pair<std::string_view, std::string_view>> vorbis_comment_entries(std::string_view block) {
    std::vector<std::pair<std::string_view, std::string_view>> entries;
    std::size_t at = 0;
    const std::uint32_t count = entry_count(block, at).value_or(0);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!read_le32(block, at, length) || block.size() - at < length) break;
        const std::string_view entry = block.substr(at, length);
        at += length;
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) continue;
        entries.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
    }
    return entries;
}

std::vector<mended_tag> mended_vorbis_comments(TagLib::File& file, TagLib::IOStream& stream) {
    std::string block;
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file)) {
        // The block as TagLib read it. TagLib drops only entries it cannot take: when it kept as
        // many as the block holds, there is nothing to mend.
        const auto* keeping = dynamic_cast<const comment_keeping_stream*>(&stream);
        if (keeping == nullptr) return {};
        const TagLib::ByteVector& kept = keeping->comment_block();
        const std::string_view raw(kept.data(), kept.size());
        const TagLib::Ogg::XiphComment* comment = flac->xiphComment();
        std::size_t first_entry = 0;
        if (comment == nullptr || entry_count(raw, first_entry) == comment->fieldCount()) return {};
        block = raw;
    } else if (auto* ogg = dynamic_cast<TagLib::Ogg::File*>(&file)) {
        block = ogg_comment_block(*ogg);
    }
    const auto entries = vorbis_comment_entries(block);

    std::vector<mended_tag> mended;
    for (const auto& [key, value] : entries) {
        if (!taglib_key(key) || is_valid_utf8(value)) continue;
        const std::string name = upper(std::string(key));
        if (std::any_of(mended.begin(), mended.end(), [&](const mended_tag& tag) { return tag.key == name; })) continue;
        mended_tag tag{name, {}};
        for (const auto& [other_key, other_value] : entries) {
            if (upper(std::string(other_key)) == name && !other_value.empty())
                tag.values.push_back(with_replacement_characters(other_value));
        }
        mended.push_back(std::move(tag));
    }
    return mended;
}

}  // namespace host
