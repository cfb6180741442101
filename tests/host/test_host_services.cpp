// The host's gateway and its counted objects, called by slot as the component calls them.

#include <gtest/gtest.h>

#include "host/counted_service.h"
#include "host/host_services.h"
#include "host/local_filesystem.h"
#include "tests/host/scratch_dir.h"
#include "tests/support/raw_table.h"

namespace {

constexpr GUID other_class{0xA1B2C3D4, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

// A counting fake: notes its destruction, so a test sees exactly when the last reference went.
class probe : public service_base {
public:
    explicit probe(int* destroyed) : destroyed_(destroyed) {}
    ~probe() { ++*destroyed_; }
    bool query(service_ref* out, const GUID& guid) override { return host::query_own_class(this, out, guid, other_class); }

private:
    int* destroyed_;
};

t_uint32 find_class(host_api& api, const GUID& guid) { return raw_table::call<t_uint32>(&api, 0, &guid); }

bool create(host_api& api, service_ref& out, t_uint32 handle, t_uint32 index) {
    return raw_table::call<bool>(&api, 1, &out, handle, index);
}

TEST(counted_service, counts_references_and_deletes_at_zero) {
    const long live_before = host::live_counted_objects();
    int destroyed = 0;
    {
        service_ref object = host::make_counted<probe>(&destroyed);
        EXPECT_EQ(host::live_counted_objects(), live_before + 1);
        EXPECT_EQ(raw_table::call<t_uint32>(object.get(), 1), 2u);  // add_ref
        EXPECT_EQ(raw_table::call<t_uint32>(object.get(), 0), 1u);  // release
        service_ref copy = object;
        object = copy;  // the same object again: add-ref first, so it survives
        object.reset();
        EXPECT_EQ(destroyed, 0);

        service_ref answered;
        EXPECT_TRUE(raw_table::call<bool>(copy.get(), 2, &answered, &other_class));
        EXPECT_EQ(answered.get(), copy.get());
        EXPECT_FALSE(copy.get()->query(&answered, null_guid));
        EXPECT_EQ(answered.get(), copy.get());
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(host::live_counted_objects(), live_before);
}

TEST(host_api_impl, hands_out_services_of_a_class_in_the_order_they_were_added) {
    int destroyed = 0;
    host::host_api_impl api;
    service_ref first = host::make_counted<probe>(&destroyed);
    service_ref second = host::make_counted<probe>(&destroyed);
    api.add_service(other_class, first);
    api.add_service(other_class, second);
    api.add_service(filesystem::class_guid, host::make_counted<host::local_filesystem>());

    const t_uint32 handle = find_class(api, other_class);
    EXPECT_EQ(find_class(api, other_class), handle);
    EXPECT_NE(find_class(api, filesystem::class_guid), handle);
    EXPECT_EQ(api.service_count(other_class), 2u);

    service_ref out;
    ASSERT_TRUE(create(api, out, handle, 0));
    EXPECT_EQ(out.get(), first.get());
    ASSERT_TRUE(create(api, out, handle, 1));
    EXPECT_EQ(out.get(), second.get());
    // Past the last one, and for handles the host never gave out: false, out untouched.
    EXPECT_FALSE(create(api, out, handle, 2));
    EXPECT_FALSE(create(api, out, handle, 0xFFFFFFFFu));
    EXPECT_FALSE(create(api, out, 0x7FFFFFFFu, 0));
    EXPECT_FALSE(raw_table::call<bool>(&api, 1, static_cast<service_ref*>(nullptr), handle, t_uint32{0}));
    EXPECT_EQ(out.get(), second.get());
    EXPECT_EQ(api.services_created(), 2u);

    // The registry holds its own references until it lets them go.
    out.reset();
    first.reset();
    second.reset();
    EXPECT_EQ(destroyed, 0);
    api.clear_services();
    EXPECT_EQ(destroyed, 2);
    EXPECT_FALSE(create(api, out, handle, 0));
}

TEST(host_api_impl, an_unknown_class_enumerates_nothing_until_services_arrive) {
    host::host_api_impl api;
    const t_uint32 handle = find_class(api, other_class);
    service_ref out;
    EXPECT_FALSE(create(api, out, handle, 0));
    EXPECT_FALSE(create(api, out, find_class(api, null_guid), 0));

    int destroyed = 0;
    api.add_service(other_class, host::make_counted<probe>(&destroyed));
    EXPECT_TRUE(create(api, out, handle, 0));
    api.clear_services();
    out.reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(host_api_impl, first_of_two_accepting_filesystems_opens_the_file) {
    test_support::scratch_dir dir;
    test_support::test_abort abort;
    host::host_api_impl api;
    service_ref first = host::make_counted<host::local_filesystem>();
    service_ref second = host::make_counted<host::local_filesystem>();
    api.add_service(filesystem::class_guid, first);
    api.add_service(filesystem::class_guid, second);
    const std::string path = dir / "x.cue";

    // The component's search: the services in the host's order, the first that accepts wins.
    const t_uint32 handle = find_class(api, filesystem::class_guid);
    service_ref found;
    for (t_uint32 index = 0; create(api, found, handle, index); ++index) {
        if (raw_table::call<bool>(found.get(), 4, path.c_str())) break;
    }
    ASSERT_EQ(found.get(), first.get());
    service_ref file;
    found.as<filesystem>()->open(&file, path.c_str(), filesystem::open_mode_write_new, abort);
    file.as<output_file>()->write("x", 1, abort);
    file.reset();

    EXPECT_EQ(first.as<host::local_filesystem>()->counters().opens, 1u);
    EXPECT_EQ(second.as<host::local_filesystem>()->counters().opens, 0u);
    EXPECT_EQ(api.services_created(), 1u);
    EXPECT_EQ(test_support::read_file(path), "x");
}

}  // namespace
