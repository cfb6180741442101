// The test host's own string: what the component writes its texts into (the version record's and
// the command's texts, a filesystem's canonical path). Implemented here; the component calls it by
// slot.
#pragma once

#include "abi/string_base.h"

namespace wine_host {

// Lengths as in the component: at most max_length bytes, stopping at the first NUL; all ones means
// up to the NUL. A null source is the empty text. Allocation failure raises std::bad_alloc and
// leaves the string as it was.
class host_string final : public vesk::string_base {
public:
    host_string() = default;
    explicit host_string(const char* text) { assign(text, vesk::length_up_to_nul); }
    host_string(const host_string&) = delete;
    host_string& operator=(const host_string&) = delete;
    ~host_string() { delete[] data_; }

    void append(const char* source, t_uint32 max_length) override;  // slot 0
    const char* text() const override;                              // slot 1
    void assign(const char* source, t_uint32 max_length) override;  // slot 2
    void truncate(t_uint32 new_length) override;                    // slot 3
    t_uint32 length() const override;                               // slot 4
    char* open_buffer(t_uint32 n) override;                         // slot 5
    void close_buffer() override;                                   // slot 6

    bool equals(const char* text) const;
    bool ends_with(const char* text) const;

private:
    // Room for bytes (terminator included), keeping the text.
    void reserve(t_uint32 bytes);

    char* data_ = nullptr;
    t_uint32 size_ = 0;
    t_uint32 used_ = 0;
};

}  // namespace wine_host
