#include "host/track_list_fast_pass.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include "host/track_list_reader.h"

namespace host {

namespace {

// RapidJSON's own allocator hands back null when memory runs out, and the parser writes through
// it; this one reports the failure as every other allocation of the run does.
struct throwing_allocator {
    [[maybe_unused]] static constexpr bool kNeedFree = true;  // what RapidJSON asks of an allocator
    void* Malloc(std::size_t size) { return size == 0 ? nullptr : checked(std::malloc(size)); }
    void* Realloc(void* block, std::size_t, std::size_t size) {
        if (size == 0) {
            std::free(block);
            return nullptr;
        }
        return checked(std::realloc(block, size));
    }
    static void Free(void* block) { std::free(block); }

private:
    static void* checked(void* block) {
        if (block == nullptr) throw std::bad_alloc();
        return block;
    }
};

// Passes RapidJSON's events on in nlohmann's form. Where the two parsers could disagree on a
// text, it stops the parse, which sends the text to the exact pass.
class forwarded_events : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, forwarded_events> {
public:
    explicit forwarded_events(track_list_reader& reader) : reader_(reader) {}

    bool Null() { return reader_.null(); }
    bool Bool(bool value) { return reader_.boolean(value); }
    bool Int(int value) { return reader_.number_integer(value); }
    bool Uint(unsigned value) { return reader_.number_unsigned(value); }
    bool Int64(std::int64_t value) { return reader_.number_integer(value); }
    bool Uint64(std::uint64_t value) { return reader_.number_unsigned(value); }
    bool Double(double value) { return reader_.number_float(value, no_text_); }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        return nlohmann_would_take(text, length) && reader_.string(scratch(text, length));
    }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        return nlohmann_would_take(text, length) && reader_.key(scratch(text, length));
    }
    bool StartObject() { return reader_.start_object(no_count); }
    bool EndObject(rapidjson::SizeType) { return reader_.end_object(); }
    bool StartArray() { return reader_.start_array(no_count); }
    bool EndArray(rapidjson::SizeType) { return reader_.end_array(); }

private:
    static constexpr std::size_t no_count = static_cast<std::size_t>(-1);

    // Strictly formed UTF-8, as nlohmann demands of every string. RapidJSON is left to copy the
    // bytes unchecked, which is much quicker than its own check, and this covers what its escapes
    // can make that nlohmann refuses: an escaped low surrogate without its high half ("\udc00").
    static bool nlohmann_would_take(const char* text, std::size_t length) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text);
        std::size_t i = 0;
        while (i < length) {
            const unsigned char lead = bytes[i];
            if (lead < 0x80) {
                ++i;
                continue;
            }
            const std::size_t size = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                     : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
            if (size == 0 || length - i < size) return false;
            std::uint32_t code_point = lead & (0x7F >> size);
            for (std::size_t k = 1; k < size; ++k) {
                if ((bytes[i + k] & 0xC0) != 0x80) return false;
                code_point = (code_point << 6) | (bytes[i + k] & 0x3F);
            }
            if (size == 3 && (code_point < 0x800 || (code_point >= 0xD800 && code_point <= 0xDFFF))) return false;
            if (size == 4 && (code_point < 0x10000 || code_point > 0x10FFFF)) return false;
            i += size;
        }
        return true;
    }

    std::string& scratch(const char* text, std::size_t length) {
        scratch_.assign(text, length);
        return scratch_;
    }

    track_list_reader& reader_;
    std::string scratch_;
    const std::string no_text_;
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A number whose digits are all zero, with an exponent ("0e47", "-0.00E+3"): RapidJSON 1.1 reads
// it through undefined behaviour (counting the leading zeros of zero), so such a list is left to
// the exact pass. Strings are skipped.
bool has_zero_with_exponent(std::string_view text) {
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\') ++i;
            else if (c == '"') in_string = false;
            continue;
        }
        if (c == '"') {
            in_string = true;
            continue;
        }
        if (c != '-' && !is_digit(c)) continue;
        std::size_t j = c == '-' ? i + 1 : i;
        bool nonzero = false;
        for (; j < text.size() && (is_digit(text[j]) || text[j] == '.'); ++j) {
            if (text[j] != '0' && text[j] != '.') nonzero = true;
        }
        if (!nonzero && j < text.size() && (text[j] == 'e' || text[j] == 'E')) return true;
        i = j - 1;
    }
    return false;
}

}  // namespace

std::optional<std::vector<track_entry>> read_faultless_track_list(const std::string& text) {
    if (has_zero_with_exponent(text)) return std::nullopt;
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;  // the byte-order mark nlohmann skips
    rapidjson::MemoryStream stream(text.data() + start, text.size() - start);
    track_list_reader reader;
    forwarded_events events(reader);
    rapidjson::GenericReader<rapidjson::UTF8<>, rapidjson::UTF8<>, throwing_allocator> parser;
    constexpr unsigned flags = rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag;
    if (parser.Parse<flags>(stream, events).IsError() || reader.error()) return std::nullopt;
    return std::move(reader.entries());
}

}  // namespace host
