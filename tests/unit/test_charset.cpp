// UTF-8 and UTF-16 coding, the conversions built on them and the stand-in ANSI code page.

#include <gtest/gtest.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/ansi.h"
#include "platform/event.h"
#include "platform/standin.h"
#include "vesk/charset.h"

namespace {

std::string bytes_of(const vesk::ansi_text& text) { return std::string(text.data(), text.size()); }

std::u16string units_of(const vesk::utf16_text& text) {
    return std::u16string(text.data(), text.size());
}

struct decode_case {
    const char* name;
    std::string bytes;
    t_uint32 max;
    t_uint32 length;
    t_uint32 code_point;
};

TEST(decode_utf8_char, decodes_valid_and_refuses_invalid_sequences) {
    const decode_case cases[] = {
        {"ascii", "A", 1, 1, 0x41},
        {"nul", std::string(1, '\0'), 1, 0, 0},
        {"max 0", "A", 0, 0, 0},
        {"two bytes", "\xC3\xA9", 2, 2, 0xE9},
        {"overlong two bytes", "\xC0\x80", 2, 0, 0},
        {"overlong lead C1", "\xC1\xBF", 2, 0, 0},
        {"lone continuation", "\x80", 1, 0, 0},
        {"longer than max", "\xE2\x82\xAC", 2, 0, 0},
        {"nul inside", std::string("\xE2\x00\xAC", 3), 3, 0, 0},
        {"bad continuation", "\xE2\x41\xAC", 3, 0, 0},
        {"three bytes", "\xE2\x82\xAC", 3, 3, 0x20AC},
        {"four bytes", "\xF0\x9F\x8E\xB5", 4, 4, 0x1F3B5},
        {"max above 6 is 6", "\xF0\x9F\x8E\xB5", 100, 4, 0x1F3B5},
        {"surrogate kept", "\xED\xA0\x80", 3, 3, 0xD800},
        {"above 0x10FFFF kept", "\xF4\x90\x80\x80", 4, 4, 0x110000},
        {"five bytes", "\xF8\x88\x80\x80\x80", 5, 5, 0x200000},
        {"six bytes", "\xFD\xBF\xBF\xBF\xBF\xBF", 6, 6, 0x7FFFFFFF},
        {"byte FE", "\xFE\xBF\xBF\xBF\xBF\xBF\xBF", 7, 0, 0},
        {"byte FF", "\xFF", 1, 0, 0},
        {"overlong three bytes", "\xE0\x80\xAF", 3, 0, 0},
        {"overlong four bytes", "\xF0\x80\x80\xAF", 4, 0, 0},
        {"overlong six bytes", "\xFC\x80\x80\x80\x80\xAF", 6, 0, 0},
    };
    for (const decode_case& c : cases) {
        SCOPED_TRACE(c.name);
        t_uint32 code_point = 0xDEADBEEF;
        EXPECT_EQ(vesk::decode_utf8_char(c.bytes.data(), c.max, &code_point), c.length);
        EXPECT_EQ(code_point, c.code_point);
        EXPECT_EQ(vesk::decode_utf8_char(c.bytes.data(), c.max, nullptr), c.length);
    }
}

TEST(decode_utf8_char, reads_nothing_after_a_nul_even_when_max_reaches_further) {
    // Exactly two bytes on the heap: the sanitizer build reports any read past them.
    auto* text = new char[2]{'\xE2', '\0'};
    EXPECT_EQ(vesk::decode_utf8_char(text, 1024, nullptr), 0u);
    delete[] text;
}

struct encode_case {
    t_uint32 code_point;
    std::string bytes;
};

TEST(encode_utf8_char, writes_the_shortest_form_of_each_length) {
    const encode_case cases[] = {
        {0x00, std::string(1, '\0')}, {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},           {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},      {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"}, {0x1FFFFF, "\xF7\xBF\xBF\xBF"},
        {0x200000, "\xF8\x88\x80\x80\x80"}, {0x3FFFFFF, "\xFB\xBF\xBF\xBF\xBF"},
        {0x4000000, "\xFC\x84\x80\x80\x80\x80"}, {0x7FFFFFFF, "\xFD\xBF\xBF\xBF\xBF\xBF"},
    };
    for (const encode_case& c : cases) {
        SCOPED_TRACE(c.code_point);
        char out[6] = {};
        ASSERT_EQ(vesk::encode_utf8_char(c.code_point, out), c.bytes.size());
        EXPECT_EQ(std::string(out, c.bytes.size()), c.bytes);
        EXPECT_EQ(vesk::encode_utf8_char(c.code_point, nullptr), c.bytes.size());
        // And back, wherever the decoder takes the form (it does not take a NUL).
        t_uint32 decoded = 0;
        if (c.code_point != 0) {
            EXPECT_EQ(vesk::decode_utf8_char(out, 6, &decoded), c.bytes.size());
            EXPECT_EQ(decoded, c.code_point);
        }
    }
}

TEST(encode_utf8_char, refuses_values_above_0x7FFFFFFF_writing_nothing) {
    char out[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(vesk::encode_utf8_char(0x80000000, out), 0u);
    EXPECT_EQ(vesk::encode_utf8_char(0xFFFFFFFF, nullptr), 0u);
    EXPECT_EQ(std::string(out, 6), "xxxxxx");
}

TEST(utf16_units_for_utf8, counts_units_and_terminator_up_to_where_conversion_stops) {
    EXPECT_EQ(vesk::utf16_units_for_utf8("", 1024), 1u);
    EXPECT_EQ(vesk::utf16_units_for_utf8("abc", 1024), 4u);
    EXPECT_EQ(vesk::utf16_units_for_utf8("abc", 2), 3u);
    EXPECT_EQ(vesk::utf16_units_for_utf8("a\xC3\xA9", 1024), 3u);
    EXPECT_EQ(vesk::utf16_units_for_utf8("\xF0\x9F\x8E\xB5", 1024), 3u);  // a pair
    EXPECT_EQ(vesk::utf16_units_for_utf8("ab\x80" "cd", 1024), 3u);       // stops at invalid
    EXPECT_EQ(vesk::utf16_units_for_utf8("ab\xF4\x90\x80\x80" "cd", 1024), 3u);  // above 0x10FFFF
    EXPECT_EQ(vesk::utf16_units_for_utf8("a\xC3\xA9", 2), 2u);  // é cut by max
}

TEST(append_utf16_char, adds_one_unit_or_a_pair_as_far_as_room_allows) {
    char16_t units[3] = {};
    vesk::utf16_buffer buffer{units, 3, 0};
    vesk::append_utf16_char(buffer, 0);
    vesk::append_utf16_char(buffer, 0x110000);
    EXPECT_EQ(buffer.count, 0u);
    vesk::append_utf16_char(buffer, 0xE9);
    vesk::append_utf16_char(buffer, 0x1F3B5);
    EXPECT_EQ(buffer.count, 3u);
    EXPECT_EQ(std::u16string(units, 3), (std::u16string{0xE9, 0xD83C, 0xDFB5}));

    // One unit of room left: only the first half of the pair.
    char16_t small[2] = {};
    vesk::utf16_buffer tight{small, 2, 1};
    vesk::append_utf16_char(tight, 0x10FFFF);
    EXPECT_EQ(tight.count, 2u);
    EXPECT_EQ(small[1], 0xDBFF);
    vesk::append_utf16_char(tight, 'A');
    EXPECT_EQ(tight.count, 2u);
}

TEST(utf8_to_utf16, converts_within_capacity_and_always_terminates) {
    char16_t out[8];
    std::fill(std::begin(out), std::end(out), u'#');
    EXPECT_EQ(vesk::utf8_to_utf16(out, 3, "\xF0\x9F\x8E\xB5", 4), 2u);
    EXPECT_EQ(std::u16string(out, 3), (std::u16string{0xD83C, 0xDFB5, 0}));

    std::fill(std::begin(out), std::end(out), u'#');
    EXPECT_EQ(vesk::utf8_to_utf16(out, 0, "abc", 3), 0u);
    EXPECT_EQ(out[0], u'#');

    EXPECT_EQ(vesk::utf8_to_utf16(out, 3, "abcdef", 6), 2u);  // cut to the room
    EXPECT_EQ(std::u16string(out, 3), std::u16string(u"ab\0", 3));

    // Sized by the counting pass, the result stops where the count stopped.
    const char* text = "ab\xF4\x90\x80\x80" "cd";
    const t_uint32 units = vesk::utf16_units_for_utf8(text, 8);
    EXPECT_EQ(vesk::utf8_to_utf16(out, units, text, 8), 2u);
    EXPECT_EQ(std::u16string(out), u"ab");
}

TEST(utf16_text_from_utf8, reads_at_most_1024_bytes) {
    const std::string long_name(1500, 'n');
    const vesk::utf16_text text = vesk::utf16_text_from_utf8(long_name.c_str());
    EXPECT_EQ(text.size(), 1025u);
    EXPECT_EQ(vesk::utf16_length(text.data()), 1024u);
    EXPECT_EQ(units_of(text), std::u16string(1024, u'n') + u'\0');

    // é occupies bytes 1023 and 1024: it straddles the limit and is dropped.
    const std::string straddling = std::string(1023, 'n') + "\xC3\xA9";
    EXPECT_EQ(vesk::utf16_length(vesk::utf16_text_from_utf8(straddling.c_str()).data()), 1023u);

    EXPECT_EQ(units_of(vesk::utf16_text_from_utf8("caf\xC3\xA9")), std::u16string(u"caf\u00e9\0", 5));
    EXPECT_EQ(vesk::utf16_text_from_utf8(nullptr).size(), 1u);
}

TEST(utf16_to_utf8, encodes_pairs_and_keeps_unpaired_surrogates) {
    char out[vesk::utf8_path_capacity];
    EXPECT_EQ(vesk::utf16_to_utf8(out, u"\xD800" u"A"), 4u);
    EXPECT_EQ(std::string(out), "\xED\xA0\x80\x41");
    EXPECT_EQ(vesk::utf16_to_utf8(out, u"\xD83C\xDFB5|\xDC00"), 8u);
    EXPECT_EQ(std::string(out), "\xF0\x9F\x8E\xB5|\xED\xB0\x80");
    EXPECT_EQ(vesk::utf16_to_utf8(out, u"caf\u00e9"), 5u);
    EXPECT_EQ(std::string(out), "caf\xC3\xA9");
    EXPECT_EQ(vesk::utf16_to_utf8(out, nullptr), 0u);
    EXPECT_EQ(out[0], '\0');
}

TEST(utf16_to_utf8, cuts_at_byte_2047_even_inside_a_character) {
    char out[vesk::utf8_path_capacity];
    const std::u16string ascii(3000, u'a');
    EXPECT_EQ(vesk::utf16_to_utf8(out, ascii.c_str()), 2047u);
    EXPECT_EQ(std::string(out), std::string(2047, 'a'));

    // 2047 = 682 * 3 + 1: the 683rd euro sign keeps only its lead byte.
    const std::u16string euros(800, u'\u20ac');
    EXPECT_EQ(vesk::utf16_to_utf8(out, euros.c_str()), 2047u);
    std::string expected;
    for (int i = 0; i < 682; ++i) expected += "\xE2\x82\xAC";
    expected += '\xE2';
    EXPECT_EQ(std::string(out), expected);

    const std::u16string exact(2046, u'a');
    EXPECT_EQ(vesk::utf16_to_utf8(out, exact.c_str()), 2046u);
}

TEST(utf16_length, counts_units_before_the_terminator) {
    EXPECT_EQ(vesk::utf16_length(nullptr), 0u);
    EXPECT_EQ(vesk::utf16_length(u""), 0u);
    EXPECT_EQ(vesk::utf16_length(u"\xD83C\xDFB5x"), 3u);
}

// Each test starts and ends on the default code page.
class ansi_conversion : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform::standin::set_ansi_code_page("WINDOWS-1252")); }
    void TearDown() override { platform::standin::set_ansi_code_page("WINDOWS-1252"); }
};

