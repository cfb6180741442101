// Loading the built component as the player does, and reading it through the raw tables only.

#include <gtest/gtest.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

#include "abi/componentversion.h"
#include "abi/contextmenu_item.h"
#include "host/component_loader.h"
#include "host/host_services.h"
#include "host/host_string.h"
#include "platform/standin.h"
#include "tests/support/raw_table.h"

namespace {

const std::string component_path = TREVALIN_COMPONENT_PATH;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The factory header words as the host reads them: table, next, class GUID.
service_factory_base* next_of(service_factory_base* factory) {
    return static_cast<service_factory_base*>(reinterpret_cast<void**>(factory)[1]);
}
const GUID* class_guid_of(service_factory_base* factory) {
    return static_cast<const GUID*>(reinterpret_cast<void**>(factory)[2]);
}

std::string text_at_slot(service_base* object, std::size_t slot) {
    host::host_string text("left over");
    raw_table::call<void>(object, slot, static_cast<vesk::string_base*>(&text));
    return text.str();
}

class component_loading : public ::testing::Test {
protected:
    host::host_api_impl api;
    host::loaded_component component{component_path, api};
};

TEST(component_loading_errors, carry_the_loader_reason) {
    host::host_api_impl api;
    try {
        host::loaded_component missing("/nonexistent/libnothing.so", api);
        ADD_FAILURE() << "loading did not fail";
    } catch (const host::component_load_error& e) {
        EXPECT_TRUE(contains(e.what(), "Cannot load component /nonexistent/libnothing.so")) << e.what();
        EXPECT_TRUE(contains(e.what(), "No such file or directory")) << e.what();
    }
    // A real library, but no component: the helper library lacks the entry point.
    try {
        host::loaded_component not_a_component(TREVALIN_NOT_A_COMPONENT_PATH, api);
        ADD_FAILURE() << "loading did not fail";
    } catch (const host::component_load_error& e) {
        EXPECT_TRUE(contains(e.what(), "undefined symbol: orvanta_get_interface")) << e.what();
    }
    // The component's copies of its module strings cannot be made: its exception is read before
    // the library goes, and the library goes.
    for (unsigned long call : {1ul, 2ul}) {
        SCOPED_TRACE(call);
        platform::standin::fail_heap_call(call);
        try {
            host::loaded_component starved(component_path, api);
            ADD_FAILURE() << "loading did not fail";
        } catch (const host::component_load_error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot use component " + component_path + ": bad allocation");
        }
        platform::standin::fail_heap_call(0);
        EXPECT_EQ(::dlopen(component_path.c_str(), RTLD_NOLOAD | RTLD_NOW), nullptr) << "the component stayed loaded";
    }
}

TEST_F(component_loading, reports_interface_version_71_at_slot_0) {
    EXPECT_EQ(raw_table::call<t_uint32>(&component.interface_record(), 0), 71u);
    EXPECT_EQ(component.interface_version(), 71u);
}

TEST_F(component_loading, factory_list_holds_the_menu_item_then_the_version_record) {
    std::vector<service_factory_base*> walked;
    auto* factory = raw_table::call<service_factory_base*>(&component.interface_record(), 1);
    for (; factory != nullptr && walked.size() < 16; factory = next_of(factory)) walked.push_back(factory);
    EXPECT_EQ(factory, nullptr) << "the list does not end";
    EXPECT_EQ(component.factories(), walked);
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_TRUE(guid_equal(*class_guid_of(walked[0]), contextmenu_item::class_guid));
    EXPECT_TRUE(guid_equal(*class_guid_of(walked[1]), componentversion::class_guid));
}

TEST_F(component_loading, version_record_reads_its_four_texts_by_slot) {
    const std::vector<service_ref> records = component.create_services(componentversion::class_guid);
    ASSERT_EQ(records.size(), 1u);
    service_base* record = records[0].get();
    EXPECT_EQ(text_at_slot(record, 4), "Trevalin");
    EXPECT_EQ(text_at_slot(record, 5), "0.4.4");
    const std::string about = text_at_slot(record, 6);
    EXPECT_EQ(std::count(about.begin(), about.end(), '\n'), 6) << about;
    EXPECT_EQ(about.find('\r'), std::string::npos);
    EXPECT_NE(about.back(), '\n');
    // The file name the loader handed over through set_module_strings.
    EXPECT_EQ(text_at_slot(record, 3), std::filesystem::path(component_path).filename().string());
    EXPECT_EQ(component.file_name(), std::filesystem::path(component_path).filename().string());
}

TEST_F(component_loading, a_relative_path_is_handed_over_absolute) {
    const std::string relative = std::filesystem::relative(component_path).string();
    host::loaded_component again(relative, api);
    EXPECT_TRUE(std::filesystem::path(again.path()).is_absolute());
    EXPECT_TRUE(std::filesystem::equivalent(again.path(), component_path));
    const service_ref record = again.create_service(componentversion::class_guid);
    ASSERT_TRUE(record);
    EXPECT_EQ(text_at_slot(record.get(), 3), std::filesystem::path(component_path).filename().string());
}

TEST_F(component_loading, services_answer_only_their_own_class_and_count_nothing) {
    const GUID classes[] = {componentversion::class_guid, contextmenu_item::class_guid};
    for (const GUID& own : classes) {
        const service_ref object = component.create_service(own);
        ASSERT_TRUE(object);
        service_base* raw = object.get();
        EXPECT_EQ(raw_table::call<t_uint32>(raw, 1), 1u);  // add_ref
        EXPECT_EQ(raw_table::call<t_uint32>(raw, 0), 1u);  // release
        EXPECT_EQ(raw_table::call<t_uint32>(raw, 0), 1u);

        service_ref out;
        EXPECT_TRUE(raw_table::call<bool>(raw, 2, &out, &own));
        EXPECT_EQ(out.get(), raw);
        for (const GUID& other : {classes[0], classes[1], null_guid}) {
            if (guid_equal(other, own)) continue;
            service_ref held(raw);
            EXPECT_FALSE(raw_table::call<bool>(raw, 2, &held, &other));
            EXPECT_EQ(held.get(), raw);
            service_ref empty;
            EXPECT_FALSE(raw_table::call<bool>(raw, 2, &empty, &other));
            EXPECT_FALSE(empty);
        }
        // Every instance of a static service is the same object.
        EXPECT_EQ(component.create_service(own).get(), raw);
    }
}

TEST_F(component_loading, entry_point_returns_the_same_record_every_time) {
    const auto entry = reinterpret_cast<orvanta_get_interface_function>(::dlsym(component.handle(), "orvanta_get_interface"));
    ASSERT_NE(entry, nullptr);
    host::host_api_impl other_api;
    EXPECT_EQ(entry(&other_api, component.handle()), &component.interface_record());
    EXPECT_EQ(entry(&api, component.handle()), &component.interface_record());
}

// What the made-up component saw, read through its own exported functions.
struct fake_component_report {
    int instances_created;
    const char* module_path;
    const char* module_file_name;
    host_api* api;
    void* handle;
};

class fake_component_loading : public ::testing::Test {
protected:
    template <class F>
    F* function(const char* name) {
        void* symbol = ::dlsym(component.handle(), name);
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<F*>(symbol);
    }
    fake_component_report state() { return function<fake_component_report()>("fake_component_state")(); }
    int tag_of(const service_ref& service) { return function<int(service_base*)>("fake_component_tag")(service.get()); }

