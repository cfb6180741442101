// Opening output files through the host's filesystem services, and the abort signal's event.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "abi/io_exceptions.h"
#include "component/module_globals.h"
#include "io/abort_callback_impl.h"
#include "io/output_file_access.h"
#include "platform/standin.h"
#include "vesk/exception_win32.h"

namespace {

// Counts references, so the tests can see that every service is released.
template <class Interface>
class counted : public Interface {
public:
    t_uint32 release() override { return --references; }
    t_uint32 add_ref() override { return ++references; }
    bool query(service_ref*, const GUID&) override { return false; }
    t_uint32 references = 0;
};

class fake_file final : public counted<output_file> {
public:
    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {
        written.append(static_cast<const char*>(buffer), bytes);
    }
    std::string written;
};

class fake_filesystem final : public counted<filesystem> {
public:
    explicit fake_filesystem(std::string prefix) : prefix_(std::move(prefix)) {}
    bool canonical_path(const char*, vesk::string_base&) override { return false; }
    bool accepts_path(const char* path) override {
        ++asked;
        return std::string(path).rfind(prefix_, 0) == 0;
    }
    bool is_remote(const char*) override { return false; }
    void open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) override {
        opened_path = path;
        opened_mode = mode;
        abort_seen = &abort;
        if (fail_open) throw orvanta_io::exception_io_data();
        out->assign(&file);
    }

    fake_file file;
    int asked = 0;
    bool fail_open = false;
    std::string opened_path;
    t_uint32 opened_mode = 0;
    const orvanta_io::abort_callback* abort_seen = nullptr;

private:
    std::string prefix_;
};

class fake_host final : public host_api {
public:
    t_uint32 find_service_class(const GUID& guid) override { return guid_equal(guid, filesystem::class_guid) ? 7 : 99; }
    bool create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) override {
        if (class_handle != 7 || index >= services.size()) return false;
        ++created;
        out->assign(services[index]);
        return true;
    }
    std::vector<filesystem*> services;
    int created = 0;
};

class output_file_access : public ::testing::Test {
protected:
    void SetUp() override { component_module::host_api = &host; }
    void TearDown() override { component_module::host_api = nullptr; }
    fake_host host;
};

TEST_F(output_file_access, first_accepting_service_opens_and_later_ones_are_not_created) {
    fake_filesystem other("ftp:"), first("/music"), second("/");
    host.services = {&other, &first, &second};
    orvanta_io::abort_callback_impl abort;
    {
        service_ref file;
        filesystem::g_open(&file, "/music/a.cue", 2, abort);
        ASSERT_EQ(file.get(), static_cast<service_base*>(&first.file));
        EXPECT_EQ(first.opened_path, "/music/a.cue");
        EXPECT_EQ(first.opened_mode, 2u);
        EXPECT_EQ(first.abort_seen, &abort);
        EXPECT_EQ(second.asked, 0);
        EXPECT_EQ(host.created, 2);
        orvanta_io::stream_writer& writer = *file.as<output_file>();
        writer.write("REM", 3, abort);
        EXPECT_EQ(first.file.written, "REM");
    }
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(other.references, 0u);
    EXPECT_EQ(first.file.references, 0u);
}

TEST_F(output_file_access, no_accepting_service_is_an_invalid_path) {
    fake_filesystem only("ftp:");
    host.services = {&only};
    orvanta_io::abort_callback_impl abort;
    service_ref file;
    try {
        filesystem::g_open(&file, "/music/a.cue", 2, abort);
        FAIL() << "no exception";
    } catch (const orvanta_io::exception_io& e) {
        EXPECT_STREQ(e.what(), "Invalid path");
        EXPECT_NE(dynamic_cast<const orvanta_io::exception_io_no_handler_for_path*>(&e), nullptr);
        EXPECT_EQ(dynamic_cast<const orvanta_io::exception_io_data*>(&e), nullptr);
    }
    EXPECT_FALSE(file);
    EXPECT_EQ(only.references, 0u);
}

TEST_F(output_file_access, a_failing_open_passes_through_and_releases_the_service) {
    fake_filesystem fs("/");
    fs.fail_open = true;
    host.services = {&fs};
    orvanta_io::abort_callback_impl abort;
    service_ref file;
    EXPECT_THROW(filesystem::g_open(&file, "/a.cue", 2, abort), orvanta_io::exception_io_data);
    EXPECT_EQ(fs.references, 0u);
}

TEST_F(output_file_access, without_a_host_nothing_accepts_a_path) {
    component_module::host_api = nullptr;
    service_ref found;
    EXPECT_FALSE(find_filesystem("/a.cue", found));
}

TEST(abort_callback_impl, creates_an_unsignalled_event_and_closes_it) {
    const long before = platform::standin::open_events();
    {
        orvanta_io::abort_callback_impl abort;
        EXPECT_FALSE(abort.aborting());
        EXPECT_NE(abort.abort_event(), nullptr);
        EXPECT_EQ(platform::standin::open_events(), before + 1);
    }
    EXPECT_EQ(platform::standin::open_events(), before);
}

TEST(abort_callback_impl, failed_event_creation_raises_the_system_error) {
    platform::standin::fail_next_event_creation(8);
    try {
        orvanta_io::abort_callback_impl abort;
        FAIL() << "no exception";
    } catch (const exception_win32& e) {
        EXPECT_EQ(e.code(), 8u);
        EXPECT_STRNE(e.what(), "");
    }
}

}  // namespace
