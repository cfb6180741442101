#include "host/raw_tags.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <apefile.h>
#include <apeitem.h>
#include <apetag.h>
#include <mpcfile.h>
#include <tiostream.h>
#include <wavpackfile.h>

#include "host/file_tags.h"
#include "host/utf8_text.h"

namespace host {

namespace {

constexpr std::size_t footer_size = 32;

std::uint32_t le32(std::string_view bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// TagLib leaves an empty text where a value was not valid UTF-8: only then is the tag worth
// reading again.
TagLib::APE::Tag* tag_with_empty_text(TagLib::File& file) {
    TagLib::APE::Tag* tag = nullptr;
    if (auto* wavpack = dynamic_cast<TagLib::WavPack::File*>(&file)) tag = wavpack->APETag();
    else if (auto* ape = dynamic_cast<TagLib::APE::File*>(&file)) tag = ape->APETag();
    else if (auto* mpc = dynamic_cast<TagLib::MPC::File*>(&file)) tag = mpc->APETag();
    if (tag == nullptr) return nullptr;
    for (const auto& [key, item] : tag->itemListMap()) {
        if (item.type() != TagLib::APE::Item::Text) continue;
        const TagLib::StringList values = item.values();
        if (std::any_of(values.begin(), values.end(), [](const TagLib::String& v) { return v.isEmpty(); })) return tag;
    }
    return nullptr;
}

}  // namespace

std::vector<mended_tag> mended_ape_items(std::string_view tag) {
    std::vector<mended_tag> mended;
    if (tag.size() < footer_size) return mended;
    const std::string_view footer = tag.substr(tag.size() - footer_size);
    if (footer.substr(0, 8) != "APETAGEX") return mended;
    const std::uint32_t count = le32(footer.substr(16));
    std::string_view items = tag.substr(0, tag.size() - footer_size);
    for (std::uint32_t i = 0; i < count && items.size() >= 9; ++i) {
        const std::uint32_t length = le32(items);
        const std::uint32_t flags = le32(items.substr(4));
        const std::size_t key_end = items.find('\0', 8);
        if (key_end == std::string_view::npos || length > items.size() - key_end - 1) break;
        const std::string key(items.substr(8, key_end - 8));
        const std::string_view value = items.substr(key_end + 1, length);
        items.remove_prefix(key_end + 1 + length);
        if (((flags >> 1) & 3) != 0 || is_valid_utf8(value)) continue;  // not text, or nothing to mend
        const std::string name = ape_item_name(TagLib::String(key, TagLib::String::Latin1));
        if (name.empty() || std::any_of(mended.begin(), mended.end(), [&](const mended_tag& t) { return t.key == name; }))
            continue;
        mended_tag item{name, {}};
        for (std::string_view rest = value;;) {
            const std::size_t end = rest.find('\0');
            item.values.push_back(with_replacement_characters(rest.substr(0, end)));
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 1);
        }
        mended.push_back(std::move(item));
    }
    return mended;
}

std::vector<mended_tag> mended_ape_items(TagLib::File& file, TagLib::IOStream& stream) {
    if (tag_with_empty_text(file) == nullptr) return {};
    // The tag ends the file, or stands before an ID3v1 tag that does.
    const long size = stream.length();
    for (const long id3v1 : {0L, 128L}) {
        if (size < static_cast<long>(footer_size) + id3v1) continue;
        stream.seek(size - id3v1 - static_cast<long>(footer_size));
        const TagLib::ByteVector footer = stream.readBlock(footer_size);
        if (!footer.startsWith("APETAGEX")) continue;
        const long tag_size = static_cast<long>(le32(std::string_view(footer.data() + 12, 4)));
        if (tag_size < static_cast<long>(footer_size) || tag_size > size - id3v1) return {};
        stream.seek(size - id3v1 - tag_size);
        const TagLib::ByteVector tag = stream.readBlock(static_cast<unsigned long>(tag_size));
        return mended_ape_items(std::string_view(tag.data(), tag.size()));
    }
    return {};
}

}  // namespace host
