#include "host/id3v2_tags.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <commentsframe.h>
#include <id3v1genres.h>
#include <id3v2frame.h>
#include <textidentificationframe.h>
#include <tpropertymap.h>
#include <unknownframe.h>
#include <unsynchronizedlyricsframe.h>
#include <urllinkframe.h>

#include "host/taglib_text.h"

namespace host {

namespace {

namespace id3 = TagLib::ID3v2;

// TagLib's own tables from frame to name, so the names follow the TagLib the host is built with,
// and its own reading of the rare frames. TagLib 1.13 keeps these protected; this class only names
// them and is never made.
struct frame_names : id3::Frame {
    using id3::Frame::asProperties;
    using id3::Frame::frameIDToKey;
    using id3::Frame::txxxToKey;
};

TagLib::PropertyMap properties_of(const id3::Frame& frame) {
    constexpr auto as_properties = &frame_names::asProperties;  // a member of Frame, named through frame_names
    return (frame.*as_properties)();
}

// A frame of a kind with a description: its one value under that name, or false when the frame is
// not of the class its identifier promises.
template <class DescribedFrame, class ValueOf>
bool collect_described(const id3::Frame& frame, const char* name, ValueOf value_of, tag_collector& tags) {
    const auto* described_frame = dynamic_cast<const DescribedFrame*>(&frame);
    if (described_frame == nullptr) return false;
    tags.add(id3v2_described_name(name, described_frame->description()), value_of(*described_frame));
    return true;
}

// Text frames: ID3v1 genre numbers become genre names, and the T between a date and its time a space.
void collect_text(const id3::TextIdentificationFrame& frame, const std::string& name, tag_collector& tags) {
    auto& values = tags.values_of(name);
    const bool genre = name == "GENRE";
    const bool date = name == "DATE";
    for (const auto& text : frame.fieldList()) {
        bool number = false;
        const int genre_number = genre ? text.toInt(&number) : 0;
        values.push_back(utf8_of(number ? TagLib::ID3v1::genre(genre_number) : text));
        if (date) {
            const auto t = values.back().find('T');
            if (t != std::string::npos) values.back()[t] = ' ';
        }
    }
}

// Apple's text frames whose identifiers do not start with T.
bool is_text_frame(const TagLib::ByteVector& id) {
    return id[0] == 'T' || id == "WFED" || id == "MVNM" || id == "MVIN" || id == "GRP1";
}

// False for the frames left to TagLib: involved people, file identifiers, podcast flags and
// whatever has no name.
bool collect_frame(const id3::Frame& frame, tag_collector& tags) {
    if (dynamic_cast<const id3::UnknownFrame*>(&frame) != nullptr) return true;  // no name
    const TagLib::ByteVector id = frame.frameID();
    if (id.size() != 4) return false;
    if (id == "TXXX") {
        const auto* user = dynamic_cast<const id3::UserTextIdentificationFrame*>(&frame);
        if (user == nullptr) return false;
        // The first field is the description, which names the frame; the rest are its values.
        const TagLib::StringList fields = user->fieldList();
        if (fields.size() < 2) return true;
        auto& values = tags.values_of(id3v2_description_name(fields.front()));
        for (auto it = std::next(fields.begin()); it != fields.end(); ++it) values.push_back(utf8_of(*it));
        return true;
    }
    if (is_text_frame(id)) {
        const auto* text = dynamic_cast<const id3::TextIdentificationFrame*>(&frame);
        if (text == nullptr || id == "TIPL" || id == "TMCL") return false;
        const std::string& name = id3v2_frame_name(id);
        if (!name.empty()) collect_text(*text, name, tags);
        return true;
    }
    const auto url_of = [](const auto& f) { return f.url(); };
    const auto text_of = [](const auto& f) { return f.text(); };
    if (id == "WXXX") return collect_described<id3::UserUrlLinkFrame>(frame, "URL", url_of, tags);
    if (id[0] == 'W') {
        const auto* link = dynamic_cast<const id3::UrlLinkFrame*>(&frame);
        if (link == nullptr) return false;
        const std::string& name = id3v2_frame_name(id);
        if (!name.empty()) tags.add(name, link->url());
        return true;
    }
    if (id == "COMM") return collect_described<id3::CommentsFrame>(frame, "COMMENT", text_of, tags);
    if (id == "USLT") return collect_described<id3::UnsynchronizedLyricsFrame>(frame, "LYRICS", text_of, tags);
    return false;
}

}  // namespace

// A tag holds a handful of frame kinds, each looked up once. Only frames with a name are kept, so
// the list stays as short as TagLib's table whatever frames the files make up.
const std::string& id3v2_frame_name(const TagLib::ByteVector& id) {
    thread_local std::vector<std::pair<std::uint32_t, std::string>> known;
    std::uint32_t packed = 0;
    std::memcpy(&packed, id.data(), sizeof packed);  // identifiers here have four bytes
    for (const auto& [frame, name] : known) {
        if (frame == packed) return name;
    }
    static const std::string none;
    const TagLib::String name = frame_names::frameIDToKey(id);
    return name.isEmpty() ? none : known.emplace_back(packed, utf8_of(name)).second;
}

// Files mostly repeat a few descriptions, so the last few are kept.
std::string id3v2_description_name(const TagLib::String& description) {
    thread_local std::vector<std::pair<std::string, std::string>> known;
    std::string text = utf8_of(description);
    for (const auto& [seen, name] : known) {
        if (seen == text) return name;
    }
    std::string name = utf8_of(frame_names::txxxToKey(description));
    if (known.size() == 64) known.erase(known.begin());
    known.emplace_back(std::move(text), name);
    return name;
}

std::string id3v2_described_name(const char* name, const TagLib::String& description) {
    const std::string upper = utf8_of(description.upper());
    if (upper.empty() || upper == name) return name;
    return std::string(name) + ":" + upper;
}

void collect_id3v2_tags(const id3::Tag& tag, tag_collector& tags) {
    for (const id3::Frame* frame : tag.frameList()) {
        if (collect_frame(*frame, tags)) continue;
        for (const auto& [name, values] : properties_of(*frame)) tags.add(utf8_of(name), values);
    }
}

}  // namespace host
