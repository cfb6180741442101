// The state stream: records are skipped by their length, the end of the data ends the loop, and a
// record that promises more than remains is reported.

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "abi/io_exceptions.h"
#include "component/state_persistence.h"
#include "tests/support/null_abort.h"

namespace {

// A host-side reader over bytes that records how it is used; skips go through read.
class memory_reader final : public orvanta_io::stream_reader_impl {
public:
    explicit memory_reader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    t_uint32 read(void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {
        const std::size_t left = bytes_.size() - position_;
        const t_uint32 n = bytes < left ? bytes : static_cast<t_uint32>(left);
        if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        reads.push_back(bytes);
        return n;
    }
    std::size_t position() const { return position_; }
    std::vector<t_uint32> reads;

private:
    std::vector<unsigned char> bytes_;
    std::size_t position_ = 0;
};

class memory_writer final : public orvanta_io::stream_writer {
public:
    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {
        const auto* p = static_cast<const unsigned char*>(buffer);
        bytes_written.insert(bytes_written.end(), p, p + bytes);
        ++calls;
    }
    std::vector<unsigned char> bytes_written;
    int calls = 0;
};

// A host's own I/O failure that is not about the data running out.
class host_io_failure : public orvanta_io::exception_io {};

constexpr GUID guid_a{0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID guid_b{0xAAAAAAAA, 0xBBBB, 0xCCCC, {8, 7, 6, 5, 4, 3, 2, 1}};

void put_record(std::vector<unsigned char>& out, const GUID& guid, const std::string& data) {
    const auto* g = reinterpret_cast<const unsigned char*>(&guid);
    out.insert(out.end(), g, g + sizeof guid);
    const auto length = static_cast<t_uint32>(data.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(length >> (8 * i)));
    out.insert(out.end(), data.begin(), data.end());
}

// A variable that reads a given number of its record's bytes, optionally failing after that.
class test_variable final : public persistent_variable {
public:
    enum class failure { none, io_data, other };
    test_variable(const GUID& guid, t_uint32 reads, failure fails = failure::none)
        : persistent_variable(guid), reads_(reads), fails_(fails) {}

    void write_state(orvanta_io::stream_writer& writer, orvanta_io::abort_callback& abort) override {
        writer.write(saved.data(), static_cast<t_uint32>(saved.size()), abort);
    }
    void read_state(orvanta_io::stream_reader& reader, t_uint32 bytes, orvanta_io::abort_callback& abort) override {
        announced = bytes;
        loaded.resize(reads_);
        reader.read_exact(loaded.data(), reads_, abort);
        if (fails_ == failure::io_data) throw orvanta_io::exception_io_data();
        if (fails_ == failure::other) throw std::runtime_error("variable failed");
    }

    std::string saved;
    std::string loaded;
    t_uint32 announced = 0;

private:
    t_uint32 reads_;
    failure fails_;
};

TEST(state_persistence, without_variables_save_writes_nothing) {
    memory_writer writer;
    null_abort abort;
    save_state(writer, abort);
    EXPECT_EQ(writer.calls, 0);
}

TEST(state_persistence, empty_stream_ends_quietly) {
    memory_reader reader({});
    null_abort abort;
    EXPECT_NO_THROW(load_state(reader, abort));
}

TEST(state_persistence, unknown_records_are_skipped_and_a_truncated_header_ends_the_loop) {
    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "hello");
    put_record(bytes, guid_b, std::string(300, 'x'));
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7});  // seven bytes of a third header
    memory_reader reader(bytes);
    null_abort abort;
    EXPECT_NO_THROW(load_state(reader, abort));
    EXPECT_EQ(reader.position(), bytes.size());
}

TEST(state_persistence, record_announcing_more_than_remains_is_reported) {
    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "abc");
    bytes.resize(bytes.size() - 1);  // the data ends one byte short
    memory_reader reader(bytes);
    null_abort abort;
    try {
        load_state(reader, abort);
        FAIL() << "no exception";
    } catch (const orvanta_io::exception_io_data_truncation& e) {
        EXPECT_STREQ(e.what(), "Unsupported format or corrupted file");
    }
}

TEST(state_persistence, zero_length_record_is_followed_directly_by_the_next_header) {
    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "");
    put_record(bytes, guid_b, "xy");
    test_variable b(guid_b, 2);
    memory_reader reader(bytes);
    null_abort abort;
    load_state(reader, abort);
    EXPECT_EQ(b.loaded, "xy");
    EXPECT_EQ(b.announced, 2u);
}

TEST(state_persistence, variable_sees_only_its_record_and_the_unread_rest_is_skipped) {
    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "abcdef");
    put_record(bytes, guid_b, "next");
    test_variable a(guid_a, 2);
    test_variable b(guid_b, 4);
    memory_reader reader(bytes);
    null_abort abort;
    load_state(reader, abort);
    EXPECT_EQ(a.loaded, "ab");
    EXPECT_EQ(b.loaded, "next");
}

