// std::string keeps the text; the interface's length rules are applied before handing bytes to it.

#include "host/host_string.h"

#include "abi/conventions.h"

namespace host {

void host_string::append(const char* source, t_uint32 max_length) {
    // std::string copes with a source inside its own text.
    text_.append(source == nullptr ? "" : source, vesk::text_length(source, max_length));
}

const char* host_string::text() const { return text_.c_str(); }

void host_string::assign(const char* source, t_uint32 max_length) {
    text_.assign(source == nullptr ? "" : source, vesk::text_length(source, max_length));
}

void host_string::truncate(t_uint32 new_length) {
    if (new_length < text_.size()) {
        text_.resize(new_length);
    }
}

t_uint32 host_string::length() const { return static_cast<t_uint32>(text_.size()); }

char* host_string::open_buffer(t_uint32 n) {
    buffer_.assign(static_cast<std::size_t>(n) + 1, '\0');
    buffer_open_ = true;
    return buffer_.data();
}

void host_string::close_buffer() {
    if (!buffer_open_) {
        return;
    }
    text_.assign(buffer_.data());
    std::vector<char>().swap(buffer_);
    buffer_open_ = false;
}

}  // namespace host
