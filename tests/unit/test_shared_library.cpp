// The host's helper library: case-insensitive UTF-8 comparison, replacing while appending, system
// error texts; and the host's own string that such calls write into.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "abi/shared_library.h"
#include "host/host_string.h"

namespace {

constexpr t_uint32 all = vesk::length_up_to_nul;

int sign(int value) { return (value > 0) - (value < 0); }

struct compare_case {
    const char* a;
    const char* b;
    int expected;  // sign
};

TEST(stricmp_utf8, folds_case_by_simple_case_folding) {
    const compare_case cases[] = {
        {"TITLE", "title", 0},
        {"Artist", "aRTIST", 0},
        {"", "", 0},
        {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89", 0},                // Été / éTÉ
        {"\xCE\xA3", "\xCF\x83", 0},                                  // Σ σ
        {"\xCE\xA3", "\xCF\x82", 0},                                  // Σ ς
        {"\xCF\x83", "\xCF\x82", 0},                                  // σ ς
        {"\xE2\x84\xAA", "k", 0},                                     // Kelvin sign
        {"\xE2\x84\xAA", "K", 0},
        {"\xD0\x9F\xD0\xA0\xD0\x98", "\xD0\xBF\xD1\x80\xD0\xB8", 0},  // ПРИ при
        {"\xD0\x81", "\xD1\x91", 0},                                  // Ё ё
        {"\xC4\x80", "\xC4\x81", 0},                                  // Ā ā: every other code point
        {"\xC4\x82", "\xC4\x83", 0},                                  // Ă ă
        {"\xC4\x81", "\xC4\x83", -1},                                 // ā ă stay apart
        {"\xC7\x84", "\xC7\x86", 0},                                  // Ǆ ǆ
        {"\xC7\x85", "\xC7\x86", 0},                                  // ǅ ǆ
        {"\xE1\xBA\x9E", "\xC3\x9F", 0},                              // ẞ ß
        {"\xC2\xB5", "\xCE\xBC", 0},                                  // micro sign, mu
        {"\xEF\xBC\xA1", "\xEF\xBD\x81", 0},                          // fullwidth A a
        {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", 0},                  // Deseret, four bytes
        {"\xF0\x9E\xA4\xA1", "\xF0\x9E\xA5\x83", 0},                  // Adlam, the last run
        {"\xC3\x9F", "ss", 1},                                        // only full folding would join these
        {"\xC4\xB0", "i", 1},                                         // İ
        {"\xC3\x89", "E", 1},
        {"a", "B", -1},
        {"abc", "ABCD", -1},
        {"Z", "\xC3\xA9", -1},                                        // by code point: z before é
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBE", 1},                  // past every run
    };
    for (const compare_case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);
        EXPECT_EQ(sign(stricmp_utf8(c.a, c.b)), c.expected);
        EXPECT_EQ(sign(stricmp_utf8(c.b, c.a)), -c.expected);
        EXPECT_EQ(sign(stricmp_utf8_ex(c.a, all, c.b, all)), c.expected);
    }
}

TEST(stricmp_utf8, null_is_empty) {
    EXPECT_EQ(stricmp_utf8(nullptr, ""), 0);
    EXPECT_LT(stricmp_utf8(nullptr, "a"), 0);
    EXPECT_GT(stricmp_utf8_ex("a", all, nullptr, 5), 0);
}

TEST(stricmp_utf8_ex, stops_at_length_or_nul) {
    EXPECT_EQ(stricmp_utf8_ex("TITLExyz", 5, "title", all), 0);
    EXPECT_EQ(stricmp_utf8_ex("title", all, "TITLExyz", 5), 0);
    EXPECT_LT(stricmp_utf8_ex("TITLExyz", 4, "title", all), 0);
    EXPECT_EQ(stricmp_utf8_ex("abc", 0, "xyz", 0), 0);
    EXPECT_EQ(stricmp_utf8_ex("ab\0cd", 5, "AB", all), 0);
    EXPECT_EQ(stricmp_utf8_ex("ab", 1000, "AB", 0xFFFFFFFE), 0);
    // É cut after its first byte is a lone byte, equal only to the same byte.
    EXPECT_EQ(stricmp_utf8_ex("\xC3\x89", 1, "\xC3\xA9", 1), 0);
    EXPECT_LT(stricmp_utf8_ex("\xC3\x89", 1, "\xC3\x89", all), 0);
}

TEST(stricmp_utf8_ex, reads_nothing_past_the_length) {
    // Exact-size heap blocks without a NUL: the sanitizer build catches a read past them.
    const auto block = [](std::string bytes) { return std::vector<char>(bytes.begin(), bytes.end()); };
    const std::vector<char> cut_kelvin = block("a\xE2\x84");
    const std::vector<char> cut_four = block("A\xF0\x90\x90");
    const std::vector<char> whole = block("A\xE2\x84\xAA");
    const auto size = [](const std::vector<char>& v) { return static_cast<t_uint32>(v.size()); };
    EXPECT_LT(stricmp_utf8_ex(cut_kelvin.data(), size(cut_kelvin), "A\xE2\x84\xAA", all), 0);
    EXPECT_GT(stricmp_utf8_ex(whole.data(), size(whole), cut_kelvin.data(), size(cut_kelvin)), 0);
    EXPECT_NE(stricmp_utf8_ex(cut_four.data(), size(cut_four), cut_kelvin.data(), size(cut_kelvin)), 0);
    EXPECT_EQ(stricmp_utf8_ex(cut_four.data(), size(cut_four), cut_four.data(), size(cut_four)), 0);
    EXPECT_EQ(stricmp_utf8_ex(whole.data(), size(whole), "a\xE2\x84\xAA", all), 0);
}

TEST(stricmp_utf8, malformed_bytes_compare_bytewise_from_there_on) {
    const std::string malformed[] = {
        "\x80",              // stray continuation byte
        "\xC0\xAF",          // overlong
        "\xC1\x81",          // overlong "A"
        "\xE0\x80\xAF",      // overlong
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\xFF",
        "\xE2\x84",          // cut by the NUL
        "\xC3" "A",          // lead byte without continuation
    };
    for (const std::string& bad : malformed) {
        SCOPED_TRACE(::testing::PrintToString(bad));
        EXPECT_EQ(stricmp_utf8(bad.c_str(), bad.c_str()), 0);
        EXPECT_EQ(stricmp_utf8(("X" + bad).c_str(), ("x" + bad).c_str()), 0);
        EXPECT_GT(stricmp_utf8((bad + "a").c_str(), (bad + "A").c_str()), 0);
        EXPECT_LT(stricmp_utf8((bad + "A").c_str(), (bad + "a").c_str()), 0);
        EXPECT_NE(stricmp_utf8(bad.c_str(), "A"), 0);
    }
}

struct replace_case {
    const char* text;
    t_uint32 text_length;
    const char* search;
    t_uint32 search_length;
    const char* replacement;
    bool case_sensitive;
    const char* appended;
    t_uint32 replaced;
};

TEST(uReplaceStringAdd, appends_with_matches_replaced) {
    const replace_case cases[] = {
        {"a\r\nb\r\n", all, "\r\n", 2, "\\", false, "a\\b\\", 2},
        {"\r\r\n\n", all, "\r\n", 2, "\\", false, "\r\\\n", 1},
        {"\r \n", all, "\r\n", 2, "\\", false, "\r \n", 0},
        {"aaaa", all, "aa", all, "b", true, "bb", 2},
        {"aaa", all, "aa", all, "b", true, "ba", 1},
        {"Foo foo FOO", all, "foo", all, "x", true, "Foo x FOO", 1},
        {"Foo foo FOO", all, "foo", all, "x", false, "x x x", 3},
        {"\xC3\x89T\xC3\x89 \xC3\xA9t\xC3\xA9", all, "\xC3\xA9t\xC3\xA9", all, "summer", false,
         "summer summer", 2},
        {"1\xE2\x84\xAA" "2", all, "k", all, "-", false, "1-2", 1},  // match longer than the search
        {"1k2", all, "\xE2\x84\xAA", all, "-", false, "1-2", 1},
        {"\xE2\x84\xAA", all, "k", all, "-", true, "\xE2\x84\xAA", 0},
        {"\xFF" "A\xFF" "a", all, "\xFF" "a", all, "!", false, "!!", 2},
        {"a-b-c", all, "-", all, "", true, "abc", 2},
        {"abcabc", 4, "c", all, "X", true, "abXa", 1},
        {"ab\0cab", 6, "c", all, "X", true, "ab", 0},
        {"abc", 0, "a", all, "X", true, "", 0},
        {"abc", all, "bX", 1, "_", true, "a_c", 1},
        {"abc", all, "", all, "X", true, "abc", 0},
        {"abc", all, nullptr, all, "X", false, "abc", 0},
        {"abc", all, "abc", 0, "X", true, "abc", 0},
        {"ab", all, "abc", all, "X", false, "ab", 0},
        {nullptr, all, "a", all, "X", true, "", 0},
    };
    for (const replace_case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text == nullptr ? "(null)" : c.text));
        host::host_string out("pre:");
        const t_uint32 replaced = uReplaceStringAdd(out, c.text, c.text_length, c.search, c.search_length,
                                                    c.replacement, all, c.case_sensitive);
        EXPECT_EQ(out.str(), std::string("pre:") + c.appended);
        EXPECT_EQ(replaced, c.replaced);
    }
}

