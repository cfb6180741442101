#include "vesk/string8.h"

#include <cstring>

#include "abi/conventions.h"
#include "platform/heap.h"
#include "vesk/out_of_memory.h"

namespace vesk {

namespace {

constexpr t_uint32 growth_headroom = 16;
constexpr t_uint32 spare_limit = 32;
constexpr t_uint32 largest_size = 0xFFFFFFFFu;

}  // namespace

void alloc_standard::resize(fields& f, t_uint32 s) {
    if (s == 0) {
        platform::heap_free(f.data);
        f.data = nullptr;
    } else if (!f.data) {
        void* block = platform::heap_allocate(s);
        if (!block) throw_bad_alloc();
        f.data = static_cast<char*>(block);
    } else if (f.size != s) {
        void* block = platform::heap_reallocate(f.data, s);
        if (!block) throw_bad_alloc();
        f.data = static_cast<char*>(block);
    }
    f.size = s;
}

void alloc_fast_aggressive::resize(fields& f, t_uint32 s) {
    t_uint32 c = f.capacity == 0 ? 1 : f.capacity;
    while (c < s) {
        if (c > largest_size / 2) throw_bad_alloc();
        c *= 2;
    }
    if (c != f.capacity) {
        if (!f.data || !platform::heap_resize_in_place(f.data, c)) {
            void* block = platform::heap_allocate(c);
            if (!block) throw_bad_alloc();
            if (f.data) {
                std::memcpy(block, f.data, f.size < s ? f.size : s);
                platform::heap_free(f.data);
            }
            f.data = static_cast<char*>(block);
        }
        f.capacity = c;
    }
    f.size = s;
}

template <typename Alloc>
string8_t<Alloc>& string8_t<Alloc>::operator=(const string8_t& other) {
    if (this != &other) assign(other.text(), length_up_to_nul);
    return *this;
}

template <typename Alloc>
string8_t<Alloc>& string8_t<Alloc>::operator=(string8_t&& other) noexcept {
    if (this != &other) {
        platform::heap_free(buffer_.data);
        buffer_ = other.buffer_;
        other.buffer_ = {};
    }
    return *this;
}

template <typename Alloc>
string8_t<Alloc>::~string8_t() {
    platform::heap_free(buffer_.data);
}

// needed = the new text length + 1, computed in 64 bits so that no request wraps: a buffer that
// would pass 32 bits with its headroom is refused as out of memory.
template <typename Alloc>
void string8_t<Alloc>::apply_buffer_rule(t_uint64 needed) {
    if (buffer_.size < needed) {
        if (needed > largest_size - growth_headroom) throw_bad_alloc();
        Alloc::resize(buffer_, static_cast<t_uint32>(needed) + growth_headroom);
    } else if (buffer_.size > needed + spare_limit) {
        Alloc::resize(buffer_, static_cast<t_uint32>(needed));
    }
}

template <typename Alloc>
bool string8_t<Alloc>::lies_in_buffer(const char* p) const noexcept {
    if (!buffer_.data || !p) return false;
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    const auto start = reinterpret_cast<std::uintptr_t>(buffer_.data);
    return address >= start && address - start < buffer_.size;
}

// A source inside our own buffer may move or be overwritten by the buffer rule, so it is copied
// aside first. Its length is also bounded by the buffer's end, which holds no text of its own.
template <typename Alloc>
string8_t<alloc_standard> string8_t<Alloc>::copy_of_own_text(const char* source, t_uint32 max_length) const {
    const auto room = static_cast<t_uint32>(buffer_.data + buffer_.size - source);
    string8_t<alloc_standard> copy;
    copy.assign(source, max_length < room ? max_length : room);
    return copy;
}

template <typename Alloc>
void string8_t<Alloc>::append(const char* source, t_uint32 max_length) {
    if (!source || max_length == 0) return;
    if (lies_in_buffer(source)) {
        append(copy_of_own_text(source, max_length).text(), length_up_to_nul);
        return;
    }
    const t_uint32 k = text_length(source, max_length);
    if (k == 0) return;
    apply_buffer_rule(t_uint64{buffer_.used} + k + 1);
    std::memcpy(buffer_.data + buffer_.used, source, k);
    buffer_.used += k;
    buffer_.data[buffer_.used] = 0;
}

template <typename Alloc>
const char* string8_t<Alloc>::text() const {
    return buffer_.used == 0 ? "" : buffer_.data;
}

// An empty text given to a string without a buffer keeps it without one: there is nothing to hold.
template <typename Alloc>
void string8_t<Alloc>::assign(const char* source, t_uint32 max_length) {
    if (max_length != 0 && lies_in_buffer(source)) {
        assign(copy_of_own_text(source, max_length).text(), length_up_to_nul);
        return;
    }
    const t_uint32 k = text_length(source, max_length);
    if (k == 0 && !buffer_.data) return;
    apply_buffer_rule(t_uint64{k} + 1);
    if (k != 0) std::memcpy(buffer_.data, source, k);
    buffer_.used = k;
    buffer_.data[k] = 0;
}

template <typename Alloc>
void string8_t<Alloc>::truncate(t_uint32 new_length) {
    if (new_length >= buffer_.used) return;
    apply_buffer_rule(t_uint64{new_length} + 1);
    buffer_.used = new_length;
    buffer_.data[new_length] = 0;
}

template <typename Alloc>
t_uint32 string8_t<Alloc>::length() const {
    return buffer_.used;
}

template <typename Alloc>
char* string8_t<Alloc>::open_buffer(t_uint32 n) {
    apply_buffer_rule(t_uint64{n} + 1);
    std::memset(buffer_.data, 0, buffer_.size);
    return buffer_.data;
}

// The caller's bytes have replaced the old text, so the new length counts before the buffer rule
// runs: a failure to give memory back then still leaves the written text. A caller that filled the
// whole buffer without a NUL keeps every byte: the buffer rule grows the block and the terminator
// goes after them; should that growth fail, the last byte gives way to the terminator.
template <typename Alloc>
void string8_t<Alloc>::close_buffer() {
    if (!buffer_.data) {
        buffer_.used = 0;
        return;
    }
    const t_uint32 n = text_length(buffer_.data, buffer_.size);
    if (n < buffer_.size) {
        buffer_.used = n;
        apply_buffer_rule(t_uint64{n} + 1);
        return;
    }
    try {
        apply_buffer_rule(t_uint64{n} + 1);
    } catch (...) {
        buffer_.used = n - 1;
        buffer_.data[n - 1] = 0;
        throw;
    }
    buffer_.used = n;
    buffer_.data[n] = 0;
}

template class string8_t<alloc_standard>;
template class string8_t<alloc_fast_aggressive>;

}  // namespace vesk
