// The floor an audio-file run is measured against: the same files opened with TagLib's FileRef,
// their tags read and their audio properties asked, nothing else.
//
//   taglib_floor FILE...    prints how many files it read

#include <cstdio>
#include <string>

#include <fileref.h>
#include <tag.h>

int main(int argc, char** argv) {
    std::size_t read = 0;
    std::size_t bytes = 0;  // used, so the reads are not optimised away
    for (int i = 1; i < argc; ++i) {
        const TagLib::FileRef file(argv[i], true, TagLib::AudioProperties::Average);
        if (file.isNull()) continue;
        if (const TagLib::Tag* tag = file.tag()) {
            bytes += tag->title().to8Bit(true).size() + tag->artist().to8Bit(true).size() +
                     tag->album().to8Bit(true).size() + tag->genre().to8Bit(true).size() +
                     tag->comment().to8Bit(true).size() + tag->year() + tag->track();
        }
        if (const TagLib::AudioProperties* properties = file.audioProperties())
            bytes += static_cast<std::size_t>(properties->lengthInMilliseconds() + properties->bitrate() +
                                              properties->sampleRate() + properties->channels());
        ++read;
    }
    std::printf("%zu files (%zu)\n", read, bytes);
    return read == static_cast<std::size_t>(argc - 1) ? 0 : 1;
}