    host::host_api_impl api;
    host::loaded_component component{FAKE_COMPONENT_PATH, api};
};

constexpr GUID fake_class_a{0xAAAA0001, 0x0001, 0x0001, {1, 1, 1, 1, 1, 1, 1, 1}};
constexpr GUID fake_class_b{0xBBBB0002, 0x0002, 0x0002, {2, 2, 2, 2, 2, 2, 2, 2}};

TEST_F(fake_component_loading, hands_over_the_gateway_the_handle_and_the_module_strings) {
    const fake_component_report seen = state();
    EXPECT_EQ(seen.api, &api);
    EXPECT_EQ(seen.handle, component.handle());
    EXPECT_EQ(std::string(seen.module_path), component.path());
    EXPECT_TRUE(std::filesystem::path(seen.module_path).is_absolute());
    EXPECT_EQ(std::string(seen.module_file_name), std::filesystem::path(FAKE_COMPONENT_PATH).filename().string());
    // The version is reported as the component gives it; judging it is the caller's business.
    EXPECT_EQ(component.interface_version(), 70u);
}

TEST_F(fake_component_loading, creates_every_service_of_a_class_in_registry_order) {
    const int created_before = state().instances_created;
    std::vector<int> tags;
    for (const service_ref& service : component.create_services(fake_class_a)) tags.push_back(tag_of(service));
    EXPECT_EQ(tags, (std::vector<int>{1, 3}));
    // Only the matching factories are asked.
    EXPECT_EQ(state().instances_created, created_before + 2);

    ASSERT_EQ(component.create_services(fake_class_b).size(), 1u);
    EXPECT_EQ(tag_of(component.create_services(fake_class_b)[0]), 2);
    EXPECT_TRUE(component.create_services(null_guid).empty());
    EXPECT_FALSE(component.create_service(null_guid));

    // The first one only: later factories are not asked.
    const int created = state().instances_created;
    EXPECT_EQ(tag_of(component.create_service(fake_class_a)), 1);
    EXPECT_EQ(state().instances_created, created + 1);
    EXPECT_EQ(component.factories().size(), 4u);
}

TEST_F(fake_component_loading, a_circular_factory_list_is_refused) {
    function<void(bool)>("fake_component_make_circle")(true);
    try {
        component.factories();
        ADD_FAILURE() << "the walk did not stop";
    } catch (const host::component_load_error& e) {
        EXPECT_TRUE(contains(e.what(), "circular factory list")) << e.what();
    }
    EXPECT_THROW(component.create_services(fake_class_a), host::component_load_error);
    function<void(bool)>("fake_component_make_circle")(false);
    EXPECT_EQ(component.factories().size(), 4u);
}

}  // namespace
