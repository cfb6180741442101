// Audio files as a track source, end to end: a short tone per format, made at test time with the
// Debian encoders and tagged through TagLib, read back into track entries.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <apetag.h>
#include <commentsframe.h>
#include <fileref.h>
#include <flacfile.h>
#include <id3v2tag.h>
#include <mp4file.h>
#include <mp4item.h>
#include <mp4tag.h>
#include <mpegfile.h>
#include <podcastframe.h>
#include <textidentificationframe.h>
#include <tpropertymap.h>
#include <uniquefileidentifierframe.h>
#include <wavfile.h>
#include <wavpackfile.h>
#include <xiphcomment.h>

#include "host/audio_file_listing.h"
#include "host/audio_file_source.h"
#include "host/file_tags.h"
#include "host/taglib_text.h"
#include "host/natural_order.h"
#include "host/replaygain_text.h"
#include "scratch_dir.h"
#include "tests/host/track_info_text.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t tone_rate = 44100;
constexpr std::uint32_t tone_frames = 44123;  // not a whole number of milliseconds

void put_le(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 16-bit stereo PCM WAV of a 440 Hz tone, written directly so the frame count is exact.
void write_tone_wav(const std::string& path, std::uint32_t frames = tone_frames) {
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t data_size = frames * 4;
    out.write("RIFF", 4);
    put_le(out, 36 + data_size, 4);
    out.write("WAVEfmt ", 8);
    put_le(out, 16, 4);
    put_le(out, 1, 2);  // PCM
    put_le(out, 2, 2);
    put_le(out, tone_rate, 4);
    put_le(out, tone_rate * 4, 4);
    put_le(out, 4, 2);
    put_le(out, 16, 2);
    out.write("data", 4);
    put_le(out, data_size, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * 3.141592653589793 * 440 * i / tone_rate));
        put_le(out, static_cast<std::uint16_t>(sample), 2);
        put_le(out, static_cast<std::uint16_t>(sample), 2);
    }
}

