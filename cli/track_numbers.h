// Track positions as the messages name them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace cli {

// 1-based positions in rising order: "track 3", "tracks 1, 3-5, 9".
std::string track_numbers_text(const std::vector<std::size_t>& numbers);

}  // namespace cli
