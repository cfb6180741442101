// Tiny real audio files for the tests: sine tones of an exact number of sample frames, encoded by
// the format's own encoder with tags set through it.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace cli_test {

struct tone {
    std::size_t frames = 44100;  // sample frames
    int rate = 44100;
    double frequency = 440.0;
};

// Tag names as Vorbis comments spell them (TITLE, ARTIST, ALBUM, GENRE, REPLAYGAIN_TRACK_GAIN...);
// a name may repeat. Each format's encoder gets them in its own way (MP3: ID3v2 frames such as
// TCOM and TPE2 where the name has one, TXXX otherwise; M4A: atoms such as ©wrt and aART where
// ffmpeg writes one, iTunes free-form items otherwise); formats whose encoder keeps one value of a
// name keep the first.
using tag_list = std::vector<std::pair<std::string, std::string>>;

// CD audio (16-bit stereo) WAV without tags, written by sox.
void make_wav(const std::string& path, const tone& sound);

// The format follows the extension: flac, ogg, opus, mp3, m4a, wav, aiff, wv. scratch is a folder
// for intermediate files.
void make_tagged_audio(const std::string& path, const tone& sound, const tag_list& tags, const std::string& scratch);

// The 16-bit samples of an audio file, as sox decodes them.
std::string decoded_samples(const std::string& path);

}  // namespace cli_test