TEST(uReplaceStringAdd, reads_its_texts_from_the_output_itself) {
    // Long enough that appending moves the buffer.
    const std::string start = "line one\r\nline two\r\nline three, long enough to live on the heap";
    host::host_string out(start);
    EXPECT_EQ(uReplaceStringAdd(out, out.text(), all, "\r\n", 2, "\\", 1, false), 2u);
    EXPECT_EQ(out.str(), start + "line one\\line two\\line three, long enough to live on the heap");

    host::host_string self("xy-padding-padding-padding-padding-padding");
    const std::string before = self.str();
    // Search "x" and replacement "xy" are both taken from the output's own text.
    EXPECT_EQ(uReplaceStringAdd(self, "x_x_x_x_x_x_x_x_x_x_x_x_x_x", all, self.text(), 1, self.text(), 2, true),
              14u);
    EXPECT_EQ(self.str(), before + "xy_xy_xy_xy_xy_xy_xy_xy_xy_xy_xy_xy_xy_xy");
}

// A string whose append fails on the chosen call, as an exhausted heap would.
class failing_string final : public vesk::string_base {
public:
    failing_string(std::string text, int fail_on_append) : text_(std::move(text)), fail_on_(fail_on_append) {}
    void append(const char* source, t_uint32 max_length) override {
        if (++appends_ == fail_on_) {
            throw std::bad_alloc();
        }
        text_.append(source, strnlen(source, max_length));
    }
    const char* text() const override { return text_.c_str(); }
    void assign(const char* source, t_uint32 max_length) override {
        text_.assign(source, strnlen(source, max_length));
    }
    void truncate(t_uint32 new_length) override {
        text_.resize(std::min<std::size_t>(new_length, text_.size()));
    }
    t_uint32 length() const override { return static_cast<t_uint32>(text_.size()); }
    char* open_buffer(t_uint32) override { return nullptr; }
    void close_buffer() override {}
    std::string text_;

private:
    int fail_on_;
    int appends_ = 0;
};

