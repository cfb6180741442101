#include "tests/cli/audio_maker.h"

#include <filesystem>
#include <stdexcept>

#include <mp4file.h>
#include <mp4item.h>
#include <mp4tag.h>

#include "tests/cli/program_run.h"

namespace cli_test {

namespace {

std::string extension_of(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    return extension.empty() ? extension : extension.substr(1);
}

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool seen_before(const tag_list& tags, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i) {
        if (tags[i].first == tags[index].first) return true;
    }
    return false;
}

// Tags with an ID3v2 frame of their own get that frame; the rest become TXXX frames.
std::vector<std::string> lame_arguments(const tag_list& tags) {
    std::vector<std::string> arguments{"--id3v2-only"};
    const std::pair<const char*, const char*> own_options[] = {
        {"TITLE", "--tt"}, {"ARTIST", "--ta"}, {"ALBUM", "--tl"}, {"GENRE", "--tg"}, {"DATE", "--ty"}};
    const std::pair<const char*, const char*> own_frames[] = {
        {"COMPOSER", "TCOM"}, {"ALBUMARTIST", "TPE2"}, {"DISCNUMBER", "TPOS"}, {"TRACKNUMBER", "TRCK"}};
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (seen_before(tags, i)) continue;
        const auto& [key, value] = tags[i];
        std::vector<std::string> own;
        for (const auto& [name, option] : own_options) {
            if (key == name) own = {option, value};
        }
        for (const auto& [name, frame] : own_frames) {
            if (key == name) own = {"--tv", std::string(frame) + "=" + value};
        }
        if (own.empty()) own = {"--tv", "TXXX=" + key + "=" + value};
        arguments.insert(arguments.end(), own.begin(), own.end());
    }
    return arguments;
}

// The names ffmpeg writes into an MP4 file's own atoms; other tags become iTunes-style free-form
// items, written with TagLib since ffmpeg leaves them out.
const std::pair<const char*, const char*> mp4_atom_names[] = {
    {"TITLE", "title"},     {"ARTIST", "artist"},           {"ALBUM", "album"},       {"GENRE", "genre"},
    {"DATE", "date"},       {"COMMENT", "comment"},         {"COMPOSER", "composer"}, {"ALBUMARTIST", "album_artist"},
    {"album_artist", "album_artist"}, {"DISCNUMBER", "disc"}, {"TRACKNUMBER", "track"}};

const char* mp4_atom_name(const std::string& key) {
    for (const auto& [name, atom] : mp4_atom_names) {
        if (key == name) return atom;
    }
    return nullptr;
}

void add_mp4_freeform_items(const std::string& path, const tag_list& tags) {
    TagLib::MP4::File file(path.c_str());
    bool added = false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (seen_before(tags, i) || mp4_atom_name(tags[i].first) != nullptr) continue;
        const TagLib::String value(tags[i].second, TagLib::String::UTF8);
        file.tag()->setItem("----:com.apple.iTunes:" + tags[i].first, TagLib::MP4::Item(TagLib::StringList(value)));
        added = true;
    }
    if (added && !file.save()) throw std::runtime_error("cannot add free-form items to " + path);
}

std::vector<std::string> ffmpeg_metadata(const tag_list& tags, bool mp4) {
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (seen_before(tags, i)) continue;
        const char* atom = mp4 ? mp4_atom_name(tags[i].first) : nullptr;
        if (mp4 && atom == nullptr) continue;
        arguments.insert(arguments.end(), {"-metadata", (atom != nullptr ? atom : lower(tags[i].first)) + "=" + tags[i].second});
    }
    return arguments;
}

}  // namespace

void make_wav(const std::string& path, const tone& sound) {
    run_tool({"sox", "-q", "-r", std::to_string(sound.rate), "-c", "2", "-n", "-b", "16", path, "synth",
              std::to_string(sound.frames) + "s", "sine", std::to_string(sound.frequency), "gain", "-6"});
}

void make_tagged_audio(const std::string& path, const tone& sound, const tag_list& tags, const std::string& scratch) {
    const std::string source = (std::filesystem::path(scratch) / ("source-" + std::filesystem::path(path).filename().string() + ".wav")).string();
    make_wav(source, sound);
    const std::string format = extension_of(path);
    std::vector<std::string> argv;
    if (format == "flac") {
        argv = {"flac", "--silent", "--force", "-o", path};
        for (const auto& [key, value] : tags) argv.insert(argv.end(), {"-T", key + "=" + value});
        argv.push_back(source);
    } else if (format == "ogg") {
        argv = {"oggenc", "-Q", "-o", path};
        for (const auto& [key, value] : tags) argv.insert(argv.end(), {"-c", key + "=" + value});
        argv.push_back(source);
    } else if (format == "opus") {
        argv = {"opusenc", "--quiet"};
        for (const auto& [key, value] : tags) argv.insert(argv.end(), {"--comment", key + "=" + value});
        argv.insert(argv.end(), {source, path});
    } else if (format == "mp3") {
        argv = {"lame", "--quiet"};
        const auto tag_arguments = lame_arguments(tags);
        argv.insert(argv.end(), tag_arguments.begin(), tag_arguments.end());
        argv.insert(argv.end(), {source, path});
    } else if (format == "m4a" || format == "wav" || format == "aiff") {
        argv = {"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", source};
        const auto metadata = ffmpeg_metadata(tags, format == "m4a");
        argv.insert(argv.end(), metadata.begin(), metadata.end());
        if (format == "m4a") argv.insert(argv.end(), {"-c:a", "aac"});
        if (format == "wav") argv.insert(argv.end(), {"-c:a", "copy"});
        if (format == "aiff") argv.insert(argv.end(), {"-write_id3v2", "1"});
        argv.push_back(path);
    } else if (format == "wv") {
        argv = {"wavpack", "-q", "-y"};
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (!seen_before(tags, i)) argv.insert(argv.end(), {"-w", tags[i].first + "=" + tags[i].second});
        }
        argv.insert(argv.end(), {source, "-o", path});
    } else {
        throw std::invalid_argument("no encoder for " + path);
    }
    run_tool(argv);
    if (format == "m4a") add_mp4_freeform_items(path, tags);
    std::filesystem::remove(source);
}

std::string decoded_samples(const std::string& path) {
    return run_tool({"sox", path, "-t", "raw", "-e", "signed", "-b", "16", "-"});
}

}  // namespace cli_test
