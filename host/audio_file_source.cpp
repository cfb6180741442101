#include "host/audio_file_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <system_error>
#include <unistd.h>

// Only what both TagLib 1.13 and 2.x offer: FileRef, File::properties(), the Xiph comment's field
// map, ID3v2 frames, MP4 and APE items, audioProperties() and the format-specific properties
// classes (each file header brings its properties class).
#include <aifffile.h>
#include <apefile.h>
#include <asffile.h>
#include <fileref.h>
#include <flacfile.h>
#include <mp4file.h>
#include <mp4item.h>
#include <mp4tag.h>
#include <mpcfile.h>
#include <mpegfile.h>
#include <oggfile.h>
#include <opusfile.h>
#include <speexfile.h>
#include <tfilestream.h>
#include <trueaudiofile.h>
#include <vorbisfile.h>
#include <wavfile.h>
#include <wavpackfile.h>

#include "host/audio_presence.h"
#include "host/comment_keeping_stream.h"
#include "host/file_tags.h"
#include "host/raw_tags.h"
#include "host/replaygain_text.h"
#include "host/taglib_text.h"

namespace host {

namespace {

namespace fs = std::filesystem;

std::string utf8(const TagLib::String& text) { return utf8_of(text); }

// Tag keys are ASCII; anything else is left as it is.
std::string ascii_lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string ascii_upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

enum class replaygain_slot { none, album_gain, track_gain, album_peak, track_peak };

replaygain_slot replaygain_slot_of(const std::string& upper_key) {
    if (upper_key == "REPLAYGAIN_ALBUM_GAIN") return replaygain_slot::album_gain;
    if (upper_key == "REPLAYGAIN_TRACK_GAIN") return replaygain_slot::track_gain;
    if (upper_key == "REPLAYGAIN_ALBUM_PEAK") return replaygain_slot::album_peak;
    if (upper_key == "REPLAYGAIN_TRACK_PEAK") return replaygain_slot::track_peak;
    return replaygain_slot::none;
}

// A value that does not parse leaves the slot not set rather than inventing a number.
void store_replaygain(replaygain_values& values, replaygain_slot slot, const std::string& text) {
    const bool gain = slot == replaygain_slot::album_gain || slot == replaygain_slot::track_gain;
    const std::optional<float> value = gain ? parse_gain_text(text) : parse_peak_text(text);
    if (!value) return;
    switch (slot) {
        case replaygain_slot::album_gain: values.album_gain = *value; break;
        case replaygain_slot::track_gain: values.track_gain = *value; break;
        case replaygain_slot::album_peak: values.album_peak = *value; break;
        case replaygain_slot::track_peak: values.track_peak = *value; break;
        case replaygain_slot::none: break;
    }
}

// TagLib 1.13 leaves iTunes-style free-form items out of an MP4 file's properties, which is where
// MP4 files keep their ReplayGain; read those directly unless the properties had them already.
void read_mp4_replaygain(TagLib::File& file, replaygain_values& values, const std::vector<replaygain_slot>& seen) {
    auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file);
    if (mp4 == nullptr || mp4->tag() == nullptr) return;
    static const std::string prefix = "----:com.apple.iTunes:";
    for (const auto& [key, item] : mp4->tag()->itemMap()) {
        const std::string name = utf8(key);
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const replaygain_slot slot = replaygain_slot_of(ascii_upper(name.substr(prefix.size())));
        if (slot == replaygain_slot::none || std::find(seen.begin(), seen.end(), slot) != seen.end()) continue;
        const TagLib::StringList texts = item.toStringList();
        if (!texts.isEmpty()) store_replaygain(values, slot, utf8(texts.front()));
    }
}

// Values that are not valid UTF-8 come back mended (TagLib drops them), with a warning each.
void add_mended_tags(TagLib::File& file, TagLib::IOStream& stream, const std::string& path, std::vector<tag_field>& tags,
                     std::vector<std::string>& warnings) {
    std::vector<mended_tag> mended = mended_vorbis_comments(file, stream);
    if (mended.empty()) mended = mended_id3v2_texts(file, stream);
    if (mended.empty()) mended = mended_ape_items(file, stream);
    for (mended_tag& tag : mended) {
        if (replaygain_slot_of(tag.key) != replaygain_slot::none) continue;
        warnings.push_back(path + ": the " + tag.key + " tag is not valid UTF-8; each bad byte is kept as U+FFFD");
        const auto same = std::find_if(tags.begin(), tags.end(), [&](const tag_field& t) { return t.name == tag.key; });
        if (same != tags.end())
            same->values = std::move(tag.values);
        else
            tags.push_back({tag.key, std::move(tag.values)});
    }
}

// Every tag under its name, except the ReplayGain tags, which fill their slots instead.
void read_tags(TagLib::File& file, TagLib::IOStream& stream, const std::string& path, const tag_names& names,
               track_entry& entry) {
    replaygain_values replaygain;
    std::vector<replaygain_slot> seen;
    std::vector<tag_field> tags = read_file_tags(file);
    const auto replaygain_tag = [&](const tag_field& tag) {
        const replaygain_slot slot = replaygain_slot_of(tag.name);
        if (slot == replaygain_slot::none) return false;
        seen.push_back(slot);
        if (!tag.values.empty()) store_replaygain(replaygain, slot, tag.values.front());
        return true;
    };
    tags.erase(std::remove_if(tags.begin(), tags.end(), replaygain_tag), tags.end());
    add_mended_tags(file, stream, path, tags, entry.warnings);
    host_track_info& info = entry.info;
    for (auto& field : names.fields_of(std::move(tags))) info.add_field(std::move(field.name), std::move(field.values));
    read_mp4_replaygain(file, replaygain, seen);
    info.set_replaygain(replaygain);
}

// What the generic audio properties do not tell: the frame count where the format keeps one
// (the only exact length), the sample width and the codec's name.
struct technical_details {
    std::optional<std::uint64_t> sample_frames;
    int bits_per_sample = 0;
    std::string codec;
};

std::string wav_codec(int format) {
    // 1 integer PCM, 3 floating-point PCM, 0xFFFE the extensible header around either.
    return (format == 1 || format == 3 || format == 0xFFFE) ? "PCM" : std::string();
}

std::string aiff_codec(const TagLib::RIFF::AIFF::Properties& p) {
    if (!p.isAiffC()) return "PCM";
    const TagLib::ByteVector type = p.compressionType();
    if (type == TagLib::ByteVector("NONE") || type == TagLib::ByteVector("sowt")) return "PCM";
    return utf8(p.compressionName());
}

std::string mpeg_codec(int layer) {
    switch (layer) {
        case 1: return "MP1";
        case 2: return "MP2";
        case 3: return "MP3";
        default: return {};
    }
}

technical_details technical_details_of(TagLib::File& file, const TagLib::AudioProperties& properties) {
    technical_details d;
    const auto* p = &properties;
    if (const auto* flac = dynamic_cast<const TagLib::FLAC::Properties*>(p)) {
        d = {flac->sampleFrames(), flac->bitsPerSample(), "FLAC"};
    } else if (const auto* wav = dynamic_cast<const TagLib::RIFF::WAV::Properties*>(p)) {
        d = {wav->sampleFrames(), wav->bitsPerSample(), wav_codec(wav->format())};
    } else if (const auto* aiff = dynamic_cast<const TagLib::RIFF::AIFF::Properties*>(p)) {
        d = {aiff->sampleFrames(), aiff->bitsPerSample(), aiff_codec(*aiff)};
    } else if (const auto* wavpack = dynamic_cast<const TagLib::WavPack::Properties*>(p)) {
        d = {wavpack->sampleFrames(), wavpack->bitsPerSample(), "WavPack"};
    } else if (const auto* ape = dynamic_cast<const TagLib::APE::Properties*>(p)) {
        d = {ape->sampleFrames(), ape->bitsPerSample(), "Monkey's Audio"};
    } else if (const auto* tta = dynamic_cast<const TagLib::TrueAudio::Properties*>(p)) {
        d = {tta->sampleFrames(), tta->bitsPerSample(), "TTA"};
    } else if (const auto* mpc = dynamic_cast<const TagLib::MPC::Properties*>(p)) {
        d = {mpc->sampleFrames(), 0, "Musepack"};
    } else if (const auto* mp4 = dynamic_cast<const TagLib::MP4::Properties*>(p)) {
        // A sample width means something for the lossless codec only.
        if (mp4->codec() == TagLib::MP4::Properties::ALAC) d = {std::nullopt, mp4->bitsPerSample(), "ALAC"};
        if (mp4->codec() == TagLib::MP4::Properties::AAC) d.codec = "AAC";
    } else if (const auto* mpeg = dynamic_cast<const TagLib::MPEG::Properties*>(p)) {
        d.codec = mpeg_codec(mpeg->layer());
    } else if (const auto* asf = dynamic_cast<const TagLib::ASF::Properties*>(p)) {
        d.codec = utf8(asf->codecName());
    } else if (dynamic_cast<const TagLib::Ogg::Vorbis::File*>(&file) != nullptr) {
        // The Vorbis properties class changed namespace between TagLib versions; the file did not.
        d.codec = "Vorbis";
    } else if (dynamic_cast<const TagLib::Ogg::Opus::File*>(&file) != nullptr) {
        d.codec = "Opus";
    } else if (dynamic_cast<const TagLib::Ogg::Speex::File*>(&file) != nullptr) {
        d.codec = "Speex";
    }
    return d;
}

void read_audio_properties(TagLib::File& file, const TagLib::AudioProperties& properties, host_track_info& info) {
    const technical_details details = technical_details_of(file, properties);
    const int sample_rate = properties.sampleRate();
    if (details.sample_frames && *details.sample_frames > 0 && sample_rate > 0) {
        info.set_length(static_cast<double>(*details.sample_frames) / static_cast<double>(sample_rate));
    } else {
        info.set_length(properties.lengthInMilliseconds() / 1000.0);
    }
    if (sample_rate > 0) info.add_info("samplerate", std::to_string(sample_rate));
    if (properties.channels() > 0) info.add_info("channels", std::to_string(properties.channels()));
    if (details.bits_per_sample > 0) info.add_info("bitspersample", std::to_string(details.bits_per_sample));
    if (properties.bitrate() > 0) info.add_info("bitrate", std::to_string(properties.bitrate()));
    if (!details.codec.empty()) info.add_info("codec", details.codec);
}

// Absolute, with "." steps and doubled separators dropped; ".." stays, since through a symbolic
// link it does not simply cancel the step before it.
std::string absolute_path(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute.front() != '/') {
        std::error_code error;
        absolute = fs::absolute(path, error).string();
        if (error) throw system_input_error(path, error);
    }
    std::string cleaned;
    cleaned.reserve(absolute.size());
    for (std::size_t at = 0; at < absolute.size();) {
        const std::size_t end = std::min(absolute.find('/', at), absolute.size());
        const std::string_view step(absolute.data() + at, end - at);
        if (!step.empty() && step != ".") {
            cleaned += '/';
            cleaned += step;
        }
        at = end + 1;
    }
    return cleaned.empty() ? "/" : cleaned;
}

