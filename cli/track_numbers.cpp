#include "cli/track_numbers.h"

namespace cli {

std::string track_numbers_text(const std::vector<std::size_t>& numbers) {
    std::string text = numbers.size() == 1 ? "track " : "tracks ";
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
        if (i > 0) text += ", ";
        text += std::to_string(numbers[i]);
        // Two neighbours read better as a list than as a range.
        if (last == i + 1) text += ", " + std::to_string(numbers[last]);
        if (last > i + 1) text += "-" + std::to_string(numbers[last]);
        i = last + 1;
    }
    return text;
}

}  // namespace cli
