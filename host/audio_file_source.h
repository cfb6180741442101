// Audio files as a track source: tags, ReplayGain and technical information read with TagLib.
// Files are opened read-only and their audio is never decoded.
#pragma once

#include <string>
#include <string_view>

#include "host/tag_names.h"
#include "host/track_source.h"

namespace host {

// One file's entry: "file://" plus its absolute path, every tag as a field named by names, the
// REPLAYGAIN_* tags as the four ReplayGain values instead, the exact length wherever the format
// counts sample frames, and the technical information as info entries. A file TagLib cannot read
// is an input_error naming it.
track_entry read_audio_file(const std::string& path, const tag_names& names = tag_names());

// True when the name ends in an extension TagLib reads, in any case.
bool has_audio_extension(std::string_view file_name);

}  // namespace host