TEST_F(ansi_conversion, sizes_include_the_terminator) {
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("abc", 3)), std::string("abc\0", 4));
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("", 0)), std::string(1, '\0'));
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("abcdef", 3)), std::string("abc\0", 4));
}

TEST_F(ansi_conversion, bytes_that_are_not_utf8_become_one_replacement_each_and_the_rest_is_kept) {
    // A bad byte in one tag must not cut off the rest of the sheet.
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("ab\xFF" "cd", 5)), std::string("ab?cd\0", 6));
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("\xC3(\xE9\x80", 4)), std::string("?(??\0", 5));
    // A sequence cut by the length, and a NUL before it, still end the text.
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("x\xC3\xA9", 2)), std::string("x?\0", 3));
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("x\0y", 3)), std::string("x\0", 2));
    // Code points past U+10FFFF count as bad too; valid ones around them pass.
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("\xF8\x88\x80\x80\x80\xC3\xA9", 7)), std::string("?\xE9\0", 3));
}

TEST_F(ansi_conversion, windows_1252_replaces_each_missing_character_with_one_question_mark) {
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("\xC3\xA9", 2)), std::string("\xE9\0", 2));
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("\xE2\x82\xAC", 3)), std::string("\x80\0", 2));
    // U+0101 and U+0416 are not in windows-1252; U+1F3B5 is a pair, still one character.
    const std::string text = "a\xC4\x81" "b\xD0\x96" "c\xF0\x9F\x8E\xB5" "d";
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8(text.c_str(), static_cast<t_uint32>(text.size()))),
              std::string("a?b?c?d\0", 8));
}

