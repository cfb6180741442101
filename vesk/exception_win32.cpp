#include "vesk/exception_win32.h"

#include <cstring>

#include "abi/shared_library.h"
#include "platform/heap.h"
#include "vesk/decimal_text.h"
#include "vesk/out_of_memory.h"
#include "vesk/string8.h"

namespace {

// What a copy says when there was no memory to copy the text: a copy constructor that raised
// while an exception is being thrown or caught would end the process.
constexpr const char* text_lost = "Win32 error (no memory for its text)";

char* duplicate(const char* text, std::size_t length) noexcept {
    void* block = platform::heap_allocate(length + 1);
    if (block) std::memcpy(block, text, length + 1);
    return static_cast<char*>(block);
}

}  // namespace

exception_win32::exception_win32(t_uint32 code) : code_(code), text_(nullptr) {
    vesk::string8_t<vesk::alloc_standard> message;
    if (!uFormatSystemErrorMessage(message, code)) {
        message.assign("Unknown error code (", vesk::length_up_to_nul);
        message.add(padded_decimal_text(code, 1).text);
        message.add(")");
    }
    text_ = duplicate(message.text(), message.length());
    if (!text_) vesk::throw_bad_alloc();
}

exception_win32::exception_win32(const exception_win32& other) noexcept
    : std::exception(other), code_(other.code_), text_(nullptr) {
    if (other.text_) text_ = duplicate(other.text_, std::strlen(other.text_));
}

exception_win32& exception_win32::operator=(const exception_win32& other) noexcept {
    if (this != &other) {
        char* text = other.text_ ? duplicate(other.text_, std::strlen(other.text_)) : nullptr;
        platform::heap_free(text_);
        text_ = text;
        code_ = other.code_;
    }
    return *this;
}

exception_win32::~exception_win32() { platform::heap_free(text_); }

const char* exception_win32::what() const noexcept { return text_ ? text_ : text_lost; }
