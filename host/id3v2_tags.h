// An ID3v2 tag's frames read directly, under the names and with the values TagLib's properties give
// them, without TagLib's property map per frame.
#pragma once

#include <id3v2tag.h>

#include "host/tag_collector.h"

namespace host {

void collect_id3v2_tags(const TagLib::ID3v2::Tag& tag, tag_collector& tags);

}  // namespace host