TEST(uReplaceStringAdd, failed_append_leaves_the_output_as_it_was) {
    for (int fail_on = 1; fail_on <= 3; ++fail_on) {
        failing_string out("kept", fail_on);
        EXPECT_THROW(uReplaceStringAdd(out, "a\r\nb\r\nc", all, "\r\n", 2, "\\", 1, false), std::bad_alloc);
        EXPECT_EQ(out.text_, "kept");
    }
}

TEST(uFormatSystemErrorMessage, assigns_the_systems_text) {
    host::host_string out("old text");
    ASSERT_TRUE(uFormatSystemErrorMessage(out, ENOENT));
    EXPECT_EQ(out.str(), std::strerror(ENOENT));
    EXPECT_NE(out.str(), "old text");
    EXPECT_FALSE(out.str().empty());
}

TEST(uFormatSystemErrorMessage, unknown_codes_give_false_and_leave_the_string) {
    for (const t_uint32 code : {0xFFFFFFFFu, 1234u, 0x80000000u, 0x7FFFFFFFu}) {
        host::host_string out("untouched");
        EXPECT_FALSE(uFormatSystemErrorMessage(out, code)) << code;
        EXPECT_EQ(out.str(), "untouched");
    }
}

TEST(host_string, append_and_assign_honour_length_and_nul) {
    host::host_string s;
    EXPECT_STREQ(s.text(), "");
    EXPECT_EQ(s.length(), 0u);
    s.append("abc", 2);
    s.append("xyz", 0);
    s.append(nullptr, all);
    s.append("de\0fg", 5);
    EXPECT_EQ(s.str(), "abde");
    EXPECT_EQ(s.length(), 4u);
    s.assign("xyz", 2);
    EXPECT_EQ(s.str(), "xy");
    s.assign(nullptr, all);
    EXPECT_STREQ(s.text(), "");
}

