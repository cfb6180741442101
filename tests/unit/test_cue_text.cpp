// Times, numbers, ReplayGain texts and path pieces as the cue sheet writes them.

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "cuesheet/cue_text.h"
#include "platform/standin.h"

namespace {

TEST(padded_decimal_text, pads_to_the_minimum_and_never_cuts) {
    const struct {
        t_uint64 value;
        t_uint32 min_digits;
        const char* text;
    } cases[] = {
        {0, 2, "00"},   {7, 2, "07"},      {12, 2, "12"},     {100, 2, "100"},
        {5, 0, "5"},    {0, 0, "0"},       {0, 1, "0"},       {1234, 1, "1234"},
        {42, 5, "00042"}, {0xFFFFFFFFu, 1, "4294967295"},
        {0xFFFFFFFFFFFFFFFFu, 1, "18446744073709551615"},
        {0xFFFFFFFFFFFFFFFFu, 25, "0000018446744073709551615"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(padded_decimal_text(c.value, c.min_digits).text, c.text) << c.value << " / " << c.min_digits;
    }
}

TEST(padded_decimal_text, minimum_is_at_most_63_digits) {
    EXPECT_EQ(std::string(padded_decimal_text(42, 63).text), std::string(61, '0') + "42");
    EXPECT_EQ(std::string(padded_decimal_text(42, 64).text), std::string(61, '0') + "42");
    EXPECT_EQ(std::string(padded_decimal_text(42, 0xFFFFFFFFu).text), std::string(61, '0') + "42");
}

TEST(cue_time_text, nearest_frame_with_halves_up) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},
        {2, "00:02:00"},
        {245.5, "04:05:38"},         // 18412.5 frames, exactly half: up
        {0.5, "00:00:38"},           // 37.5 frames
        {1.5, "00:01:38"},           // 112.5 frames
        {1.0 / 150, "00:00:01"},     // half a frame
        {1.0 / 150 - 1e-9, "00:00:00"},
        {1.0 / 75, "00:00:01"},
        {3600, "60:00:00"},
        {59.99, "00:59:74"},
        {59.995, "01:00:00"},        // 4499.625 frames
        {5999.99, "99:59:74"},
        {6000, "100:00:00"},
        {360000, "6000:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(cue_time_text(c.seconds).text, c.text) << c.seconds;
    }
}

// Callers never pass these; they must still give a valid text rather than undefined arithmetic.
TEST(cue_time_text, out_of_range_seconds_give_bounded_texts) {
    EXPECT_STREQ(cue_time_text(-1).text, "00:00:00");
    EXPECT_STREQ(cue_time_text(std::nan("")).text, "00:00:00");
    EXPECT_STREQ(cue_time_text(1e300).text, cue_time_text(2.5e17).text);  // clamped to the largest count
}

TEST(fixed_point_text, writes_sign_digits_and_point) {
    const struct {
        double value;
        t_uint32 decimals;
        bool plus;
        const char* text;
    } cases[] = {
        {6.5, 2, true, "+6.50"},
        {-7.25, 2, true, "-7.25"},
        {0.98, 6, false, "0.980000"},
        {0.000001, 6, false, "0.000001"},
        {0, 6, false, "0.000000"},
        {-0.0, 2, true, "+0.00"},
        {-0.0, 2, false, "0.00"},
        {-0.001, 2, true, "-0.00"},
        {0.005, 2, false, "0.01"},
        {1234.5, 1, false, "1234.5"},
        {2.5, 0, false, "3"},
        {12, 0, true, "+12"},
        {0.4, 0, false, "0"},
        {0.05, 3, false, "0.050"},
    };
    for (const auto& c : cases) {
        char out[32];
        std::memset(out, 'X', sizeof out);
        fixed_point_text(c.value, c.decimals, c.plus, sizeof out, out);
        EXPECT_STREQ(out, c.text) << c.value << " / " << c.decimals;
    }
}

TEST(fixed_point_text, cuts_at_the_capacity) {
    char out[16];
    fixed_point_text(123.456, 2, true, 5, out);
    EXPECT_STREQ(out, "+123");
    fixed_point_text(0.5, 6, false, 4, out);
    EXPECT_STREQ(out, "0.5");  // of "0.500000"
    fixed_point_text(0.05, 6, false, 4, out);
    EXPECT_STREQ(out, "0.0");  // of "0.050000"
    fixed_point_text(-1, 2, false, 2, out);
    EXPECT_STREQ(out, "-");
    fixed_point_text(123.456, 2, true, 1, out);
    EXPECT_STREQ(out, "");
    std::strcpy(out, "keep");
    fixed_point_text(123.456, 2, true, 0, out);
    EXPECT_STREQ(out, "keep");
    // A huge decimal count only writes what fits.
    fixed_point_text(1, 0xFFFFFFFFu, false, sizeof out, out);
    EXPECT_STREQ(out, "0.0000000000000");
}

TEST(gain_text, two_decimals_forced_sign_and_unit) {
    const struct {
        float gain;
        const char* text;
    } cases[] = {
        {-6.5f, "-6.50 dB"},   {1.23f, "+1.23 dB"},    {0.0f, "+0.00 dB"},
        {-0.0f, "+0.00 dB"},   {-0.001f, "-0.00 dB"},  {-999.99f, "-999.99 dB"},
        {-1000.5f, "-1000.50 dB"}, {1e9f, "+1000000000 dB"},  // cut to 11 characters before the unit
    };
    for (const auto& c : cases) {
        char out[replaygain_text_capacity];
        EXPECT_TRUE(gain_text(c.gain, out)) << c.gain;
        EXPECT_STREQ(out, c.text) << c.gain;
    }
}

