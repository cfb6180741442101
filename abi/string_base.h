// The string interface that crosses the binary interface: the host writes texts into the
// component's strings through it, and the component writes into the host's.
// Implemented on both sides; callers use only the table below.
#pragma once

#include <type_traits>

#include "abi/conventions.h"

namespace vesk {

// The root interface: something that accepts appended text.
class ORVANTA_SHARED_TYPE string_receiver {
public:
    // Adds the first k bytes of source, k = bytes before the first NUL but at most max_length;
    // a null source adds nothing.
    virtual void append(const char* source, t_uint32 max_length) = 0;  // slot 0

protected:
    string_receiver() = default;
    string_receiver(const string_receiver&) = default;
    string_receiver& operator=(const string_receiver&) = default;
    ~string_receiver() = default;
};

class ORVANTA_SHARED_TYPE string_base : public string_receiver {
public:
    // Never null: an empty string answers a static empty text.
    virtual const char* text() const = 0;                                // slot 1
    virtual void assign(const char* source, t_uint32 max_length) = 0;    // slot 2
    virtual void truncate(t_uint32 new_length) = 0;                      // slot 3
    virtual t_uint32 length() const = 0;                                 // slot 4
    // Room for n bytes of text, zero-filled; the length is unchanged until close_buffer.
    virtual char* open_buffer(t_uint32 n) = 0;                           // slot 5
    virtual void close_buffer() = 0;                                     // slot 6

protected:
    string_base() = default;
    string_base(const string_base&) = default;
    string_base& operator=(const string_base&) = default;
    ~string_base() = default;
};

static_assert(!std::has_virtual_destructor_v<string_base>);

}  // namespace vesk
