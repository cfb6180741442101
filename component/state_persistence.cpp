#include "component/state_persistence.h"

#include <cstring>

#include "abi/io_exceptions.h"
#include "containers/growable_array.h"

constinit persistent_variable* persistent_variable_list_head = nullptr;

persistent_variable::persistent_variable(const GUID& variable_guid) noexcept
    : guid(variable_guid), next(persistent_variable_list_head) {
    persistent_variable_list_head = this;
}

persistent_variable::~persistent_variable() {
    // Variables live until unload, but one that goes earlier must not leave a dangling entry.
    for (persistent_variable** link = &persistent_variable_list_head; *link; link = &(*link)->next) {
        if (*link == this) {
            *link = next;
            break;
        }
    }
}

t_uint32 bounded_reader::read(void* buffer, t_uint32 bytes, orvanta_io::abort_callback& abort) {
    const t_uint32 wanted = bytes < remaining_ ? bytes : remaining_;
    if (wanted == 0) return 0;
    const t_uint32 got = inner_.read(buffer, wanted, abort);
    remaining_ -= got;
    return got;
}

namespace {

// Collects what a variable writes, so its length can precede it in the stream.
class byte_buffer_writer final : public orvanta_io::stream_writer {
public:
    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {
        if (bytes == 0) return;
        const t_uint32 old_count = bytes_.count();
        if (bytes > 0xFFFFFFFFu - old_count) vesk::throw_bad_alloc();
        bytes_.resize(old_count + bytes);
        std::memcpy(&bytes_[old_count], buffer, bytes);
    }
    const growable_array_t<t_uint8>& bytes() const noexcept { return bytes_; }
    void clear() { bytes_.resize(0); }

private:
    growable_array_t<t_uint8> bytes_;
};

void put_le32(t_uint8 (&out)[4], t_uint32 value) noexcept {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<t_uint8>(value >> (8 * i));
}

t_uint32 get_le32(const t_uint8 (&in)[4]) noexcept {
    t_uint32 value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<t_uint32>(in[i]) << (8 * i);
    return value;
}

persistent_variable* find_variable(const GUID& guid) noexcept {
    for (persistent_variable* v = persistent_variable_list_head; v; v = v->next) {
        if (guid_equal(v->guid, guid)) return v;
    }
    return nullptr;
}

}  // namespace

void save_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort) {
    byte_buffer_writer buffer;
    for (persistent_variable* v = persistent_variable_list_head; v; v = v->next) {
        buffer.clear();
        v->write_state(buffer, abort);
        writer.write(&v->guid, sizeof v->guid, abort);
        const t_uint32 length = buffer.bytes().count();
        t_uint8 length_bytes[4];
        put_le32(length_bytes, length);
        writer.write(length_bytes, sizeof length_bytes, abort);
        if (length > 0) writer.write(&buffer.bytes()[0], length, abort);
    }
}

void load_state(orvanta_io::stream_reader& reader, orvanta_io::abort_callback& abort) {
    for (;;) {
        GUID guid;
        t_uint8 length_bytes[4];
        try {
            reader.read_exact(&guid, sizeof guid, abort);
            reader.read_exact(length_bytes, sizeof length_bytes, abort);
        } catch (const orvanta_io::exception_io_data&) {
            return;  // the end of the data
        }
        const t_uint32 length = get_le32(length_bytes);
        if (persistent_variable* variable = find_variable(guid)) {
            bounded_reader record(reader, length);
            try {
                variable->read_state(record, length, abort);
            } catch (const orvanta_io::exception_io_data&) {
                // A record the variable cannot read is dropped; the rest of the stream still counts.
            }
            reader.skip_exact(record.remaining(), abort);
        } else {
            reader.skip_exact(length, abort);
        }
    }
}