// The widened float is scaled, not the decimal it was written from.
TEST(gain_text, scales_the_widened_float) {
    const float gain = -6.505f;
    ASSERT_LT(static_cast<double>(gain), -6.505);
    char out[replaygain_text_capacity];
    ASSERT_TRUE(gain_text(gain, out));
    EXPECT_STREQ(out, "-6.51 dB");
}

TEST(peak_text, six_decimals) {
    const struct {
        float peak;
        const char* text;
    } cases[] = {
        {0.98f, "0.980000"}, {1.0f, "1.000000"},   {0.0f, "0.000000"},
        {-0.5f, "-0.500000"}, {1.5e9f, "1500000000.0000"},  // cut to 15 characters
    };
    for (const auto& c : cases) {
        char out[replaygain_text_capacity];
        EXPECT_TRUE(peak_text(c.peak, out)) << c.peak;
        EXPECT_STREQ(out, c.text) << c.peak;
    }
}

TEST(replaygain_texts, unset_values_give_false_and_an_empty_text) {
    char out[replaygain_text_capacity];
    std::strcpy(out, "stale");
    EXPECT_FALSE(gain_text(-1000.0f, out));
    EXPECT_STREQ(out, "");
    std::strcpy(out, "stale");
    EXPECT_FALSE(peak_text(-1.0f, out));
    EXPECT_STREQ(out, "");
}

// Both paths of both texts hand the caller's rounding mode back, and the texts do not depend on it.
TEST(replaygain_texts, restore_the_callers_rounding_mode) {
    for (const int mode : {FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO}) {
        for (const float value : {-1000.0f, -1.0f, -6.505f, 0.98f}) {
            char gain_before[replaygain_text_capacity];
            char peak_before[replaygain_text_capacity];
            const bool gain_set = gain_text(value, gain_before);
            const bool peak_set = peak_text(value, peak_before);

            ASSERT_EQ(std::fesetround(mode), 0);
            char gain[replaygain_text_capacity];
            char peak[replaygain_text_capacity];
            const bool gain_result = gain_text(value, gain);
            const int mode_after_gain = std::fegetround();
            const bool peak_result = peak_text(value, peak);
            const int mode_after_peak = std::fegetround();
            std::fesetround(FE_TONEAREST);

            EXPECT_EQ(mode_after_gain, mode) << value;
            EXPECT_EQ(mode_after_peak, mode) << value;
            EXPECT_EQ(gain_result, gain_set);
            EXPECT_EQ(peak_result, peak_set);
            EXPECT_STREQ(gain, gain_before);
            EXPECT_STREQ(peak, peak_before);
        }
    }
}

const struct path_case {
    const char* path;
    const char* file_name;
    const char* extension;
} path_cases[] = {
    {"C:\\Music\\a.flac", "a.flac", "flac"},
    {"file://C:\\Music\\01 Intro.flac", "01 Intro.flac", "flac"},
    {"/music/Album/track.MP3", "track.MP3", "MP3"},
    {"a.mp3?x=1", "a.mp3", "mp3"},
    {"a.b?c?d", "a.b", "b"},
    {".hidden", ".hidden", "hidden"},
    {"README", "README", ""},
    {"song.wav", "song.wav", "wav"},
    {"dir/", "", ""},
    {"", "", ""},
    {"archive.tar.gz", "archive.tar.gz", "gz"},
    {"x.y/README", "README", ""},
    {"a|b:c.ape", "c.ape", "ape"},
    {"archive.zip|inner.flac", "inner.flac", "flac"},
    {"dir/name?q=1/part.ogg", "part.ogg", "ogg"},  // the last separator counts, even after a "?"
    {"a?b.c", "a", "c"},                            // the extension looks past the "?" for its dot
    {"?x", "", ""},
    {"name.", "name.", ""},
};

TEST(path_pieces, file_name_of_path) {
    for (const path_case& c : path_cases) {
        EXPECT_STREQ(file_name_of_path(c.path).text(), c.file_name) << c.path;
    }
    EXPECT_STREQ(file_name_of_path(nullptr).text(), "");
}

TEST(path_pieces, extension_of_path) {
    for (const path_case& c : path_cases) {
        char out[extension_capacity];
        std::strcpy(out, "stale");
        extension_of_path(c.path, out);
        EXPECT_STREQ(out, c.extension) << c.path;
    }
}

TEST(path_pieces, extension_must_be_shorter_than_32_characters) {
    char out[extension_capacity];
    const std::string longest(31, 'e');
    extension_of_path(("a." + longest).c_str(), out);
    EXPECT_EQ(std::string(out), longest);
    extension_of_path(("dir\\a." + longest + "?query").c_str(), out);
    EXPECT_EQ(std::string(out), longest);
    extension_of_path(("a." + longest + "e").c_str(), out);
    EXPECT_STREQ(out, "");
    extension_of_path(("a." + std::string(100, 'e')).c_str(), out);
    EXPECT_STREQ(out, "");
}

TEST(path_pieces, file_name_without_memory_raises_bad_alloc) {
    platform::standin::fail_heap_call(1);
    try {
        (void)file_name_of_path("dir/file.flac");
        ADD_FAILURE() << "no failure";
    } catch (const std::bad_alloc& e) {
        EXPECT_STREQ(e.what(), "bad allocation");
    }
    platform::standin::fail_heap_call(0);
}

}  // namespace
