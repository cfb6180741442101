// The host's own string behind the string interface: texts the host asks the component (or the
// helper library) to fill arrive here through the table, and the host reads them back as std::string.
// Implemented here; the component calls it by slot.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "abi/string_base.h"

namespace host {

class host_string final : public vesk::string_base {
public:
    host_string() = default;
    explicit host_string(std::string_view text) : text_(text) {}

    // Slot 0. At most max_length bytes, ending at a NUL; a null source adds nothing.
    void append(const char* source, t_uint32 max_length) override;
    // Slot 1. Never null.
    const char* text() const override;
    // Slot 2. As append, on an emptied string; a null source empties it.
    void assign(const char* source, t_uint32 max_length) override;
    // Slot 3. Only shortens.
    void truncate(t_uint32 new_length) override;
    // Slot 4.
    t_uint32 length() const override;
    // Slot 5. A zeroed buffer of n bytes plus a NUL; the text stays as it was until close_buffer.
    char* open_buffer(t_uint32 n) override;
    // Slot 6. The text becomes what was written into the buffer, up to its first NUL.
    void close_buffer() override;

    const std::string& str() const noexcept { return text_; }

private:
    std::string text_;
    std::vector<char> buffer_;  // between open_buffer and close_buffer
    bool buffer_open_ = false;
};

}  // namespace host
