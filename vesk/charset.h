// Conversions between the component's UTF-8 and the platform's forms: UTF-16 for the dialog, the
// system ANSI code page for the ANSI output modes.
//
// Lengths: a UTF-8 argument comes with a maximum number of bytes to look at; a conversion also
// stops at the first NUL or invalid sequence, keeping what came before. UTF-16 units are char16_t
// in the platform's byte order. No conversion reports an error; only allocation fails, through
// vesk::throw_bad_alloc().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "abi/types.h"
#include "platform/heap.h"
#include "vesk/out_of_memory.h"

namespace vesk {

// A heap array of text units that frees itself: the owned result of a conversion. size() counts
// every unit of the array, the terminator included.
template <typename unit_type>
class heap_text_t {
public:
    heap_text_t() noexcept = default;
    // count zeroed units.
    explicit heap_text_t(t_uint32 count) {
        if constexpr (sizeof(std::size_t) == sizeof(t_uint32)) {
            // Only a 32-bit process can fail to express the byte size.
            if (count > SIZE_MAX / sizeof(unit_type)) throw_bad_alloc();
        }
        const std::size_t bytes = std::size_t{count} * sizeof(unit_type);
        units_ = static_cast<unit_type*>(platform::heap_allocate(bytes));
        if (!units_) throw_bad_alloc();
        std::memset(units_, 0, bytes);
        size_ = count;
    }
    heap_text_t(heap_text_t&& other) noexcept
        : units_(std::exchange(other.units_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    heap_text_t& operator=(heap_text_t&& other) noexcept {
        if (this != &other) {
            platform::heap_free(units_);
            units_ = std::exchange(other.units_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    heap_text_t(const heap_text_t&) = delete;
    heap_text_t& operator=(const heap_text_t&) = delete;
    ~heap_text_t() { platform::heap_free(units_); }

    unit_type* data() noexcept { return units_; }
    const unit_type* data() const noexcept { return units_; }
    t_uint32 size() const noexcept { return size_; }

private:
    unit_type* units_ = nullptr;
    t_uint32 size_ = 0;
};

using utf16_text = heap_text_t<char16_t>;
using ansi_text = heap_text_t<char>;

// The room of the UTF-8 path buffer the dialog's answer is converted into.
inline constexpr t_uint32 utf8_path_capacity = 2048;

// A UTF-16 array being filled: room for capacity units, count of them written so far.
struct utf16_buffer {
    char16_t* units;
    t_uint32 capacity;
    t_uint32 count;
};

// Decodes one character of 1 to 6 bytes, looking at no more than max bytes (at most 6) and at
// nothing after a NUL. Returns its length, or 0 at a NUL, at an invalid or overlong sequence or
// when the sequence is longer than max; *code_point (when given) is 0 then. Surrogates and values
// above 0x10FFFF are decoded as they stand.
t_uint32 decode_utf8_char(const char* bytes, t_uint32 max, t_uint32* code_point) noexcept;

// Writes code_point's 1 to 6 bytes to out (6 bytes of room; null asks for the length only).
// Returns the length, 0 for a code point above 0x7FFFFFFF (nothing written).
t_uint32 encode_utf8_char(t_uint32 code_point, char* out) noexcept;

// The units utf8_to_utf16 needs for the first max bytes, terminator included. Counting stops at a
// NUL, an invalid sequence or a code point above 0x10FFFF.
t_uint32 utf16_units_for_utf8(const char* bytes, t_uint32 max) noexcept;

// Appends one unit, or a surrogate pair from 0x10000 on, as far as the buffer has room (so only
// the first half of a pair when one unit is left). 0 and values above 0x10FFFF add nothing.
void append_utf16_char(utf16_buffer& buffer, t_uint32 code_point) noexcept;

// Converts up to max bytes into out and terminates it within capacity. Returns the index of the
// terminator (the units of text); capacity 0 writes nothing and returns 0.
t_uint32 utf8_to_utf16(char16_t* out, t_uint32 capacity, const char* bytes, t_uint32 max) noexcept;

// The UTF-16 form of the first 1024 bytes of a NUL-terminated text; a character that straddles
// byte 1024 is dropped. Null is the empty text.
utf16_text utf16_text_from_utf8(const char* text);

// Converts NUL-terminated UTF-16 (null: empty) into out: at most 2047 bytes and a NUL, from at
// most 2048 units. A longer text is cut at byte 2047, possibly inside a character. Unpaired
// surrogates are encoded as they stand. Returns the bytes of text.
t_uint32 utf16_to_utf8(char (&out)[utf8_path_capacity], const char16_t* in) noexcept;

// The ANSI form of the first n bytes (up to a NUL), terminator included in its size. Characters
// the code page cannot hold become its default character, and so does each byte that starts no
// valid UTF-8 sequence: the rest of the text is kept.
ansi_text ansi_text_from_utf8(const char* bytes, t_uint32 n);

// Units before the terminator; 0 for null.
t_uint32 utf16_length(const char16_t* text) noexcept;

}  // namespace vesk
