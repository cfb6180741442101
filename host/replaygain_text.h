// ReplayGain values as tags write them: gains "-6.50 dB" (the unit is optional), peaks "0.988".
#pragma once

#include <optional>
#include <string_view>

namespace host {

// Nothing when the text is not one finite number that fits a 32-bit float, with surrounding spaces
// allowed, a leading "+" allowed and, for a gain, a trailing "dB" in any case.
std::optional<float> parse_gain_text(std::string_view text);
std::optional<float> parse_peak_text(std::string_view text);

}  // namespace host