bool have_tool(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::string shell_quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TagLib::String utf8(const char* text) { return TagLib::String(text, TagLib::String::UTF8); }

TagLib::PropertyMap ordinary_tags() {
    TagLib::PropertyMap tags;
    TagLib::StringList artists;
    artists.append(utf8("First Artist"));
    artists.append(utf8("Second Artist"));
    tags.insert("ARTIST", artists);
    tags.insert("ALBUMARTIST", TagLib::StringList(utf8("Album Artíst")));
    tags.insert("TITLE", TagLib::StringList(utf8("Tone")));
    tags.insert("ALBUM", TagLib::StringList(utf8("Album")));
    return tags;
}

// Gains with and without the unit.
const std::vector<std::pair<const char*, const char*>> replaygain_tags = {
    {"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"},
    {"REPLAYGAIN_ALBUM_GAIN", "-7.25"},
    {"REPLAYGAIN_TRACK_PEAK", "0.98"},
    {"REPLAYGAIN_ALBUM_PEAK", "1.0"},
};

TagLib::PropertyMap all_tags() {
    TagLib::PropertyMap tags = ordinary_tags();
    for (const auto& [key, value] : replaygain_tags) tags.insert(key, TagLib::StringList(utf8(value)));
    return tags;
}

void tag_through_properties(const std::string& path, const TagLib::PropertyMap& tags) {
    TagLib::FileRef file(path.c_str());
    ASSERT_FALSE(file.isNull()) << path;
    EXPECT_TRUE(file.file()->setProperties(tags).isEmpty()) << path;
    ASSERT_TRUE(file.save()) << path;
}

enum class tagging { properties, mp3_ape, mp4_freeform };

void tag(const std::string& path, tagging how) {
    switch (how) {
        case tagging::properties: tag_through_properties(path, all_tags()); break;
        case tagging::mp3_ape: {
            TagLib::MPEG::File file(path.c_str());
            file.APETag(true)->setProperties(all_tags());
            ASSERT_TRUE(file.save(TagLib::MPEG::File::APE, TagLib::File::StripOthers));
            break;
        }
        case tagging::mp4_freeform: {
            // MP4 files keep ReplayGain in iTunes-style free-form items, in lower case as players write them.
            tag_through_properties(path, ordinary_tags());
            TagLib::MP4::File file(path.c_str());
            for (const auto& [key, value] : replaygain_tags) {
                std::string name = key;
                for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                file.tag()->setItem("----:com.apple.iTunes:" + name, TagLib::MP4::Item(TagLib::StringList(utf8(value))));
            }
            ASSERT_TRUE(file.save());
            break;
        }
    }
}

std::vector<std::string> info_names(const track_info& info) {
    std::vector<std::string> out;
    for (t_uint32 i = 0; i < info.info_count(); ++i) out.emplace_back(info.info_name(i));
    return out;
}

std::string info_value(const track_info& info, const char* name) {
    const t_uint32 i = info.find_info(name, vesk::length_up_to_nul);
    return i == vesk::index_not_found ? "<none>" : info.info_value(i);
}

std::string error_of(const std::function<void()>& run) {
    try {
        run();
    } catch (const host::input_error& error) {
        return error.what();
    }
    return "<no error>";
}

struct format_case {
    const char* name;
    const char* extension;
    const char* tool;     // the encoder; nullptr when the tone is used as it is
    const char* encode;   // shell command, {in} and {out} replaced
    tagging how;
    const char* codec;
    const char* sample_rate;
    bool lossless;        // a sample width is reported
    bool counts_frames;   // the length is exact
};

std::ostream& operator<<(std::ostream& out, const format_case& c) { return out << c.name; }

const format_case format_cases[] = {
    {"flac", "flac", "flac", "flac --silent --force -o {out} {in}", tagging::properties, "FLAC", "44100", true, true},
    {"wav", "wav", nullptr, nullptr, tagging::properties, "PCM", "44100", true, true},
    {"aiff", "aiff", "sox", "sox {in} {out}", tagging::properties, "PCM", "44100", true, true},
    {"wavpack", "wv", "wavpack", "wavpack -q -y {in} -o {out}", tagging::properties, "WavPack", "44100", true, true},
    {"vorbis", "ogg", "oggenc", "oggenc -Q -o {out} {in}", tagging::properties, "Vorbis", "44100", false, false},
    {"opus", "opus", "opusenc", "opusenc --quiet {in} {out}", tagging::properties, "Opus", "48000", false, false},
    {"mp3_id3v2", "mp3", "lame", "lame --quiet {in} {out}", tagging::properties, "MP3", "44100", false, false},
    {"mp3_ape", "mp3", "lame", "lame --quiet {in} {out}", tagging::mp3_ape, "MP3", "44100", false, false},
    {"m4a_aac", "m4a", "ffmpeg", "ffmpeg -loglevel error -y -i {in} -c:a aac {out}", tagging::mp4_freeform, "AAC",
     "44100", false, false},
    {"m4a_alac", "m4a", "ffmpeg", "ffmpeg -loglevel error -y -i {in} -c:a alac {out}", tagging::mp4_freeform, "ALAC",
     "44100", true, false},
};

class audio_format : public ::testing::TestWithParam<format_case> {};

std::string replaced(std::string text, const std::string& what, const std::string& with) {
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// The tone as a file of that extension, through the encoder's shell command when there is one.
std::string tone_file(const test_support::scratch_dir& dir, const char* extension, const char* encode) {
    const std::string tone = dir / "tone.wav";
    const std::string file = dir / (std::string("track.") + extension);
    write_tone_wav(encode != nullptr ? tone : file);
    if (encode != nullptr) {
        const std::string command = replaced(replaced(encode, "{in}", shell_quoted(tone)), "{out}", shell_quoted(file));
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return file;
}

TEST_P(audio_format, tags_replaygain_length_and_technical_information_are_read) {
    const format_case& c = GetParam();
    if (c.tool != nullptr && !have_tool(c.tool)) GTEST_SKIP() << c.tool << " is not installed";
    test_support::scratch_dir dir;
    const std::string file = tone_file(dir, c.extension, c.encode);
    tag(file, c.how);

    const host::track_entry entry = host::read_audio_file(file);
    EXPECT_EQ(entry.path, "file://" + file);
    EXPECT_FALSE(entry.info_missing);
    const auto& info = entry.info;
    EXPECT_EQ(fields_of(info), (std::vector<std::string>{"album=Album", "album artist=Album Artíst",
                                                          "artist=First Artist|Second Artist", "title=Tone"}));
    const replaygain_values rg = info.replaygain();
    EXPECT_EQ(rg.track_gain, -6.5f);
    EXPECT_EQ(rg.album_gain, -7.25f);
    EXPECT_EQ(rg.track_peak, 0.98f);
    EXPECT_EQ(rg.album_peak, 1.0f);

    if (c.counts_frames) {
        EXPECT_EQ(info.get_length(), 44123.0 / 44100.0);
    } else {
        // Whole milliseconds, as lossy formats report them (with their encoder's padding).
        EXPECT_NEAR(info.get_length(), 1.0, 0.1);
        EXPECT_EQ(std::round(info.get_length() * 1000) / 1000, info.get_length());
    }
    std::vector<std::string> names = {"samplerate", "channels", "bitspersample", "bitrate", "codec"};
    if (!c.lossless) names.erase(names.begin() + 2);
    EXPECT_EQ(info_names(info), names);
    EXPECT_EQ(info_value(info, "samplerate"), c.sample_rate);
    EXPECT_EQ(info_value(info, "channels"), "2");
    if (c.lossless) {
        EXPECT_EQ(info_value(info, "bitspersample"), "16");
    }
    EXPECT_GT(std::atoi(info_value(info, "bitrate").c_str()), 0);
    EXPECT_EQ(info_value(info, "codec"), c.codec);
}

INSTANTIATE_TEST_SUITE_P(formats, audio_format, ::testing::ValuesIn(format_cases),
                         [](const ::testing::TestParamInfo<format_case>& info) { return std::string(info.param.name); });

// Every kind of frame, item and field the host reads from a format's own map, with the cases
// TagLib names specially: translated and lower-case descriptions, names given by two frames,
// genre numbers, dates with a time, frames with no name, and names TagLib orders by UTF-16 units.
void fill_id3v2(TagLib::ID3v2::Tag& tag) {
    namespace id3 = TagLib::ID3v2;
    const std::vector<std::pair<const char*, std::vector<const char*>>> textual = {
        {"TITLE", {"Tone"}}, {"ARTIST", {"First", "Second"}}, {"ALBUMARTISTSORT", {"Sort"}}, {"COMMENT", {"Plain"}},
        {"COMMENT:NOTE", {"Noted"}}, {"LYRICS", {"La la"}}, {"LYRICS:VERSE", {"Verse"}}, {"URL", {"http://a"}},
        {"URL:SITE", {"http://b"}}, {"ARTISTWEBPAGE", {"http://c"}}, {"MUSICBRAINZ_ALBUMID", {"album-id"}},
        {"REPLAYGAIN_TRACK_GAIN", {"-6.50 dB"}}, {"MY TAG", {"one", "two"}}, {"MUSICBRAINZ_TRACKID", {"track-id"}},
        {"PODCASTURL", {"http://feed"}}, {"ORIGINALDATE", {"1999-01-02T03:04"}}};
    for (const auto& [key, values] : textual) {
        TagLib::StringList list;
        for (const char* value : values) list.append(utf8(value));
        tag.addFrame(id3::Frame::createTextualFrame(key, list));
    }
    const auto text_frame = [&](const char* id, std::vector<const char*> values) {
        auto* frame = new id3::TextIdentificationFrame(id, TagLib::String::UTF8);
        TagLib::StringList list;
        for (const char* value : values) list.append(utf8(value));
        frame->setText(list);
        tag.addFrame(frame);
    };
    text_frame("TCON", {"17", "Jazz", "300"});
    text_frame("TDRC", {"2020-05-06T12:30"});
    text_frame("TZZZ", {"no name"});
    text_frame("TIPL", {"PRODUCER", "P1,P2", "MIX", "M"});
    text_frame("TMCL", {"guitar", "G"});
    tag.addFrame(new id3::UserTextIdentificationFrame("artist", TagLib::StringList(utf8("Third"))));
    tag.addFrame(new id3::UserTextIdentificationFrame("", TagLib::StringList(utf8("nameless"))));
    tag.addFrame(new id3::UserTextIdentificationFrame(utf8("z\xEE\x80\x80"), TagLib::StringList(utf8("private use"))));
    tag.addFrame(new id3::UserTextIdentificationFrame(utf8("z\xF0\x9D\x84\x9E"), TagLib::StringList(utf8("clef"))));
    auto* comment = new id3::CommentsFrame(TagLib::String::UTF8);
    comment->setDescription("comment");
    comment->setText(utf8("Named like the name"));
    tag.addFrame(comment);
    tag.addFrame(new id3::UniqueFileIdentifierFrame("http://example.org", "other-id"));
    tag.addFrame(new id3::PodcastFrame());
}

void fill_ape(TagLib::APE::Tag& tag) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> items = {
        {"Title", {"Tone"}}, {"Track", {"3/12"}}, {"Year", {"2001"}}, {"Album Artist", {"AA"}}, {"DISC", {"1"}},
        {"MixArtist", {"R"}}, {"MUSICBRAINZ_ALBUMSTATUS", {"official"}}, {"MUSICBRAINZ_ALBUMTYPE", {"album"}},
        {"Artist", {"First", "Second"}}, {"REPLAYGAIN_ALBUM_PEAK", {"1.0"}}};
    for (const auto& [key, values] : items) {
        TagLib::StringList list;
        for (const char* value : values) list.append(utf8(value));
        tag.setItem(utf8(key), TagLib::APE::Item(utf8(key), list));
    }
    tag.setItem("Cover Art (Front)", TagLib::APE::Item("Cover Art (Front)", TagLib::ByteVector("picture"), true));
}

void fill_mp4(TagLib::MP4::Tag& tag) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> texts = {
        {"\xA9nam", {"Tone"}}, {"\xA9" "ART", {"First", "Second"}}, {"aART", {"AA"}}, {"\xA9" "day", {"2001"}},
        {"\xA9wrt", {"W"}}, {"soar", {"Sort"}}, {"----:com.apple.iTunes:MusicBrainz Album Id", {"album-id"}},
        {"----:com.apple.iTunes:replaygain_track_gain", {"-1 dB"}}, {"----:com.apple.iTunes:NOT KNOWN", {"x"}}};
    for (const auto& [atom, values] : texts) {
        TagLib::StringList list;
        for (const char* value : values) list.append(utf8(value));
        tag.setItem(TagLib::String(atom, TagLib::String::Latin1), TagLib::MP4::Item(list));
    }
    tag.setItem("trkn", TagLib::MP4::Item(3, 12));
    tag.setItem("disk", TagLib::MP4::Item(1, 0));
    tag.setItem("tmpo", TagLib::MP4::Item(120));
    tag.setItem("cpil", TagLib::MP4::Item(true));
}

void fill_xiph(TagLib::Ogg::XiphComment& comment) {
    for (const auto& [key, value] : {std::pair{"title", "Tone"}, {"ARTIST", "First"}, {"artist", "Second"},
                                     {"REPLAYGAIN_TRACK_GAIN", "-1 dB"}, {"Date", "2001"}, {"comment", "Plain"}})
        comment.addField(key, utf8(value), false);
}

std::vector<std::string> lines_of(const std::vector<host::tag_field>& tags) {
    std::vector<std::string> out;
    for (const auto& [name, values] : tags) {
        std::string line = name + "=";
        for (const auto& value : values) line += value + ";";
        out.push_back(line);
    }
    return out;
}

TEST(audio_file_source, tags_read_from_a_formats_own_map_are_those_of_taglibs_properties) {
    struct map_case {
        const char* name;
        const char* extension;
        const char* tool;
        const char* encode;
        std::function<void(const std::string&)> tag;
    };
    const auto mpeg_id3v2 = [](TagLib::ID3v2::Version version) {
        return [version](const std::string& path) {
            TagLib::MPEG::File file(path.c_str());
            fill_id3v2(*file.ID3v2Tag(true));
            EXPECT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version));
        };
    };
    const char* const lame = "lame --quiet {in} {out}";
    const map_case cases[] = {
        {"mp3 ID3v2.4", "mp3", "lame", lame, mpeg_id3v2(TagLib::ID3v2::v4)},
        {"mp3 ID3v2.3", "mp3", "lame", lame, mpeg_id3v2(TagLib::ID3v2::v3)},
        {"wav ID3v2", "wav", nullptr, nullptr, [](const std::string& path) {
             TagLib::RIFF::WAV::File file(path.c_str());
             fill_id3v2(*file.ID3v2Tag());
             EXPECT_TRUE(file.save());
         }},
        {"mp3 APE", "mp3", "lame", lame, [](const std::string& path) {
             TagLib::MPEG::File file(path.c_str());
             fill_ape(*file.APETag(true));
             EXPECT_TRUE(file.save(TagLib::MPEG::File::APE, TagLib::File::StripOthers));
         }},
        {"wavpack APE", "wv", "wavpack", "wavpack -q -y {in} -o {out}", [](const std::string& path) {
             TagLib::WavPack::File file(path.c_str());
             fill_ape(*file.APETag(true));
             EXPECT_TRUE(file.save());
         }},
        {"m4a MP4", "m4a", "ffmpeg", "ffmpeg -loglevel error -y -i {in} -c:a aac {out}", [](const std::string& path) {
             TagLib::MP4::File file(path.c_str());
             fill_mp4(*file.tag());
             EXPECT_TRUE(file.save());
         }},
        {"flac Xiph", "flac", "flac", "flac --silent --force -o {out} {in}", [](const std::string& path) {
             TagLib::FLAC::File file(path.c_str());
             fill_xiph(*file.xiphComment(true));
             EXPECT_TRUE(file.save());
         }},
    };
    for (const auto& c : cases) {
        if (c.tool != nullptr && !have_tool(c.tool)) continue;
        test_support::scratch_dir dir;
        const std::string path = tone_file(dir, c.extension, c.encode);
        c.tag(path);
        TagLib::FileRef file(path.c_str());
        ASSERT_FALSE(file.isNull()) << c.name;
        std::vector<host::tag_field> expected;
        for (const auto& [key, values] : file.file()->properties()) {
            expected.push_back({host::utf8_of(key), {}});
            for (const auto& value : values) expected.back().values.push_back(host::utf8_of(value));
        }
        EXPECT_GE(expected.size(), 5u) << c.name;
        EXPECT_EQ(lines_of(host::read_file_tags(*file.file())), lines_of(expected)) << c.name;
    }
}