TEST(state_persistence, variable_reading_past_its_record_fails_only_itself) {
    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "abc");
    put_record(bytes, guid_b, "next");
    test_variable a(guid_a, 10);  // wants more than its record holds
    test_variable b(guid_b, 4);
    memory_reader reader(bytes);
    null_abort abort;
    EXPECT_NO_THROW(load_state(reader, abort));
    EXPECT_EQ(b.loaded, "next");
}

TEST(state_persistence, io_data_failure_of_a_variable_is_ignored_but_others_pass) {
    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "abcd");
    put_record(bytes, guid_b, "next");
    {
        test_variable a(guid_a, 1, test_variable::failure::io_data);
        test_variable b(guid_b, 4);
        memory_reader reader(bytes);
        null_abort abort;
        EXPECT_NO_THROW(load_state(reader, abort));
        EXPECT_EQ(b.loaded, "next");
    }
    test_variable a(guid_a, 1, test_variable::failure::other);
    memory_reader reader(bytes);
    null_abort abort;
    EXPECT_THROW(load_state(reader, abort), std::runtime_error);
}

// Only running out of data ends the loop quietly: any other failure of the header reads, and a
// short skip after a variable's record, reach the host.
TEST(state_persistence, other_failures_of_the_reads_pass_to_the_host) {
    class broken_reader final : public orvanta_io::stream_reader_impl {
    public:
        t_uint32 read(void*, t_uint32, orvanta_io::abort_callback&) override { throw host_io_failure(); }
    };
    broken_reader broken;
    null_abort abort;
    EXPECT_THROW(load_state(broken, abort), host_io_failure);

    std::vector<unsigned char> bytes;
    put_record(bytes, guid_a, "abcde");
    bytes.resize(bytes.size() - 2);  // the record's data ends two bytes short
    test_variable a(guid_a, 1);
    memory_reader reader(bytes);
    EXPECT_THROW(load_state(reader, abort), orvanta_io::exception_io_data_truncation);
    EXPECT_EQ(a.loaded, "a");
}

TEST(state_persistence, save_writes_guid_length_and_bytes_per_variable) {
    test_variable a(guid_a, 0);
    a.saved = "xyz";
    test_variable b(guid_b, 0);  // registered last, so written first
    memory_writer writer;
    null_abort abort;
    save_state(writer, abort);

    std::vector<unsigned char> expected;
    put_record(expected, guid_b, "");
    put_record(expected, guid_a, "xyz");
    EXPECT_EQ(writer.bytes_written, expected);
    EXPECT_EQ(writer.calls, 5);  // no data write for the empty record
}

TEST(stream_reader_impl, skip_bytes_reads_in_chunks_of_256_and_stops_at_the_end) {
    memory_reader reader(std::vector<unsigned char>(300, 0));
    null_abort abort;
    orvanta_io::stream_reader& r = reader;
    EXPECT_EQ(r.skip_bytes(0, abort), 0u);
    EXPECT_TRUE(reader.reads.empty());
    EXPECT_EQ(r.skip_bytes(600, abort), 300u);
    EXPECT_EQ(reader.reads, (std::vector<t_uint32>{256, 256}));
}

TEST(stream_reader_impl, exact_operations_report_short_data) {
    null_abort abort;
    {
        memory_reader reader(std::vector<unsigned char>(300, 0));
        EXPECT_THROW(reader.skip_exact(600, abort), orvanta_io::exception_io_data_truncation);
    }
    memory_reader reader(std::vector<unsigned char>(10, 7));
    unsigned char buffer[16] = {};
    try {
        reader.read_exact(buffer, 16, abort);
        FAIL() << "no exception";
    } catch (const orvanta_io::exception_io_data& e) {
        EXPECT_STREQ(e.what(), "Unsupported format or corrupted file");
    }
    EXPECT_EQ(reader.position(), 10u);
}

// skip_exact goes through the table, so a reader that skips on its own is not read byte by byte.
TEST(stream_reader_impl, skip_exact_uses_the_readers_own_skipping) {
    class seeking_reader final : public orvanta_io::stream_reader_impl {
    public:
        t_uint32 read(void*, t_uint32, orvanta_io::abort_callback&) override { return ++reads, 0; }
        t_uint64 skip_bytes(t_uint64 bytes, orvanta_io::abort_callback&) override {
            const t_uint64 skipped = bytes < left ? bytes : left;
            left -= skipped;
            return skipped;
        }
        t_uint64 left = 1000;
        int reads = 0;
    };
    seeking_reader reader;
    null_abort abort;
    reader.skip_exact(600, abort);
    EXPECT_EQ(reader.left, 400u);
    EXPECT_THROW(reader.skip_exact(600, abort), orvanta_io::exception_io_data_truncation);
    EXPECT_EQ(reader.reads, 0);
}

TEST(bounded_reader, stops_at_its_limit) {
    memory_reader inner(std::vector<unsigned char>(100, 1));
    bounded_reader limited(inner, 10);
    null_abort abort;
    unsigned char buffer[64];
    EXPECT_EQ(limited.read(buffer, 64, abort), 10u);
    EXPECT_EQ(limited.remaining(), 0u);
    EXPECT_EQ(limited.read(buffer, 64, abort), 0u);
    EXPECT_EQ(inner.position(), 10u);
}

}  // namespace
