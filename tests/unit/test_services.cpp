// The service templates, the registry and the component_interface record, called by slot.

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "abi/contextmenu_item.h"
#include "component/component_interface_impl.h"
#include "component/componentversion_impl_simple.h"
#include "component/factory_registry.h"
#include "component/module_globals.h"
#include "component/service_impl.h"
#include "host/host_string.h"
#include "io/stream_reader_impl.h"
#include "platform/standin.h"
#include "tests/support/heap_seam_reset.h"
#include "tests/support/null_abort.h"
#include "tests/support/raw_table.h"

namespace {

// A service class of its own, so the test's factories do not pose as the component's.
class test_service : public service_base {
public:
    static constexpr GUID class_guid{0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};
    explicit test_service(int tag = 0) : tag(tag) {}
    int tag;

protected:
    ~test_service() = default;
};

class state_writer final : public orvanta_io::stream_writer {
public:
    void write(const void*, t_uint32, orvanta_io::abort_callback&) override { ++calls; }
    int calls = 0;
};

class state_reader final : public orvanta_io::stream_reader_impl {
public:
    explicit state_reader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    t_uint32 read(void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {
        const std::size_t left = bytes_.size() - position;
        const t_uint32 n = bytes < left ? bytes : static_cast<t_uint32>(left);
        if (n > 0) std::memcpy(buffer, bytes_.data() + position, n);
        position += n;
        return n;
    }
    std::size_t position = 0;

private:
    std::vector<unsigned char> bytes_;
};

TEST(services, single_instance_counts_nothing_and_answers_only_its_class) {
    service_impl_single_t<test_service> object(5);
    EXPECT_EQ(raw_table::call<t_uint32>(&object, 1), 1u);  // add_ref
    EXPECT_EQ(raw_table::call<t_uint32>(&object, 1), 1u);
    EXPECT_EQ(raw_table::call<t_uint32>(&object, 0), 1u);  // release

    service_ref out;
    EXPECT_TRUE(raw_table::call<bool>(&object, 2, &out, &test_service::class_guid));
    EXPECT_EQ(out.get(), static_cast<service_base*>(&object));

    service_ref untouched(&object);
    for (const GUID& other : {contextmenu_item::class_guid, componentversion::class_guid, null_guid}) {
        service_ref empty;
        EXPECT_FALSE(raw_table::call<bool>(&object, 2, &empty, &other));
        EXPECT_FALSE(empty);
        EXPECT_FALSE(object.query(&untouched, other));
        EXPECT_EQ(untouched.get(), static_cast<service_base*>(&object));
    }
}

TEST(services, factories_push_onto_the_front_and_hand_out_one_object) {
    service_factory_base* const before = factory_list_head;
    {
        service_factory_single_t<test_service> first(1);
        service_factory_single_t<test_service> second(2);
        ASSERT_EQ(factory_list_head, &second);
        // The host reads the header words directly.
        auto* words = reinterpret_cast<void**>(&second);
        EXPECT_EQ(words[1], static_cast<void*>(&first));
        EXPECT_EQ(words[2], static_cast<const void*>(&test_service::class_guid));
        EXPECT_EQ(first.next, before);
        // The embedded object follows the header directly.
        EXPECT_EQ(reinterpret_cast<char*>(&second.instance()), reinterpret_cast<char*>(&second) + 3 * sizeof(void*));

        service_ref a, b;
        raw_table::call<void>(&second, 0, &a);
        raw_table::call<void>(&second, 0, &b);
        EXPECT_EQ(a.get(), b.get());
        EXPECT_EQ(a.as<test_service>()->tag, 2);
        factory_list_head = before;  // the test's factories leave with the scope
    }
}

TEST(services, transparent_factory_hands_out_its_own_service_part) {
    service_factory_base* const before = factory_list_head;
    {
        componentversion_impl_simple_factory factory("Name", "1.0", nullptr);
        EXPECT_EQ(factory_list_head, &factory);
        service_ref out;
        raw_table::call<void>(&factory, 0, &out);
        ASSERT_TRUE(out);
        EXPECT_EQ(reinterpret_cast<char*>(out.get()), reinterpret_cast<char*>(&factory) + 3 * sizeof(void*));
        EXPECT_TRUE(guid_equal(*static_cast<service_factory_base&>(factory).class_guid, componentversion::class_guid));

        host::host_string text;
        raw_table::call<void>(out.get(), 4, static_cast<vesk::string_base*>(&text));
        EXPECT_EQ(text.str(), "Name");
        text.assign("stale", vesk::length_up_to_nul);
        raw_table::call<void>(out.get(), 6, static_cast<vesk::string_base*>(&text));  // a null about text
        EXPECT_EQ(text.str(), "");
        factory_list_head = before;
    }
}

TEST(component_interface, answers_by_slot) {
    component_interface& record = the_component_interface();
    EXPECT_EQ(raw_table::call<t_uint32>(&record, 0), 71u);
    EXPECT_EQ(raw_table::call<service_factory_base*>(&record, 1), factory_list_head);
    EXPECT_FALSE(raw_table::call<bool>(&record, 6));

    raw_table::call<void>(&record, 5, true);
    raw_table::call<void>(&record, 5, false);
    EXPECT_FALSE(the_component_interface().services_ready());
    EXPECT_TRUE(the_component_interface().services_ever_ready());

    // save_state and load_state: nothing to write, and a record nobody claims is skipped up to a
    // header cut short, which ends the stream.
    state_writer writer;
    null_abort abort;
    raw_table::call<void>(&record, 2, static_cast<orvanta_io::stream_writer*>(&writer),
                          static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(writer.calls, 0);
    const std::vector<unsigned char> stream = {0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB,
                                               0xAB, 0xAB, 0xAB, 0xAB, 3,    0,    0,    0,    'x',  'y',
                                               'z',  1,    2};
    state_reader reader(stream);
    raw_table::call<void>(&record, 3, static_cast<orvanta_io::stream_reader*>(&reader),
                          static_cast<orvanta_io::abort_callback*>(&abort));
    EXPECT_EQ(reader.position, stream.size());
}

// The host's copy of each text is replaced only once the new copy exists.
TEST(component_interface, module_strings_keep_their_old_text_when_memory_runs_out) {
    component_interface& record = the_component_interface();
    heap_seam_reset reset;
    for (const unsigned long failing_call : {1ul, 2ul}) {
        SCOPED_TRACE(failing_call);
        record.set_module_strings("/old/path", "old.so");
        // Both texts change length, so each needs one heap call.
        platform::standin::fail_heap_call(failing_call);
        try {
            raw_table::call<void>(&record, 4, "/a/longer/new/path", "a-longer-name.so");
            ADD_FAILURE() << "no exception";
        } catch (const std::bad_alloc& e) {
            EXPECT_STREQ(e.what(), "bad allocation");
        }
        platform::standin::fail_heap_call(0);
        EXPECT_STREQ(component_module::module_path.text(), failing_call == 1 ? "/old/path" : "/a/longer/new/path");
        EXPECT_STREQ(component_module::module_file_name.text(), "old.so");
    }
    record.set_module_strings("", "");
}

TEST(component_interface, module_strings_are_copied_and_an_empty_one_clears) {
    service_impl_single_t<componentversion_impl_simple> version("n", "v", "a");
    component_interface& record = the_component_interface();
    host::host_string text;

    version.file_name_text(text);
    EXPECT_EQ(text.str(), "");

    std::string path = "/opt/orvanta/components/libtrevalin.so", name = "libtrevalin.so";
    raw_table::call<void>(&record, 4, path.c_str(), name.c_str());
    name.assign("overwritten");  // the component keeps its own copy
    version.file_name_text(text);
    EXPECT_EQ(text.str(), "libtrevalin.so");

    raw_table::call<void>(&record, 4, path.c_str(), "");
    version.file_name_text(text);
    EXPECT_EQ(text.str(), "");
}

}  // namespace