TEST(audio_file_source, replaygain_that_does_not_parse_stays_not_set_and_is_no_field) {
    test_support::scratch_dir dir;
    const std::string file = dir / "odd.wav";
    write_tone_wav(file);
    TagLib::PropertyMap tags;
    tags.insert("TITLE", TagLib::StringList(utf8("Odd")));
    tags.insert("REPLAYGAIN_TRACK_GAIN", TagLib::StringList(utf8("loud")));
    tags.insert("REPLAYGAIN_ALBUM_PEAK", TagLib::StringList(utf8("0.5 dB")));
    tags.insert("REPLAYGAIN_ALBUM_GAIN", TagLib::StringList(utf8("+1.5 DB")));
    tag_through_properties(file, tags);
    const auto info = host::read_audio_file(file).info;
    EXPECT_EQ(fields_of(info), std::vector<std::string>{"title=Odd"});
    const replaygain_values rg = info.replaygain();
    EXPECT_EQ(rg.track_gain, replaygain_values::gain_not_set);
    EXPECT_EQ(rg.album_peak, replaygain_values::peak_not_set);
    EXPECT_EQ(rg.album_gain, 1.5f);
    EXPECT_EQ(rg.track_peak, replaygain_values::peak_not_set);
}

TEST(audio_file_source, replaygain_texts_parse_with_or_without_the_unit) {
    struct text_case {
        const char* text;
        std::optional<float> gain;
        std::optional<float> peak;
    };
    const std::vector<text_case> cases = {
        {"-6.50 dB", -6.5f, std::nullopt}, {"-6.50", -6.5f, -6.5f},    {" +2.1 db ", 2.1f, std::nullopt},
        {"-3dB", -3.0f, std::nullopt},     {"0.988", 0.988f, 0.988f},  {"1e-3", 0.001f, 0.001f},
        {"", std::nullopt, std::nullopt},  {"dB", std::nullopt, std::nullopt}, {"loud", std::nullopt, std::nullopt},
        {"-6.5 dBFS", std::nullopt, std::nullopt}, {"+-1", std::nullopt, std::nullopt}, {"1,5", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt}, {"inf dB", std::nullopt, std::nullopt}, {"1e39", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(host::parse_gain_text(c.text), c.gain) << '"' << c.text << '"';
        EXPECT_EQ(host::parse_peak_text(c.text), c.peak) << '"' << c.text << '"';
    }
}

// The host's own conversion must give TagLib's bytes for every character a tag can hold:
// one, two and three UTF-8 bytes, surrogate pairs, and texts mixing them.
TEST(audio_file_source, tag_texts_convert_to_the_same_utf8_as_taglib) {
    const auto encoded = [](unsigned c) {
        std::string s;
        const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        constexpr unsigned lead[] = {0x00, 0xC0, 0xE0, 0xF0};
        s += static_cast<char>(lead[tail] | (c >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k) s += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
        return s;
    };
    std::vector<TagLib::String> texts;
    for (unsigned c = 1; c < 0x110000; c += c < 0x1000 ? 1 : 61) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        texts.push_back(TagLib::String(encoded(c) + "x", TagLib::String::UTF8));
    }
    texts.push_back(TagLib::String("Zo\xC3\xAB \xE2\x99\xAA \xF0\x9D\x84\x9E end", TagLib::String::UTF8));
    texts.push_back(TagLib::String());
    std::size_t differ = 0;
    for (const auto& text : texts) differ += host::utf8_of(text) != text.to8Bit(true);
    EXPECT_EQ(differ, 0u);
    EXPECT_EQ(host::utf8_of(texts.back()), "");
    EXPECT_EQ(host::utf8_of(TagLib::String("\xC3\xA9", TagLib::String::UTF8)), "\xC3\xA9");
}

TEST(audio_file_source, names_compare_in_natural_order) {
    const std::vector<std::pair<const char*, const char*>> ordered = {
        {"2", "10"},        {"2 Intro.flac", "10 Outro.flac"}, {"disc1/9", "disc1/10"}, {"a", "B"},
        {"track9b", "Track10a"}, {"x", "x1"},                  {"01", "1"},             {"A", "a"},
        {"99999999999999999999998", "99999999999999999999999"},
    };
    for (const auto& [a, b] : ordered) {
        EXPECT_TRUE(host::natural_less(a, b)) << a << " < " << b;
        EXPECT_FALSE(host::natural_less(b, a)) << b << " < " << a;
    }
    EXPECT_FALSE(host::natural_less("same", "same"));
}

TEST(audio_file_source, a_directory_adds_its_audio_files_in_natural_order_and_arguments_keep_theirs) {
    test_support::scratch_dir dir;
    const fs::path album = dir.path() / "album";
    fs::create_directories(album / "sub");
    for (const char* name : {"10.wav", "2.wav", "1.WAV", ".hidden.wav", "sub/3.wav"}) write_tone_wav((album / name).string());
    test_support::write_file((album / "notes.txt").string(), "not audio");
    fs::create_directory(album / "4.wav");  // a directory, whatever its name
    const std::string single = dir / "single.wav";
    write_tone_wav(single, 4410);

    const auto listing = host::list_audio_files({single, album.string() + "/", single}, false);
    const std::string a = album.string() + "/";
    EXPECT_EQ(listing.files, (std::vector<std::string>{single, a + "1.WAV", a + "2.wav", a + "10.wav", single}));
    EXPECT_TRUE(listing.unreadable.empty());
    EXPECT_TRUE(listing.not_followed.empty());
    EXPECT_EQ(host::read_audio_file(single).info.get_length(), 0.1);
    EXPECT_TRUE(host::has_audio_extension("x.FLAC"));
    EXPECT_FALSE(host::has_audio_extension("flac"));
}

// Losers keep their own names, or drop out when those are taken; a user's mapping comes first.
TEST(audio_file_source, tag_names_give_each_field_from_its_first_source) {
    struct name_case {
        std::vector<const char*> tags;
        std::vector<std::pair<const char*, const char*>> user;
        std::vector<std::string> fields;
    };
    const name_case cases[] = {
        {{"Title", "COMPOSER", "ALBUMARTIST", "BARCODE"}, {}, {"title", "songwriter", "album artist", "catalog"}},
        {{"COMPOSER", "SONGWRITER", "BARCODE", "CATALOGNUMBER"}, {}, {"composer", "songwriter", "barcode", "catalog"}},
        {{"album_artist", "ALBUM ARTIST", "\xc2\xa9WRT", "TCOM"}, {}, {"album_artist", "album artist", "\xc2\xa9wrt", "songwriter"}},
        {{"COMPOSER", "LABEL"}, {{"label", "Songwriter"}, {"composer", "composer"}}, {"composer", "Songwriter"}},
        {{"TITLE", "ALBUM"}, {{"TITLE", "album"}}, {"album"}},
    };
    for (const auto& c : cases) {
        host::tag_names names;
        for (const auto& [tag, field] : c.user) names.map(tag, field);
        std::vector<host::tag_field> tags;
        for (const char* tag : c.tags) tags.push_back({tag, {"v"}});
        std::vector<std::string> fields;
        for (const auto& field : names.fields_of(tags)) fields.push_back(field.name);
        EXPECT_EQ(fields, c.fields) << c.tags.front();
    }
}

TEST(audio_file_source, relative_paths_become_absolute_without_dot_steps) {
    test_support::scratch_dir dir;
    write_tone_wav(dir / "t.wav");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const std::string path = host::read_audio_file("./t.wav").path;
    fs::current_path(before);
    EXPECT_EQ(path, "file://" + dir.path().string() + "/t.wav");
}

TEST(audio_file_source, input_that_cannot_be_read_is_an_error_naming_it) {
    test_support::scratch_dir dir;
    const std::string broken = dir / "broken.flac";
    test_support::write_file(broken, "this is not a FLAC stream at all");
    const std::string text = dir / "notes.txt";
    test_support::write_file(text, "plain text");
    const std::string missing = dir / "missing.wav";
    const std::string good = dir / "good.wav";
    write_tone_wav(good);

    EXPECT_EQ(error_of([&] { host::read_audio_file(broken); }), broken + ": not an audio file that can be read");
    EXPECT_EQ(error_of([&] { host::read_audio_file(text); }), text + ": not an audio file that can be read");
    EXPECT_EQ(error_of([&] { host::read_audio_file(missing); }), missing + ": No such file or directory");
    EXPECT_EQ(error_of([&] { host::read_audio_file(dir.path().string()); }),
              dir.path().string() + ": is a directory, not an audio file");
    // Things that are no regular file, refused before opening them: a FIFO would wait for a writer.
    const std::string fifo = dir / "fifo.flac";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(error_of([&] { host::read_audio_file(fifo); }), fifo + ": is not a regular file");
    const std::string socket_path = dir / "socket.flac";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socket_path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socket_path.c_str(), socket_path.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(error_of([&] { host::read_audio_file(socket_path); }), socket_path + ": is not a regular file");
    ::close(sock);
    // Listing names every missing argument and goes on.
    const auto listing = host::list_audio_files({missing, good, missing + "2"}, true);
    EXPECT_EQ(listing.files, std::vector<std::string>{good});
    EXPECT_EQ(listing.unreadable, (std::vector<std::string>{missing + ": No such file or directory",
                                                            missing + "2: No such file or directory"}));
}

// Files TagLib opens by their extension but which hold no audio frame, or only part of their last
// Ogg page, are refused like any other unreadable input.
TEST(audio_file_source, files_without_whole_audio_are_not_audio_files) {
    test_support::scratch_dir dir;
    const std::string tone = dir / "tone.wav";
    write_tone_wav(tone);
    std::string noise;
    for (unsigned i = 0, x = 12345; i < 5000; ++i) noise += static_cast<char>((x = x * 1103515245 + 12345) >> 16);
    struct row {
        const char* name;
        std::string bytes;       // written as they are, when encode is null
        const char* encode;      // else: the tone encoded, then cut to half its size
    };
    const row rows[] = {
        {"empty.mp3", "", nullptr},
        {"noise.mp3", noise, nullptr},
        {"empty.wv", "", nullptr},
        {"noise.wav", "RIFF" + noise, nullptr},
        {"cut.ogg", "", "oggenc -Q -o {out} {in}"},
        {"cut.opus", "", "opusenc --quiet {in} {out}"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string file = dir / r.name;
        if (r.encode == nullptr) {
            test_support::write_file(file, r.bytes);
        } else {
            const std::string command = replaced(replaced(r.encode, "{in}", shell_quoted(tone)), "{out}", shell_quoted(file));
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            EXPECT_NO_THROW(host::read_audio_file(file));
            fs::resize_file(file, fs::file_size(file) / 2);
        }
        EXPECT_EQ(error_of([&] { host::read_audio_file(file); }), file + ": not an audio file that can be read");
    }
}

// Permissions do not stop root, so the reading runs in a child process as an unprivileged user,
// which reports the message on standard error.
TEST(audio_file_source, a_file_without_read_permission_is_an_error_with_the_system_reason) {
    test_support::scratch_dir dir;
    const std::string locked = dir / "locked.wav";
    write_tone_wav(locked);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
            std::fprintf(stderr, "%s\n", error_of([&] { host::read_audio_file(locked); }).c_str());
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "locked\\.wav: Permission denied");
}

}  // namespace
