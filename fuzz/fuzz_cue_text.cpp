// The cue text producers on any numbers and paths: times, padded numbers, fixed-point, gain and
// peak texts keep their forms and limits, and the path pieces hold no separator.

#include <fuzzer/FuzzedDataProvider.h>

#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "abi/track_info.h"
#include "cuesheet/cue_text.h"
#include "fuzz/fuzz_check.h"

namespace {

bool all_digits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

void check_time(double seconds) {
    const std::string text = cue_time_text(seconds).text;
    const std::size_t first = text.find(':');
    FUZZ_CHECK(first != std::string::npos && text.size() == first + 6 && text[first + 3] == ':');
    const std::string minutes = text.substr(0, first), secs = text.substr(first + 1, 2), frames = text.substr(first + 4);
    FUZZ_CHECK(all_digits(minutes) && minutes.size() >= 2 && all_digits(secs) && all_digits(frames));
    FUZZ_CHECK(std::stoi(secs) < 60 && std::stoi(frames) < 75);
    if (seconds >= 0 && seconds < 1e12) {  // exact in a double: the nearest frame, halves up
        const auto expected = static_cast<std::uint64_t>(std::floor(seconds * 75 + 0.5));
        FUZZ_CHECK((std::stoull(minutes) * 60 + std::stoull(secs)) * 75 + std::stoull(frames) == expected);
    }
}

void check_padded(std::uint64_t value, t_uint32 min_digits) {
    const std::string text = padded_decimal_text(value, min_digits).text;
    const std::string plain = std::to_string(value);
    const std::size_t wanted = min_digits == 0 ? 1 : (min_digits > 63 ? 63 : min_digits);
    FUZZ_CHECK(text.size() == (plain.size() > wanted ? plain.size() : wanted));
    FUZZ_CHECK(all_digits(text) && std::stoull(text) == value);
}

void check_fixed_point(double value, t_uint32 decimals, bool plus, t_uint32 capacity) {
    char out[80];
    std::memset(out, '#', sizeof out);
    fixed_point_text(value, decimals, plus, capacity, out);
    if (capacity == 0) {
        FUZZ_CHECK(out[0] == '#');
        return;
    }
    const std::size_t length = ::strnlen(out, capacity);
    FUZZ_CHECK(length < capacity);
    FUZZ_CHECK(capacity == sizeof out || out[capacity] == '#');
    for (std::size_t i = 0; i < length; ++i)
        FUZZ_CHECK(std::strchr("+-.0123456789", out[i]) != nullptr && out[i] != '\0');
}

void check_replaygain(float gain, float peak, int rounding) {
    std::fesetround(rounding);
    char out[replaygain_text_capacity];
    if (gain_text(gain, out)) {
        const std::string text = out;
        FUZZ_CHECK(text.size() <= 14 && text.size() >= 8 && text.compare(text.size() - 3, 3, " dB") == 0);
        FUZZ_CHECK(text[0] == '+' || text[0] == '-');
        if (std::fabs(gain) < 1e6f) FUZZ_CHECK(text[text.size() - 6] == '.');
    } else {
        FUZZ_CHECK(gain == replaygain_values::gain_not_set && out[0] == '\0');
    }
    if (peak_text(peak, out)) {
        const std::string text = out;
        FUZZ_CHECK(text.size() <= 15 && text.find_first_not_of("-.0123456789") == std::string::npos);
        if (std::fabs(peak) < 1e6f) FUZZ_CHECK(text.size() >= 8 && text[text.size() - 7] == '.');
    } else {
        FUZZ_CHECK(peak == replaygain_values::peak_not_set && out[0] == '\0');
    }
    FUZZ_CHECK(std::fegetround() == rounding);
    std::fesetround(FE_TONEAREST);
}

void check_path(const std::string& path) {
    const vesk::string8_t<vesk::alloc_standard> name = file_name_of_path(path.c_str());
    const std::string file(name.text(), name.length());
    FUZZ_CHECK(file.find_first_of("\\/|:?") == std::string::npos);
    FUZZ_CHECK(path.find(file) != std::string::npos);
    char extension[extension_capacity];
    std::memset(extension, '#', sizeof extension);
    extension_of_path(path.c_str(), extension);
    const std::size_t length = ::strnlen(extension, sizeof extension);
    FUZZ_CHECK(length < extension_capacity);
    const std::string ext(extension, length);
    FUZZ_CHECK(ext.find_first_of("\\/|:.?") == std::string::npos);
    FUZZ_CHECK(path.find(ext) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    constexpr int roundings[] = {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO};
    check_time(input.ConsumeFloatingPoint<double>());
    check_time(input.ConsumeFloatingPointInRange<double>(0, 100000));
    check_padded(input.ConsumeIntegral<std::uint64_t>(), input.ConsumeIntegralInRange<t_uint32>(0, 80));
    check_fixed_point(input.ConsumeFloatingPoint<double>(), input.ConsumeIntegralInRange<t_uint32>(0, 20),
                      input.ConsumeBool(), input.ConsumeIntegralInRange<t_uint32>(0, 80));
    check_replaygain(input.ConsumeFloatingPoint<float>(), input.ConsumeFloatingPoint<float>(),
                     roundings[input.ConsumeIntegralInRange<int>(0, 3)]);
    check_replaygain(input.ConsumeFloatingPointInRange<float>(-100, 100), input.ConsumeFloatingPointInRange<float>(0, 2),
                     FE_TONEAREST);
    check_path(input.ConsumeRemainingBytesAsString().c_str());
    return 0;
}
