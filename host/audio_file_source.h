// Audio files as a track source: tags, ReplayGain and technical information read with TagLib.
// Files are opened read-only and their audio is never decoded.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/track_source.h"

namespace host {

// Called after each file has been read.
using read_progress = std::function<void(std::size_t done, std::size_t total)>;

// The files the arguments name, in order. A directory stands for its audio files (by extension),
// in natural name order and without descending into subdirectories. A path that does not exist
// or a directory that cannot be listed is an input_error naming it.
std::vector<std::string> audio_file_paths(const std::vector<std::string>& arguments);

// One file's entry: "file://" plus its absolute path, every tag as a field (named in lower case,
// ALBUMARTIST as "album artist"), the REPLAYGAIN_* tags as the four ReplayGain values instead,
// the exact length wherever the format counts sample frames, and the technical information as
// info entries. A file TagLib cannot read is an input_error naming it.
track_entry read_audio_file(const std::string& path);

// Every file of the arguments, in selection order; all are listed before the first is read, so
// progress knows the total.
std::vector<track_entry> read_audio_files(const std::vector<std::string>& arguments,
                                          const read_progress& progress = {});

// True when the name ends in an extension TagLib reads, in any case.
bool has_audio_extension(std::string_view file_name);

}  // namespace host