TEST(host_string, truncate_only_shortens) {
    host::host_string s("hello");
    s.truncate(5);
    s.truncate(99);
    EXPECT_EQ(s.str(), "hello");
    s.truncate(2);
    EXPECT_EQ(s.str(), "he");
}

TEST(host_string, own_text_as_source) {
    host::host_string s("abc, long enough for the text to live on the heap");
    const std::string start = s.str();
    s.append(s.text(), all);
    EXPECT_EQ(s.str(), start + start);
    s.assign(s.text() + 1, 2);
    EXPECT_EQ(s.str(), "bc");
}

TEST(host_string, buffer_becomes_the_text_on_close) {
    host::host_string s("old");
    char* buffer = s.open_buffer(5);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(buffer, 6), std::string(6, '\0'));
    EXPECT_EQ(s.length(), 3u);  // until close_buffer
    std::memcpy(buffer, "abcde", 5);
    s.close_buffer();
    EXPECT_EQ(s.str(), "abcde");

    std::memcpy(s.open_buffer(10), "ab\0cd", 5);
    s.close_buffer();
    EXPECT_EQ(s.str(), "ab");
    s.open_buffer(0);
    s.close_buffer();
    EXPECT_EQ(s.str(), "");
    s.assign("kept", all);
    s.close_buffer();  // nothing open
    EXPECT_EQ(s.str(), "kept");
}

TEST(host_string, operations_sit_at_their_slots) {
    host::host_string s;
    vesk::string_base& base = s;
    void* const* table = *reinterpret_cast<void* const* const*>(&base);
    reinterpret_cast<void (*)(vesk::string_base*, const char*, t_uint32)>(table[0])(&base, "abcdef", all);
    reinterpret_cast<void (*)(vesk::string_base*, t_uint32)>(table[3])(&base, 4);
    EXPECT_EQ(reinterpret_cast<t_uint32 (*)(const vesk::string_base*)>(table[4])(&base), 4u);
    EXPECT_STREQ(reinterpret_cast<const char* (*)(const vesk::string_base*)>(table[1])(&base), "abcd");
    reinterpret_cast<void (*)(vesk::string_base*, const char*, t_uint32)>(table[2])(&base, "xyz", all);
    char* buffer = reinterpret_cast<char* (*)(vesk::string_base*, t_uint32)>(table[5])(&base, 2);
    buffer[0] = 'q';
    reinterpret_cast<void (*)(vesk::string_base*)>(table[6])(&base);
    EXPECT_EQ(s.str(), "q");
}

}  // namespace
