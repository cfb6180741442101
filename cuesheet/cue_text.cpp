#include "cuesheet/cue_text.h"

#include <cfenv>
#include <cmath>
#include <cstring>

#include "abi/track_info.h"

namespace {

constexpr double two_to_the_64 = 18446744073709551616.0;
constexpr t_uint32 frames_per_second = 75;

// Whole numbers only; NaN and everything below 1 give 0, everything past 64 bits the largest value.
t_uint64 to_unsigned(double whole) noexcept {
    if (!(whole >= 1.0)) return 0;
    if (whole >= two_to_the_64) return 0xFFFFFFFFFFFFFFFFu;
    return static_cast<t_uint64>(whole);
}

// Writes into a caller buffer, silently dropping what does not fit.
class bounded_writer {
public:
    bounded_writer(char* out, t_uint32 room) noexcept : out_(out), room_(room) {}
    void put(char c) noexcept {
        if (length_ < room_) out_[length_++] = c;
    }
    bool full() const noexcept { return length_ == room_; }
    void finish() noexcept { out_[length_] = 0; }

private:
    char* out_;
    t_uint32 room_;
    t_uint32 length_ = 0;
};

// The ReplayGain texts must not depend on the rounding mode a caller left behind.
class nearest_rounding_scope {
public:
    nearest_rounding_scope() noexcept : saved_(std::fegetround()) { std::fesetround(FE_TONEAREST); }
    ~nearest_rounding_scope() {
        if (saved_ >= 0) std::fesetround(saved_);
    }
    nearest_rounding_scope(const nearest_rounding_scope&) = delete;
    nearest_rounding_scope& operator=(const nearest_rounding_scope&) = delete;

private:
    int saved_;
};

bool is_path_separator(char c) noexcept { return c == '\\' || c == '/' || c == '|' || c == ':'; }

const char* file_name_start(const char* path) noexcept {
    const char* start = path;
    for (const char* p = path; *p != 0; ++p) {
        if (is_path_separator(*p)) start = p + 1;
    }
    return start;
}

}  // namespace

short_text cue_time_text(double seconds) noexcept {
    const t_uint64 frames = to_unsigned(std::floor(seconds * frames_per_second + 0.5));
    const t_uint64 whole_seconds = frames / frames_per_second;
    const short_text minutes = padded_decimal_text(whole_seconds / 60, 2);
    const short_text secs = padded_decimal_text(whole_seconds % 60, 2);
    const short_text frame = padded_decimal_text(frames % frames_per_second, 2);

    short_text result;
    bounded_writer out(result.text, sizeof result.text - 1);
    for (const char* p = minutes.text; *p != 0; ++p) out.put(*p);
    out.put(':');
    for (const char* p = secs.text; *p != 0; ++p) out.put(*p);
    out.put(':');
    for (const char* p = frame.text; *p != 0; ++p) out.put(*p);
    out.finish();
    return result;
}

void fixed_point_text(double value, t_uint32 decimals, bool force_plus, t_uint32 capacity, char* out) noexcept {
    if (capacity == 0 || !out) return;
    bounded_writer writer(out, capacity - 1);
    // Negative zero compares equal to zero and takes no sign.
    if (value < 0) {
        writer.put('-');
    } else if (force_plus) {
        writer.put('+');
    }

    double scale = 1.0;
    for (t_uint32 i = 0; i < decimals && std::isfinite(scale); ++i) scale *= 10.0;
    const t_uint64 units = to_unsigned(std::floor(std::fabs(value) * scale + 0.5));

    char digits[20];
    t_uint32 n = reversed_digits(units, digits);
    if (n <= decimals) {
        writer.put('0');
        writer.put('.');
        for (t_uint32 i = n; i < decimals && !writer.full(); ++i) writer.put('0');
        while (n > 0) writer.put(digits[--n]);
    } else {
        while (n > 0) {
            if (n == decimals) writer.put('.');
            writer.put(digits[--n]);
        }
    }
    writer.finish();
}

bool gain_text(float gain, char (&out)[replaygain_text_capacity]) noexcept {
    const nearest_rounding_scope rounding;
    out[0] = 0;
    if (gain == replaygain_values::gain_not_set) return false;
    // At most 11 characters, so " dB" always fits after them.
    fixed_point_text(static_cast<double>(gain), 2, true, 12, out);
    std::strcat(out, " dB");
    return true;
}

bool peak_text(float peak, char (&out)[replaygain_text_capacity]) noexcept {
    const nearest_rounding_scope rounding;
    out[0] = 0;
    if (peak == replaygain_values::peak_not_set) return false;
    fixed_point_text(static_cast<double>(peak), 6, false, replaygain_text_capacity, out);
    return true;
}

vesk::string8_t<vesk::alloc_standard> file_name_of_path(const char* path) {
    vesk::string8_t<vesk::alloc_standard> name;
    if (!path) return name;
    const char* start = file_name_start(path);
    const char* end = start;
    while (*end != 0 && *end != '?') ++end;
    name.append(start, static_cast<t_uint32>(end - start));
    return name;
}

void extension_of_path(const char* path, char (&out)[extension_capacity]) noexcept {
    out[0] = 0;
    if (!path) return;
    const char* start = file_name_start(path);
    const char* end = start + std::strlen(start);
    // Backwards from the last character to the first dot; a "?" after the dot ends the
    // extension there. A "?" as the name's first character cannot end anything: no dot precedes it.
    const char* extension_end = end;
    for (const char* p = end; p > start;) {
        --p;
        if (*p == '.') {
            const auto length = static_cast<std::size_t>(extension_end - (p + 1));
            if (length >= extension_capacity) return;
            std::memcpy(out, p + 1, length);
            out[length] = 0;
            return;
        }
        if (*p == '?') extension_end = p;
    }
}
