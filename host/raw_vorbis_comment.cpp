#include "host/raw_vorbis_comment.h"

#include <algorithm>
#include <cstdint>

#include <flacfile.h>
#include <oggfile.h>
#include <opusfile.h>
#include <speexfile.h>
#include <tiostream.h>
#include <vorbisfile.h>

#include "host/utf8_text.h"

namespace host {

namespace {

constexpr int vorbis_comment_block = 4;  // the FLAC metadata block type

std::string bytes_of(const TagLib::ByteVector& data) { return std::string(data.data(), data.size()); }

bool read_le32(std::string_view block, std::size_t& at, std::uint32_t& value) {
    if (block.size() - at < 4) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(block[at + i]);
    at += 4;
    return true;
}

// Reads a file through a window of a few hundred bytes, so that the small reads of a FLAC file's
// headers mostly cost one read. Near the end of the file a read gives what there is.
class window_reader {
public:
    explicit window_reader(TagLib::IOStream& stream) : stream_(stream) {}

    std::string read(long at, std::size_t length) {
        if (at < start_ || static_cast<std::size_t>(at - start_) + length > window_.size()) {
            constexpr std::size_t window = 512;  // the headers and a short comment block
            stream_.seek(at);
            window_ = stream_.readBlock(static_cast<unsigned long>(std::max(length, window)));
            start_ = at;
        }
        const auto offset = static_cast<std::size_t>(at - start_);
        return std::string(window_.data() + offset, std::min(length, window_.size() - offset));
    }

private:
    TagLib::IOStream& stream_;
    long start_ = 0;
    TagLib::ByteVector window_;
};

// A FLAC file: an optional ID3v2 tag, "fLaC", then metadata blocks each behind a 4-byte header.
std::string flac_comment_block(TagLib::IOStream& stream) {
    window_reader file(stream);
    long at = 0;
    const std::string head = file.read(0, 10);
    if (head.size() == 10 && head.compare(0, 3, "ID3") == 0) {
        long size = 10;
        for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(head[i]) & 0x7F);
        if (static_cast<unsigned char>(head[5]) & 0x10) size += 10;  // a footer follows
        at = size;
    }
    if (file.read(at, 4) != "fLaC") return {};
    at += 4;
    for (;;) {
        const std::string header = file.read(at, 4);
        if (header.size() < 4) return {};
        const auto type = static_cast<unsigned char>(header[0]) & 0x7F;
        const long length = (static_cast<long>(static_cast<unsigned char>(header[1])) << 16) |
                            (static_cast<long>(static_cast<unsigned char>(header[2])) << 8) |
                            static_cast<unsigned char>(header[3]);
        if (type == vorbis_comment_block) return file.read(at + 4, static_cast<std::size_t>(length));
        if (static_cast<unsigned char>(header[0]) & 0x80) return {};  // the last block
        at += 4 + length;
    }
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
    std::uint32_t vendor_length = 0, count = 0;
    if (!read_le32(block, at, vendor_length) || block.size() - at < vendor_length) return entries;
    at += vendor_length;
    if (!read_le32(block, at, count)) return entries;
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
    if (dynamic_cast<TagLib::FLAC::File*>(&file)) block = flac_comment_block(stream);
    else if (auto* ogg = dynamic_cast<TagLib::Ogg::File*>(&file)) block = ogg_comment_block(*ogg);
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