const std::vector<std::string>& audio_extensions() {
    static const std::vector<std::string> extensions = [] {
        std::vector<std::string> lower;
        for (const auto& extension : TagLib::FileRef::defaultFileExtensions())
            lower.push_back(ascii_lower(utf8(extension)));
        return lower;
    }();
    return extensions;
}

}  // namespace

bool has_audio_extension(std::string_view file_name) {
    const auto dot = file_name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == file_name.size()) return false;
    const std::string extension = ascii_lower(std::string(file_name.substr(dot + 1)));
    const auto& known = audio_extensions();
    return std::find(known.begin(), known.end(), extension) != known.end();
}

track_entry read_audio_file(const std::string& path, const tag_names& names) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status))
        throw error ? system_input_error(path, error) : input_error(path, "No such file or directory");
    if (fs::is_directory(status)) throw input_error(path, "is a directory, not an audio file");
    // Opening a FIFO would wait for a writer forever; a socket or device holds no audio file either.
    if (!fs::is_regular_file(status)) throw input_error(path, "is not a regular file");

    track_entry entry;
    entry.path = "file://" + absolute_path(path);
    // The stream is read-only so that reading never touches the file, even where writing is allowed.
    comment_keeping_stream stream(path.c_str());
    if (!stream.isOpen()) {
        // TagLib does not say why (mostly: no permission); opening the file here does. When it
        // opens here, what failed was TagLib's own allocation.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw system_input_error(path, errno);
        ::close(fd);
        throw std::bad_alloc();
    }
    TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Average);
    if (file.isNull() || !holds_readable_audio(*file.file(), stream))
        throw input_error(path, "not an audio file that can be read");
    read_tags(*file.file(), stream, path, names, entry);
    if (const TagLib::AudioProperties* properties = file.audioProperties())
        read_audio_properties(*file.file(), *properties, entry.info);
    return entry;
}

}  // namespace host
