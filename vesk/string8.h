// The component's growable UTF-8 string, in two allocation strategies. The host fills these
// strings through the string_base table, so the operations keep its slot order.
#pragma once

#include <type_traits>

#include "abi/string_base.h"
#include "abi/types.h"

namespace vesk {

// Buffer kept close to the text's size: the heap block is exactly `size` bytes.
struct alloc_standard {
    struct fields {
        char* data = nullptr;  // heap block, null until the first allocation
        t_uint32 size = 0;     // bytes in the block
        t_uint32 used = 0;     // text length without the NUL
    };
    // The block becomes exactly s bytes (0 frees it), keeping min(old, s) bytes. On a heap
    // failure raises std::bad_alloc with the fields untouched.
    static void resize(fields& f, t_uint32 s);
};

// For long texts built from many appends: the block's capacity doubles and never shrinks, so block
// moves stay logarithmic in the final length; only `size` (the part counted as the buffer) follows
// the buffer rule.
struct alloc_fast_aggressive {
    struct fields {
        char* data = nullptr;   // heap block, null until the first allocation
        t_uint32 capacity = 0;  // bytes in the block, 0 or a power of two
        t_uint32 size = 0;      // bytes counted as the buffer, never above capacity
        t_uint32 used = 0;      // text length without the NUL
    };
    // `size` becomes s; the capacity doubles until it holds s, enlarging the block in place where
    // the heap allows and moving it otherwise. On a heap failure, or a capacity that would pass
    // 32 bits, raises std::bad_alloc with the fields untouched.
    static void resize(fields& f, t_uint32 s);
};

// Outside an open_buffer/close_buffer span: when size != 0, used < size and data[used] == 0.
// Every change runs the buffer rule first (grow to needed + 16 when short, shrink to needed when
// more than 32 bytes would be spare), so a failed allocation leaves the text as it was.
// Texts stop at their first NUL. Destroyed through its own type only (no virtual destructor).
template <typename Alloc>
class string8_t final : public string_base {
public:
    string8_t() noexcept = default;
    explicit string8_t(const char* source) { assign(source, length_up_to_nul); }
    string8_t(const string8_t& other) : string_base() { assign(other.text(), length_up_to_nul); }
    string8_t(string8_t&& other) noexcept : string_base(), buffer_(other.buffer_) { other.buffer_ = {}; }
    string8_t& operator=(const string8_t& other);
    string8_t& operator=(string8_t&& other) noexcept;
    ~string8_t();

    void append(const char* source, t_uint32 max_length) override;  // slot 0
    const char* text() const override;                               // slot 1
    void assign(const char* source, t_uint32 max_length) override;  // slot 2
    void truncate(t_uint32 new_length) override;                     // slot 3
    t_uint32 length() const override;                                // slot 4
    char* open_buffer(t_uint32 n) override;                          // slot 5
    void close_buffer() override;                                    // slot 6

    // Appends the whole text up to its NUL.
    void add(const char* source) { append(source, length_up_to_nul); }
    bool is_empty() const noexcept { return buffer_.used == 0; }
    // Bytes the string counts as its buffer.
    t_uint32 size() const noexcept { return buffer_.size; }
    // Bytes in the heap block behind the buffer.
    template <typename A = Alloc, typename = std::enable_if_t<std::is_same_v<A, alloc_fast_aggressive>>>
    t_uint32 capacity() const noexcept {
        return buffer_.capacity;
    }

private:
    void apply_buffer_rule(t_uint64 needed);
    bool lies_in_buffer(const char* p) const noexcept;
    string8_t<alloc_standard> copy_of_own_text(const char* source, t_uint32 max_length) const;

    typename Alloc::fields buffer_;
};

extern template class string8_t<alloc_standard>;
extern template class string8_t<alloc_fast_aggressive>;

// The host sees the table pointer followed by exactly these fields.
static_assert(sizeof(string8_t<alloc_standard>) == 2 * sizeof(void*) + 8);
static_assert(sizeof(string8_t<alloc_fast_aggressive>) ==
              (2 * sizeof(void*) + 12 + alignof(void*) - 1) / alignof(void*) * alignof(void*));
static_assert(!std::has_virtual_destructor_v<string8_t<alloc_standard>>);

}  // namespace vesk
