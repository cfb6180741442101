// The order in which a directory's files join a selection: names compared as people read them,
// so "2 Intro.flac" comes before "10 Outro.flac".
#pragma once

#include <string_view>

namespace host {

// Runs of digits compare by their numeric value, everything else byte by byte ignoring ASCII case.
// Names that are still equal (only case or leading zeros differ) fall back to plain byte order, so
// distinct names never tie.
bool natural_less(std::string_view a, std::string_view b);

}  // namespace host
