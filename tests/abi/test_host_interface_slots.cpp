// The host's interfaces as the component declares them: each operation must sit at the slot the
// player's table gives it. Recording fakes are called through the raw table by slot number.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "abi/filesystem.h"
#include "abi/host_api.h"
#include "abi/index_mask.h"
#include "abi/stream.h"
#include "abi/track_handle.h"
#include "host/host_string.h"
#include "tests/support/null_abort.h"
#include "tests/support/raw_table.h"

namespace {

std::vector<std::string> calls;

template <class Interface>
class recording_service : public Interface {
public:
    t_uint32 release() override { return calls.push_back("release"), 1; }
    t_uint32 add_ref() override { return calls.push_back("add_ref"), 2; }
    bool query(service_ref*, const GUID&) override { return calls.push_back("query"), false; }
};

class fake_host_api final : public host_api {
public:
    t_uint32 find_service_class(const GUID&) override { return calls.push_back("find_service_class"), 7; }
    bool create_service(service_ref*, t_uint32 handle, t_uint32 index) override {
        calls.push_back("create_service " + std::to_string(handle) + " " + std::to_string(index));
        return true;
    }
};

class fake_location final : public track_location {
public:
    const char* path() const override { return calls.push_back("path"), "file:///a.flac"; }
};

class fake_track final : public recording_service<track_handle> {
public:
    const track_location* location() const override { return calls.push_back("location"), &where; }
    t_uint32 subsong_index() const override { return calls.push_back("subsong_index"), 0; }
    void lock() override { calls.push_back("lock"); }
    void unlock() override { calls.push_back("unlock"); }
    bool has_info() const override { return calls.push_back("has_info"), true; }
    t_uint64 info_timestamp() const override { return calls.push_back("info_timestamp"), 0; }
    bool fill_info(track_info&) const override { return calls.push_back("fill_info"), true; }
    bool peek_info(const track_info**) const override { return calls.push_back("peek_info"), true; }
    fake_location where;
};

class fake_list final : public track_handle_list {
public:
    t_uint32 count() const override { return calls.push_back("count"), 3; }
    void get_handle(service_ref*, t_uint32 index) const override { calls.push_back("get_handle " + std::to_string(index)); }
};

class fake_filesystem final : public recording_service<filesystem> {
public:
    bool canonical_path(const char*, vesk::string_base&) override { return calls.push_back("canonical_path"), false; }
    bool accepts_path(const char* path) override { return calls.push_back(std::string("accepts_path ") + path), true; }
    bool is_remote(const char*) override { return calls.push_back("is_remote"), false; }
    void open(service_ref*, const char* path, t_uint32 mode, orvanta_io::abort_callback&) override {
        calls.push_back(std::string("open ") + path + " " + std::to_string(mode));
    }
};

class fake_file final : public recording_service<output_file> {
public:
    void write(const void*, t_uint32 bytes, orvanta_io::abort_callback&) override {
        calls.push_back("write " + std::to_string(bytes));
    }
};

class fake_reader final : public orvanta_io::stream_reader {
public:
    t_uint32 read(void*, t_uint32 n, orvanta_io::abort_callback&) override { return calls.push_back("read"), n; }
    void read_exact(void*, t_uint32, orvanta_io::abort_callback&) override { calls.push_back("read_exact"); }
    t_uint64 skip_bytes(t_uint64 n, orvanta_io::abort_callback&) override { return calls.push_back("skip_bytes"), n; }
    void skip_exact(t_uint64, orvanta_io::abort_callback&) override { calls.push_back("skip_exact"); }
};

class fake_mask final : public index_mask {
public:
    bool get(t_uint32) const override { return calls.push_back("get"), true; }
    t_uint32 find(bool, t_uint32 start, t_int32 count) const override {
        calls.push_back("find " + std::to_string(start) + " " + std::to_string(count));
        return 0;
    }
};

std::string last_call() { return calls.empty() ? "" : calls.back(); }

TEST(host_interface_slots, host_api) {
    fake_host_api api;
    service_ref out;
    EXPECT_EQ(raw_table::call<t_uint32>(&api, 0, &filesystem::class_guid), 7u);
    EXPECT_EQ(last_call(), "find_service_class");
    EXPECT_TRUE(raw_table::call<bool>(&api, 1, &out, t_uint32{7}, t_uint32{2}));
    EXPECT_EQ(last_call(), "create_service 7 2");
}

TEST(host_interface_slots, track_handle_and_its_location_and_list) {
    fake_track track;
    const std::vector<std::pair<std::size_t, std::string>> plain = {
        {0, "release"}, {1, "add_ref"}, {4, "subsong_index"}, {5, "lock"}, {6, "unlock"}, {7, "has_info"}, {8, "info_timestamp"},
    };
    for (const auto& [slot, name] : plain) {
        raw_table::call<t_uint64>(&track, slot);
        EXPECT_EQ(last_call(), name) << "slot " << slot;
    }
    const auto* where = raw_table::call<const track_location*>(&track, 3);
    EXPECT_EQ(last_call(), "location");
    EXPECT_STREQ(raw_table::call<const char*>(where, 0), "file:///a.flac");
    raw_table::call<bool>(&track, 9, static_cast<track_info*>(nullptr));
    EXPECT_EQ(last_call(), "fill_info");
    const track_info* peeked = nullptr;
    raw_table::call<bool>(&track, 10, &peeked);
    EXPECT_EQ(last_call(), "peek_info");

    fake_list list;
    EXPECT_EQ(raw_table::call<t_uint32>(&list, 0), 3u);
    service_ref out;
    raw_table::call<void>(&list, 1, &out, t_uint32{2});
    EXPECT_EQ(last_call(), "get_handle 2");
}

TEST(host_interface_slots, filesystem_and_file) {
    fake_filesystem fs;
    null_abort abort;
    host::host_string text;
    raw_table::call<bool>(&fs, 3, "/x", static_cast<vesk::string_base*>(&text));
    EXPECT_EQ(last_call(), "canonical_path");
    raw_table::call<bool>(&fs, 4, "/x");
    EXPECT_EQ(last_call(), "accepts_path /x");
    raw_table::call<bool>(&fs, 5, "/x");
    EXPECT_EQ(last_call(), "is_remote");
    service_ref out;
    raw_table::call<void>(&fs, 6, &out, "/x", t_uint32{2}, static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(last_call(), "open /x 2");

    // The writer is the file's second interface, with a table of its own.
    fake_file file;
    orvanta_io::stream_writer* writer = &file;
    EXPECT_NE(static_cast<void*>(writer), static_cast<void*>(&file));
    raw_table::call<void>(writer, 0, "abc", t_uint32{3}, static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(last_call(), "write 3");
}

TEST(host_interface_slots, stream_reader_and_index_mask) {
    fake_reader reader;
    null_abort abort;
    char buffer[4];
    const std::vector<std::string> names = {"read", "read_exact", "skip_bytes", "skip_exact"};
    raw_table::call<t_uint32>(&reader, 0, static_cast<void*>(buffer), t_uint32{4}, static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(last_call(), names[0]);
    raw_table::call<void>(&reader, 1, static_cast<void*>(buffer), t_uint32{4}, static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(last_call(), names[1]);
    raw_table::call<t_uint64>(&reader, 2, t_uint64{4}, static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(last_call(), names[2]);
    raw_table::call<void>(&reader, 3, t_uint64{4}, static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(last_call(), names[3]);

    fake_mask mask;
    EXPECT_TRUE(raw_table::call<bool>(&mask, 0, t_uint32{1}));
    EXPECT_EQ(last_call(), "get");
    raw_table::call<t_uint32>(&mask, 1, true, t_uint32{5}, t_int32{-2});
    EXPECT_EQ(last_call(), "find 5 -2");
}

}  // namespace
