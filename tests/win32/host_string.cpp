#include "tests/win32/host_string.h"

#include <cstring>
#include <new>

namespace wine_host {

namespace {

t_uint32 bytes_of(const char* source, t_uint32 max_length) {
    if (!source) return 0;
    if (max_length == vesk::length_up_to_nul) return static_cast<t_uint32>(std::strlen(source));
    const void* nul = std::memchr(source, 0, max_length);
    return nul ? static_cast<t_uint32>(static_cast<const char*>(nul) - source) : max_length;
}

}  // namespace

void host_string::reserve(t_uint32 bytes) {
    if (bytes == 0) throw std::bad_alloc();  // a length that wrapped around
    if (bytes <= size_) return;
    char* fresh = new char[bytes];
    if (used_ != 0) std::memcpy(fresh, data_, used_);
    fresh[used_] = '\0';
    delete[] data_;
    data_ = fresh;
    size_ = bytes;
}

void host_string::append(const char* source, t_uint32 max_length) {
    const t_uint32 count = bytes_of(source, max_length);
    if (count == 0) return;
    // The source may lie in this very buffer, which reserve may move.
    if (data_ && source >= data_ && source < data_ + size_) {
        host_string copy;
        copy.assign(source, count);
        append(copy.text(), vesk::length_up_to_nul);
        return;
    }
    reserve(used_ + count + 1);
    std::memcpy(data_ + used_, source, count);
    used_ += count;
    data_[used_] = '\0';
}

const char* host_string::text() const { return used_ != 0 ? data_ : ""; }

void host_string::assign(const char* source, t_uint32 max_length) {
    const t_uint32 count = bytes_of(source, max_length);
    if (data_ && source >= data_ && source < data_ + size_) {
        std::memmove(data_, source, count);
        used_ = count;
        data_[used_] = '\0';
        return;
    }
    reserve(count + 1);
    if (count != 0) std::memcpy(data_, source, count);
    used_ = count;
    data_[used_] = '\0';
}

void host_string::truncate(t_uint32 new_length) {
    if (new_length >= used_) return;
    used_ = new_length;
    data_[used_] = '\0';
}

t_uint32 host_string::length() const { return used_; }

char* host_string::open_buffer(t_uint32 n) {
    reserve(n + 1);
    std::memset(data_, 0, size_);
    return data_;
}

void host_string::close_buffer() { used_ = data_ ? static_cast<t_uint32>(std::strlen(data_)) : 0; }

bool host_string::equals(const char* text) const { return std::strcmp(this->text(), text) == 0; }

bool host_string::ends_with(const char* text) const {
    const std::size_t length = std::strlen(text);
    return length <= used_ && std::memcmp(data_ + used_ - length, text, length) == 0;
}

}  // namespace wine_host
