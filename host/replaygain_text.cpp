#include "host/replaygain_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace host {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

bool is_unit(std::string_view s) {
    return s.size() == 2 && (s[0] == 'd' || s[0] == 'D') && (s[1] == 'b' || s[1] == 'B');
}

// from_chars is locale-independent, unlike strtod: a tag's "0.5" must not depend on LC_NUMERIC.
std::optional<float> parse_number(std::string_view text, bool unit_allowed) {
    text = trimmed(text);
    if (text.size() >= 2 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    const std::string_view rest = trimmed(text.substr(static_cast<std::size_t>(end - text.data())));
    if (!rest.empty() && !(unit_allowed && is_unit(rest))) return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace

std::optional<float> parse_gain_text(std::string_view text) { return parse_number(text, true); }

std::optional<float> parse_peak_text(std::string_view text) { return parse_number(text, false); }

}  // namespace host
