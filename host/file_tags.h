// Every tag of an audio file as TagLib's File::properties() gives it: the same names, values and
// order. Read from the format's own map where there is one (Xiph comments, ID3v2 frames, APE items),
// which spares building TagLib's property map; from that map for any other tag.
#pragma once

#include <string>
#include <vector>

#include <tfile.h>
#include <tstring.h>

#include "host/tag_names.h"

namespace host {

// Names in upper case, sorted, each with its values in UTF-8.
std::vector<tag_field> read_file_tags(TagLib::File& file);

// An APE item's key as TagLib's properties name it: upper case, a few keys renamed to the names
// other formats use (YEAR is DATE, TRACK is TRACKNUMBER, ...).
std::string ape_item_name(const TagLib::String& key);

}  // namespace host