TEST_F(ansi_conversion, follows_the_code_page_the_host_chose) {
    ASSERT_TRUE(platform::standin::set_ansi_code_page("windows-1251"));
    EXPECT_STREQ(platform::standin::ansi_code_page(), "windows-1251");
    const std::string privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xC3\xA9";
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8(privet.c_str(), static_cast<t_uint32>(privet.size()))),
              std::string("\xCF\xF0\xE8\xE2\xE5\xF2 ?\0", 9));
}

TEST_F(ansi_conversion, names_iconv_does_not_know_are_refused_without_change) {
    const char* before = platform::standin::ansi_code_page();
    EXPECT_STREQ(before, "WINDOWS-1252");
    for (const char* name : {"NO-SUCH-CODEPAGE", "", "WINDOWS-1252//TRANSLIT"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(platform::standin::set_ansi_code_page(name));
        EXPECT_EQ(platform::standin::ansi_code_page(), before);
    }
    EXPECT_FALSE(platform::standin::set_ansi_code_page(nullptr));
    EXPECT_EQ(bytes_of(vesk::ansi_text_from_utf8("\xC3\xA9", 2)), std::string("\xE9\0", 2));
}

TEST_F(ansi_conversion, wide_to_ansi_keeps_the_win32_contract) {
    char out[8];
    EXPECT_EQ(platform::wide_to_ansi(u"abc", -1, nullptr, 0), 4);  // terminator counted
    EXPECT_EQ(platform::wide_to_ansi(u"abc", 3, nullptr, 0), 3);
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(platform::wide_to_ansi(u"ab\u00e9", -1, out, 4), 4);
    EXPECT_EQ(std::string(out, 5), std::string("ab\xE9\0#", 5));

    platform::set_last_error(0);
    EXPECT_EQ(platform::wide_to_ansi(u"abc", -1, out, 3), 0);
    EXPECT_EQ(platform::last_error(), t_uint32{ENOBUFS});
    platform::set_last_error(0);
    EXPECT_EQ(platform::wide_to_ansi(u"a\u0101", 2, out, 1), 0);  // the '?' does not fit
    EXPECT_EQ(platform::last_error(), t_uint32{ENOBUFS});

    EXPECT_EQ(platform::wide_to_ansi(u"abc", 0, nullptr, 0), 0);
    EXPECT_EQ(platform::last_error(), t_uint32{EINVAL});
    EXPECT_EQ(platform::wide_to_ansi(nullptr, -1, nullptr, 0), 0);
    EXPECT_EQ(platform::wide_to_ansi(u"abc", -2, nullptr, 0), 0);
    EXPECT_EQ(platform::wide_to_ansi(u"abc", -1, nullptr, 4), 0);
}

TEST_F(ansi_conversion, wide_to_ansi_turns_broken_surrogates_into_one_question_mark_each) {
    char out[8];
    // An unpaired high half, a lone low half, and a high half that ends the input.
    EXPECT_EQ(platform::wide_to_ansi(u"\xD800" u"A\xDC00" u"B\xD83C", 5, out, sizeof out), 5);
    EXPECT_EQ(std::string(out, 5), "?A?B?");
    EXPECT_EQ(platform::wide_to_ansi(u"\xD800" u"A\xDC00" u"B\xD83C", 5, nullptr, 0), 5);
}

TEST_F(ansi_conversion, converts_from_several_threads_at_once) {
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&good, t] {
            for (int i = 0; i < 200; ++i) {
                char out[8];
                if (platform::wide_to_ansi(u"\u00e9\u0101x", -1, out, sizeof out) == 4 &&
                    std::string(out, 4) == std::string("\xE9?x\0", 4)) {
                    ++good[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(good, std::vector<int>(4, 200));
}

// Each test leaves the heap seam off.
class charset_allocation_failure : public ::testing::Test {
protected:
    void TearDown() override { platform::standin::fail_heap_call(0); }
};

TEST_F(charset_allocation_failure, utf16_text_from_utf8_raises_bad_alloc) {
    platform::standin::fail_heap_call(1);
    EXPECT_THROW(vesk::utf16_text_from_utf8("album"), std::bad_alloc);
    // The seam is used up: the next conversion succeeds.
    EXPECT_EQ(vesk::utf16_text_from_utf8("album").size(), 6u);
}

TEST_F(charset_allocation_failure, ansi_text_from_utf8_raises_bad_alloc_at_either_allocation) {
    const unsigned long before = platform::standin::heap_calls();
    EXPECT_EQ(vesk::ansi_text_from_utf8("abc", 3).size(), 4u);
    ASSERT_EQ(platform::standin::heap_calls() - before, 2u);  // the UTF-16 array, then the result

    for (unsigned long n : {1ul, 2ul}) {
        SCOPED_TRACE(n);
        platform::standin::fail_heap_call(n);
        try {
            vesk::ansi_text_from_utf8("abc", 3);
            ADD_FAILURE() << "no exception";
        } catch (const std::bad_alloc& error) {
            EXPECT_STREQ(error.what(), "bad allocation");
        }
        platform::standin::fail_heap_call(0);
    }
}

TEST(heap_text_t, moves_ownership_and_frees_once) {
    vesk::utf16_text a(3);
    EXPECT_EQ(units_of(a), std::u16string(3, u'\0'));
    const char16_t* block = a.data();
    vesk::utf16_text b(std::move(a));
    EXPECT_EQ(b.data(), block);
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(a.size(), 0u);
    vesk::utf16_text c(1);
    c = std::move(b);  // c's own block is freed; the sanitizer build reports a leak otherwise
    EXPECT_EQ(c.data(), block);
    EXPECT_EQ(c.size(), 3u);
}

}  // namespace
