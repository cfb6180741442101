#include "host/raw_tags.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <commentsframe.h>
#include <id3v2frame.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <textidentificationframe.h>
#include <tiostream.h>

#include "host/id3v2_tags.h"
#include "host/utf8_text.h"

namespace host {

namespace {

constexpr char utf8_encoding = 3;

std::uint32_t syncsafe(std::string_view bytes) {
    std::uint32_t value = 0;
    for (char c : bytes.substr(0, 4)) value = (value << 7) | (static_cast<unsigned char>(c) & 0x7F);
    return value;
}

std::uint32_t big_endian(std::string_view bytes) {
    std::uint32_t value = 0;
    for (char c : bytes.substr(0, 4)) value = (value << 8) | static_cast<unsigned char>(c);
    return value;
}

// Unsynchronisation puts a zero after every 0xFF that could be read as a frame sync.
std::string resynchronised(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += data[i];
        if (static_cast<unsigned char>(data[i]) == 0xFF && i + 1 < data.size() && data[i + 1] == '\0') ++i;
    }
    return out;
}

std::vector<std::string_view> split_at_nul(std::string_view text) {
    std::vector<std::string_view> pieces;
    while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
    for (std::size_t end; (end = text.find('\0')) != std::string_view::npos; text.remove_prefix(end + 1))
        pieces.push_back(text.substr(0, end));
    pieces.push_back(text);
    return pieces;
}

// The key and values TagLib would give for a UTF-8 frame's body (after the encoding byte), with
// bad bytes mended; an empty key when the frame is not one whose text is a tag, or all is valid.
mended_tag mended_frame(std::string_view id, std::string_view body) {
    std::vector<std::string_view> values;
    std::string key;
    if (id == "TXXX") {
        std::vector<std::string_view> pieces = split_at_nul(body);
        key = id3v2_description_name(TagLib::String(with_replacement_characters(pieces[0]), TagLib::String::UTF8));
        values.assign(pieces.begin() + 1, pieces.end());
    } else if (id == "COMM") {
        if (body.size() < 3) return {};
        body.remove_prefix(3);  // the language
        const std::size_t end = body.find('\0');
        if (end == std::string_view::npos) return {};
        key = id3v2_described_name(
            "COMMENT", TagLib::String(with_replacement_characters(body.substr(0, end)), TagLib::String::UTF8));
        values.push_back(split_at_nul(body.substr(end + 1))[0]);
    } else if (id[0] == 'T') {
        key = id3v2_frame_name(TagLib::ByteVector(id.data(), 4));
        values = split_at_nul(body);
    }
    if (key.empty() || std::all_of(values.begin(), values.end(), [](std::string_view v) { return is_valid_utf8(v); }))
        return {};
    mended_tag tag{key, {}};
    for (std::string_view value : values) tag.values.push_back(with_replacement_characters(value));
    return tag;
}

}  // namespace

std::vector<mended_tag> mended_id3v2_texts(std::string_view tag) {
    std::vector<mended_tag> mended;
    if (tag.size() < 10 || tag.substr(0, 3) != "ID3") return mended;
    const int version = tag[3];
    const auto flags = static_cast<unsigned char>(tag[5]);
    if (version != 3 && version != 4) return mended;  // UTF-8 frames came with 2.4; 2.3 taggers wrote them too
    std::string body(tag.substr(10, syncsafe(tag.substr(6, 4))));
    if ((flags & 0x80) && version == 3) body = resynchronised(body);
    std::string_view frames = body;
    if (flags & 0x40) {  // an extended header
        if (frames.size() < 4) return mended;
        const std::size_t size = version == 4 ? syncsafe(frames) : big_endian(frames) + 4;
        frames.remove_prefix(std::min(size, frames.size()));
    }
    while (frames.size() >= 10 && frames[0] != '\0') {
        const std::string_view id = frames.substr(0, 4);
        const std::size_t size = version == 4 ? syncsafe(frames.substr(4)) : big_endian(frames.substr(4));
        const auto format = static_cast<unsigned char>(frames[9]);
        if (size > frames.size() - 10) break;
        std::string data(frames.substr(10, size));
        frames.remove_prefix(10 + size);
        if (version == 4) {
            if (format & 0x0C) continue;  // compressed or encrypted
            if (format & 0x40) data.erase(0, 1);                                // group mark
            if (format & 0x01) data.erase(0, std::min<std::size_t>(4, data.size()));  // data length
            if ((format & 0x02) || (flags & 0x80)) data = resynchronised(data);
        } else if (format & 0xC0) {
            continue;  // compressed or encrypted
        } else if (format & 0x20) {
            data.erase(0, 1);
        }
        if (data.empty() || data[0] != utf8_encoding) continue;
        mended_tag frame = mended_frame(id, std::string_view(data).substr(1));
        if (frame.key.empty()) continue;
        const auto same = std::find_if(mended.begin(), mended.end(), [&](const mended_tag& t) { return t.key == frame.key; });
        if (same == mended.end()) {
            mended.push_back(std::move(frame));
        } else {
            for (auto& value : frame.values) same->values.push_back(std::move(value));
        }
    }
    return mended;
}

namespace {

// TagLib leaves an empty text where a frame's bytes were not valid UTF-8: only then is the tag
// worth reading again.
bool has_empty_text(TagLib::MPEG::File& file) {
    if (!file.hasID3v2Tag()) return false;
    for (const TagLib::ID3v2::Frame* frame : file.ID3v2Tag()->frameList()) {
        if (const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
            const TagLib::StringList fields = text->fieldList();
            if (fields.isEmpty() || std::any_of(fields.begin(), fields.end(), [](const TagLib::String& f) { return f.isEmpty(); }))
                return true;
        } else if (const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame)) {
            if (comment->text().isEmpty()) return true;
        }
    }
    return false;
}

}  // namespace

std::vector<mended_tag> mended_id3v2_texts(TagLib::File& file, TagLib::IOStream& stream) {
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(&file);
    if (mpeg == nullptr || !has_empty_text(*mpeg)) return {};
    stream.seek(0);
    const TagLib::ByteVector header = stream.readBlock(10);
    if (header.size() < 10 || !header.startsWith("ID3")) return {};
    const std::string_view head(header.data(), header.size());
    stream.seek(0);
    const TagLib::ByteVector tag = stream.readBlock(10 + syncsafe(head.substr(6, 4)));
    return mended_id3v2_texts(std::string_view(tag.data(), tag.size()));
}

}  // namespace host
