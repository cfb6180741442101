#include "host/file_tags.h"

#include <algorithm>
#include <array>
#include <utility>

#include <aifffile.h>
#include <apefile.h>
#include <apetag.h>
#include <flacfile.h>
#include <id3v1tag.h>
#include <id3v2tag.h>
#include <infotag.h>
#include <mp4file.h>
#include <mp4tag.h>
#include <mpcfile.h>
#include <mpegfile.h>
#include <oggfile.h>
#include <tpropertymap.h>
#include <trueaudiofile.h>
#include <wavfile.h>
#include <wavpackfile.h>
#include <xiphcomment.h>

#include "host/id3v2_tags.h"
#include "host/tag_collector.h"
#include "host/taglib_text.h"

namespace host {

namespace {

// The tags a file's properties come from, in the order TagLib looks at them: the first that is
// not empty gives all of them. None for ASF, read through TagLib's properties.
std::array<TagLib::Tag*, 3> tags_in_reading_order(TagLib::File& file) {
    if (auto* f = dynamic_cast<TagLib::MPEG::File*>(&file)) return {f->ID3v2Tag(), f->APETag(), f->ID3v1Tag()};
    if (auto* f = dynamic_cast<TagLib::FLAC::File*>(&file)) return {f->xiphComment(), f->ID3v2Tag(), f->ID3v1Tag()};
    if (auto* f = dynamic_cast<TagLib::TrueAudio::File*>(&file)) return {f->ID3v2Tag(), f->ID3v1Tag(), nullptr};
    if (auto* f = dynamic_cast<TagLib::WavPack::File*>(&file)) return {f->APETag(), f->ID3v1Tag(), nullptr};
    if (auto* f = dynamic_cast<TagLib::APE::File*>(&file)) return {f->APETag(), f->ID3v1Tag(), nullptr};
    if (auto* f = dynamic_cast<TagLib::MPC::File*>(&file)) return {f->APETag(), f->ID3v1Tag(), nullptr};
    if (auto* f = dynamic_cast<TagLib::RIFF::WAV::File*>(&file)) return {f->ID3v2Tag(), f->InfoTag(), nullptr};
    if (auto* f = dynamic_cast<TagLib::RIFF::AIFF::File*>(&file)) return {f->tag(), nullptr, nullptr};
    if (dynamic_cast<TagLib::Ogg::File*>(&file) != nullptr) return {file.tag(), nullptr, nullptr};
    if (auto* f = dynamic_cast<TagLib::MP4::File*>(&file)) return {f->tag(), nullptr, nullptr};
    return {};
}

// APE items under TagLib's names: text items only.
void collect_ape_tags(const TagLib::APE::Tag& tag, tag_collector& tags) {
    for (const auto& [key, item] : tag.itemListMap()) {
        if (item.type() != TagLib::APE::Item::Text) continue;
        const std::string name = ape_item_name(key);
        if (!name.empty()) tags.add(name, item.values());
    }
}

// MP4 items under TagLib's names. TagLib keeps its atom-to-name table to itself, so the name of an
// atom is asked once of a tag that holds only that item, and remembered; so is whether TagLib gives
// the item's own texts. Items it turns into text its own way (track and disc numbers, tempo, flags)
// are asked of such a tag every time. A name given by two atoms keeps the later one's values, as in
// TagLib's property map.
void collect_mp4_tags(const TagLib::MP4::Tag& tag, tag_collector& tags) {
    struct atom_name {
        TagLib::String atom;
        std::string name;  // empty: TagLib gives the item no name
        bool own_texts;
    };
    thread_local std::vector<atom_name> known;
    const auto properties_of = [](const TagLib::String& atom, const TagLib::MP4::Item& item) {
        TagLib::MP4::Tag single;
        single.setItem(atom, item);
        return single.properties();
    };
    std::vector<std::string> named;
    for (const auto& atom_item : tag.itemMap()) {
        // Named, not bound: clang before 16 lets no lambda capture a structured binding.
        const TagLib::String& atom = atom_item.first;
        const TagLib::MP4::Item& item = atom_item.second;
        auto entry = std::find_if(known.begin(), known.end(), [&](const atom_name& a) { return a.atom == atom; });
        if (entry == known.end()) {
            const TagLib::PropertyMap properties = properties_of(atom, item);
            const TagLib::StringList texts = item.toStringList();
            if (properties.isEmpty()) {
                known.push_back({atom, {}, false});
            } else {
                known.push_back({atom, utf8_of(properties.begin()->first),
                                 !texts.isEmpty() && properties.begin()->second == texts});
            }
            entry = known.end() - 1;
        }
        if (entry->name.empty()) continue;
        std::vector<std::string>& values = tags.values_of(entry->name);
        if (std::find(named.begin(), named.end(), entry->name) != named.end()) values.clear();
        named.push_back(entry->name);
        if (entry->own_texts && !item.toStringList().isEmpty()) {
            tags.add(entry->name, item.toStringList());
        } else {
            const TagLib::PropertyMap properties = properties_of(atom, item);
            if (!properties.isEmpty()) tags.add(entry->name, properties.begin()->second);
        }
    }
}

// A map of names already in upper case and in order.
template <class TagMap>
std::vector<tag_field> fields_of_map(const TagMap& map) {
    std::vector<tag_field> out;
    out.reserve(map.size());
    for (const auto& [key, texts] : map) {
        std::vector<std::string> values;
        values.reserve(texts.size());
        for (const auto& text : texts) values.push_back(utf8_of(text));
        out.push_back({utf8_of(key), std::move(values)});
    }
    return out;
}

}  // namespace

std::string ape_item_name(const TagLib::String& key) {
    static const std::pair<const char*, const char*> renamed[] = {
        {"TRACK", "TRACKNUMBER"},   {"YEAR", "DATE"},
        {"ALBUM ARTIST", "ALBUMARTIST"}, {"DISC", "DISCNUMBER"},
        {"MIXARTIST", "REMIXER"},   {"MUSICBRAINZ_ALBUMSTATUS", "RELEASESTATUS"},
        {"MUSICBRAINZ_ALBUMTYPE", "RELEASETYPE"},
    };
    std::string name = utf8_of(key.upper());
    for (const auto& [ape, common] : renamed) {
        if (name == ape) return common;
    }
    return name;
}

std::vector<tag_field> read_file_tags(TagLib::File& file) {
    for (TagLib::Tag* tag : tags_in_reading_order(file)) {
        if (tag == nullptr || tag->isEmpty()) continue;
        if (const auto* xiph = dynamic_cast<const TagLib::Ogg::XiphComment*>(tag)) return fields_of_map(xiph->fieldListMap());
        tag_collector tags;
        if (const auto* id3v2 = dynamic_cast<const TagLib::ID3v2::Tag*>(tag))
            collect_id3v2_tags(*id3v2, tags);
        else if (const auto* ape = dynamic_cast<const TagLib::APE::Tag*>(tag))
            collect_ape_tags(*ape, tags);
        else if (const auto* mp4 = dynamic_cast<const TagLib::MP4::Tag*>(tag))
            collect_mp4_tags(*mp4, tags);
        else
            break;  // ID3v1, RIFF INFO: TagLib's own properties, small as those tags are
        return tags.take();
    }
    return fields_of_map(file.properties());
}

}  // namespace host
