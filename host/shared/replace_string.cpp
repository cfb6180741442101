// Appending a text with every match of a search text replaced.
//
// Lengths as everywhere: at most that many bytes, ending at a NUL before; all ones means up to the
// NUL. Matches are found left to right and never overlap: the search resumes after each match. An
// empty search replaces nothing. Without case sensitivity a match is equal under simple case
// folding, so it may differ from the search in byte length (the Kelvin sign matches "k").
// Should appending fail, out is cut back to its old length and the exception travels on.

#include <cstdint>
#include <cstring>

#include "abi/shared_library.h"
#include "host/shared/case_folding.h"
#include "host/shared/utf8_units.h"

namespace {

// A text to read while out grows. Appending may move out's buffer, so a text lying inside it is
// read from a private copy.
class stable_text {
public:
    stable_text(const char* text, std::size_t length, const vesk::string_base& out) : bytes_(text) {
        if (length != 0 && overlaps(text, length, out.text(), out.length())) {
            copy_ = new char[length];
            std::memcpy(copy_, text, length);
            bytes_ = copy_;
        }
    }
    ~stable_text() { delete[] copy_; }
    stable_text(const stable_text&) = delete;
    stable_text& operator=(const stable_text&) = delete;

    const char* bytes() const noexcept { return bytes_; }

private:
    // out's text including its NUL; compared as addresses since the two need not be one object.
    static bool overlaps(const char* text, std::size_t length, const char* own,
                         std::size_t own_length) noexcept {
        const auto first = reinterpret_cast<std::uintptr_t>(text);
        const auto own_first = reinterpret_cast<std::uintptr_t>(own);
        return first < own_first + own_length + 1 && own_first < first + length;
    }

    const char* bytes_;
    char* copy_ = nullptr;
};

// Bytes of text from position that match search, or 0 when no match starts there.
std::size_t match_at(const unsigned char* text, std::size_t text_length, std::size_t position,
                     const unsigned char* search, std::size_t search_length, bool case_sensitive) noexcept {
    if (case_sensitive) {
        return text_length - position >= search_length &&
                       std::memcmp(text + position, search, search_length) == 0
                   ? search_length
                   : 0;
    }
    std::size_t i = position;
    std::size_t j = 0;
    while (j < search_length) {
        if (i == text_length) {
            return 0;
        }
        const shared::utf8_unit t = shared::read_utf8_unit(text + i, text_length - i);
        const shared::utf8_unit s = shared::read_utf8_unit(search + j, search_length - j);
        if (t.raw != s.raw) {
            return 0;
        }
        // Malformed bytes match only themselves.
        if (t.raw ? t.value != s.value : shared::fold_case(t.value) != shared::fold_case(s.value)) {
            return 0;
        }
        i += t.size;
        j += s.size;
    }
    return i - position;
}

}  // namespace

t_uint32 uReplaceStringAdd(vesk::string_base& out, const char* text, t_uint32 text_length, const char* search,
                           t_uint32 search_length, const char* replacement, t_uint32 replacement_length,
                           bool case_sensitive) {
    const std::size_t text_end = vesk::text_length(text, text_length);
    const std::size_t search_end = vesk::text_length(search, search_length);
    const std::size_t replacement_end = vesk::text_length(replacement, replacement_length);
    if (text_end == 0) {
        return 0;
    }
    const stable_text source(text, text_end, out);
    if (search_end == 0) {
        out.append(source.bytes(), static_cast<t_uint32>(text_end));
        return 0;
    }
    const stable_text wanted(search, search_end, out);
    const stable_text substitute(replacement, replacement_end, out);

    const auto* bytes = reinterpret_cast<const unsigned char*>(source.bytes());
    const auto* search_bytes = reinterpret_cast<const unsigned char*>(wanted.bytes());
    const t_uint32 old_length = out.length();
    t_uint32 replaced = 0;
    try {
        std::size_t kept_from = 0;  // start of the bytes not yet appended
        std::size_t position = 0;
        while (position < text_end) {
            const std::size_t matched =
                match_at(bytes, text_end, position, search_bytes, search_end, case_sensitive);
            if (matched != 0) {
                if (position > kept_from) {
                    out.append(source.bytes() + kept_from, static_cast<t_uint32>(position - kept_from));
                }
                if (replacement_end != 0) {
                    out.append(substitute.bytes(), static_cast<t_uint32>(replacement_end));
                }
                ++replaced;
                position += matched;
                kept_from = position;
            } else if (case_sensitive) {
                ++position;
            } else {
                // Whole characters, so a match never begins inside one.
                position += shared::read_utf8_unit(bytes + position, text_end - position).size;
            }
        }
        if (text_end > kept_from) {
            out.append(source.bytes() + kept_from, static_cast<t_uint32>(text_end - kept_from));
        }
    } catch (...) {
        out.truncate(old_length);
        throw;
    }
    return replaced;
}
