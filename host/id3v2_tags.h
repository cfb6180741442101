// An ID3v2 tag's frames read directly, under the names and with the values TagLib's properties give
// them, without TagLib's property map per frame.
#pragma once

#include <string>

#include <id3v2tag.h>

#include "host/tag_collector.h"

namespace host {

void collect_id3v2_tags(const TagLib::ID3v2::Tag& tag, tag_collector& tags);

// The names TagLib's properties give ID3v2 frames: by a frame's four-byte identifier (empty for a
// frame without one), a TXXX frame's by its description, and that of a frame named by a
// description, such as COMM ("COMMENT", or "COMMENT:DESCRIPTION" in upper case).
const std::string& id3v2_frame_name(const TagLib::ByteVector& id);
std::string id3v2_description_name(const TagLib::String& description);
std::string id3v2_described_name(const char* name, const TagLib::String& description);

}  // namespace host
