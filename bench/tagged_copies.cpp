// Makes the benchmark's audio files: copies of one short recording, each tagged as one track of
// an album with TagLib (much quicker than a tagging tool per file).
//
//   tagged_copies SOURCE DIRECTORY COUNT    writes DIRECTORY/0001.EXT ... with EXT of SOURCE

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fileref.h>
#include <tpropertymap.h>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tagged_copies SOURCE DIRECTORY COUNT\n");
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path directory = argv[2];
    const int count = std::atoi(argv[3]);
    fs::create_directories(directory);
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%04d", i);
        const fs::path target = directory / (name + source.extension().string());
        fs::copy_file(source, target, fs::copy_options::overwrite_existing);
        TagLib::FileRef file(target.c_str(), false);
        if (file.isNull()) {
            std::fprintf(stderr, "%s: not an audio file\n", target.c_str());
            return 1;
        }
        const int album = (i - 1) / 12;
        TagLib::PropertyMap tags;
        tags["ARTIST"] = TagLib::String("Artist " + std::to_string(album), TagLib::String::UTF8);
        tags["ALBUMARTIST"] = TagLib::String("Album Artist " + std::to_string(album), TagLib::String::UTF8);
        tags["ALBUM"] = TagLib::String("Album " + std::to_string(album), TagLib::String::UTF8);
        tags["TITLE"] = TagLib::String("Song number " + std::to_string(i), TagLib::String::UTF8);
        tags["DATE"] = TagLib::String(std::to_string(1970 + album % 50), TagLib::String::UTF8);
        tags["GENRE"] = TagLib::String("Rock", TagLib::String::UTF8);
        tags["TRACKNUMBER"] = TagLib::String(std::to_string((i - 1) % 12 + 1), TagLib::String::UTF8);
        tags["REPLAYGAIN_TRACK_GAIN"] = TagLib::String("-6.50 dB", TagLib::String::UTF8);
        tags["REPLAYGAIN_TRACK_PEAK"] = TagLib::String("0.980000", TagLib::String::UTF8);
        tags["REPLAYGAIN_ALBUM_GAIN"] = TagLib::String("-7.25 dB", TagLib::String::UTF8);
        tags["REPLAYGAIN_ALBUM_PEAK"] = TagLib::String("1.000000", TagLib::String::UTF8);
        file.file()->setProperties(tags);
        if (!file.save()) {
            std::fprintf(stderr, "%s: cannot be saved\n", target.c_str());
            return 1;
        }
    }
    return 0;
}
