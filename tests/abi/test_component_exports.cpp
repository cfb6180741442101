// The built component library as the player meets it: one exported symbol, and the context-menu
// item and its node answering at their slot positions when called through the raw table.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "abi/contextmenu_item.h"
#include "abi/filesystem.h"
#include "abi/io_exceptions.h"
#include "host/component_loader.h"
#include "host/host_services.h"
#include "host/host_string.h"
#include "host/track_handles.h"
#include "platform/standin.h"
#include "tests/support/raw_table.h"

namespace {

const std::string component_path = TREVALIN_COMPONENT_PATH;

struct command_output {
    std::string text;
    int status;
};

command_output run(const std::string& command) {
    command_output out{{}, -1};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.text.append(buffer, n);
    out.status = ::pclose(pipe);
    return out;
}

TEST(component_exports, only_the_entry_point_is_exported) {
    const command_output nm = run("'" TREVALIN_NM "' -D --defined-only '" + component_path + "'");
    ASSERT_TRUE(WIFEXITED(nm.status) && WEXITSTATUS(nm.status) == 0) << nm.text;
    std::set<std::string> names;
    std::istringstream lines(nm.text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        std::istringstream words(line);
        std::string value, type, name;
        words >> value >> type >> name;
        // "orvanta_get_interface@@VERSION" would still be the entry point, under a version.
        names.insert(name.substr(0, name.find('@')));
        if (name == "orvanta_get_interface") {
            EXPECT_EQ(type, "T") << line;
        }
    }
    EXPECT_EQ(names, std::set<std::string>{"orvanta_get_interface"}) << nm.text;
}

constexpr GUID command_guid{0x21C82BA8, 0x1F53, 0x4276, {0xA8, 0xC2, 0x8B, 0xB2, 0xA0, 0x69, 0x49, 0x93}};
constexpr GUID some_caller{0x0BADF00D, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

host::track_entry one_track() {
    host::track_entry entry;
    entry.path = "file:///m/a.flac";
    entry.info.set_length(1.0);
    return entry;
}

// With no dialog answerer installed every dialog is a cancel, so running the command reads the
// first track once and stops: the fill_info count tells whether a slot ran it.
class component_slots : public ::testing::Test {
protected:
    void SetUp() override {
        platform::standin::set_save_dialog_answerer(nullptr, nullptr);
        item_ref = component.create_service(contextmenu_item::class_guid);
        ASSERT_TRUE(item_ref);
        item = item_ref.get();
    }
    unsigned long runs() const { return tracks.handle(0).fill_info_calls(); }

    host::host_api_impl api;
    host::loaded_component component{component_path, api};
    service_ref item_ref;
    service_base* item = nullptr;
    host::host_track_list tracks{std::vector<host::track_entry>{one_track()}};
    host::host_track_list nothing;
    track_handle_list* selection = &tracks;
    track_handle_list* empty = &nothing;
};

TEST_F(component_slots, contextmenu_item_answers_at_its_fifteen_slots) {
    EXPECT_EQ(raw_table::call<t_uint32>(item, 0), 1u);  // release
    EXPECT_EQ(raw_table::call<t_uint32>(item, 1), 1u);  // add_ref
    service_ref out;
    EXPECT_TRUE(raw_table::call<bool>(item, 2, &out, &contextmenu_item::class_guid));
    EXPECT_EQ(out.get(), item);
    EXPECT_FALSE(raw_table::call<bool>(item, 2, &out, &command_guid));
    EXPECT_EQ(raw_table::call<t_uint32>(item, 3), 1u);  // command_count

    GUID guid{};
    EXPECT_EQ(raw_table::call<GUID*>(item, 5, &guid, t_uint32{5}), &guid);
    EXPECT_TRUE(guid_equal(guid, command_guid));

    host::host_string text("left over");
    raw_table::call<void>(item, 6, t_uint32{0}, static_cast<vesk::string_base*>(&text));
    EXPECT_EQ(text.str(), "Create cuesheet...");
    host::host_string path("left over");
    raw_table::call<void>(item, 7, t_uint32{0}, static_cast<vesk::string_base*>(&path));
    EXPECT_EQ(path.str(), "left over");
    host::host_string description;
    EXPECT_TRUE(raw_table::call<bool>(item, 8, t_uint32{0}, static_cast<vesk::string_base*>(&description)));
    EXPECT_EQ(description.str(), "Create cuesheet from select items");
    EXPECT_EQ(raw_table::call<t_uint32>(item, 9, t_uint32{0}), 2u);  // command_state
    EXPECT_TRUE(raw_table::call<bool>(item, 11, t_uint32{0}));       // command_flag

    // display_data hides the command for an empty selection; command_display does not look.
    t_uint32 flags = 0x55;
    host::host_string shown("left over");
    EXPECT_FALSE(raw_table::call<bool>(item, 12, t_uint32{0}, empty, static_cast<vesk::string_base*>(&shown), &flags,
                                       &some_caller));
    EXPECT_EQ(shown.str(), "left over");
    EXPECT_TRUE(raw_table::call<bool>(item, 12, t_uint32{0}, selection, static_cast<vesk::string_base*>(&shown),
                                      &flags, &some_caller));
    EXPECT_EQ(shown.str(), "Create cuesheet...");
    host::host_string displayed("left over");
    EXPECT_TRUE(raw_table::call<bool>(item, 14, t_uint32{0}, empty, static_cast<vesk::string_base*>(&displayed),
                                      &flags, &some_caller));
    EXPECT_EQ(displayed.str(), "Create cuesheet...");
    EXPECT_EQ(flags, 0x55u);

    // execute runs the command for the null node GUID only; run_command always.
    raw_table::call<void>(item, 10, t_uint32{0}, &command_guid, selection, &some_caller);
    EXPECT_EQ(runs(), 0u);
    raw_table::call<void>(item, 10, t_uint32{0}, &null_guid, selection, &some_caller);
    EXPECT_EQ(runs(), 1u);
    raw_table::call<void>(item, 13, t_uint32{0}, selection, &some_caller);
    EXPECT_EQ(runs(), 2u);

    auto* node = raw_table::call<void*>(item, 4, t_uint32{0}, selection, &some_caller);  // instantiate
    ASSERT_NE(node, nullptr);
    raw_table::call<void>(node, 9, t_uint32{1});  // destroy
}

// A filesystem that declines every path, counting how often it was asked.
class declining_filesystem final : public filesystem {
public:
    t_uint32 release() override { return 1; }
    t_uint32 add_ref() override { return 1; }
    bool query(service_ref*, const GUID&) override { return false; }
    bool canonical_path(const char*, vesk::string_base&) override { return false; }
    bool accepts_path(const char*) override { return ++asked, false; }
    bool is_remote(const char*) override { return false; }
    void open(service_ref*, const char*, t_uint32, orvanta_io::abort_callback&) override {}
    int asked = 0;
};

bool answer_with_a_path(platform::save_dialog_settings& settings, void*) {
    const std::u16string path = u"/nowhere/sheet.cue";
    if (path.size() >= settings.file_capacity) return false;
    path.copy(settings.file, path.size());
    settings.file[path.size()] = 0;
    settings.filter_index = 1;
    return true;
}

// The gateway of the entry point's latest call is the one the component asks for services.
TEST_F(component_slots, entry_point_keeps_the_latest_gateway) {
    struct answerer_reset {
        ~answerer_reset() { platform::standin::set_save_dialog_answerer(nullptr, nullptr); }
    } reset;
    platform::standin::set_save_dialog_answerer(&answer_with_a_path, nullptr);
    declining_filesystem declining;
    host::host_api_impl other_api;
    other_api.add_service(filesystem::class_guid, &declining);
    const auto entry = reinterpret_cast<orvanta_get_interface_function>(::dlsym(component.handle(), "orvanta_get_interface"));
    ASSERT_NE(entry, nullptr);

    EXPECT_EQ(entry(&other_api, nullptr), &component.interface_record());
    EXPECT_THROW(raw_table::call<void>(item, 13, t_uint32{0}, selection, &some_caller),
                 orvanta_io::exception_io_no_handler_for_path);
    EXPECT_EQ(declining.asked, 1);

    EXPECT_EQ(entry(&api, component.handle()), &component.interface_record());
    EXPECT_THROW(raw_table::call<void>(item, 13, t_uint32{0}, selection, &some_caller),
                 orvanta_io::exception_io_no_handler_for_path);
    EXPECT_EQ(declining.asked, 1);
}

TEST_F(component_slots, node_answers_at_its_ten_slots) {
    void* node = raw_table::call<void*>(item, 4, t_uint32{0}, selection, &some_caller);
    ASSERT_NE(node, nullptr);

    t_uint32 flags = 0x55;
    host::host_string text("left over");
    EXPECT_TRUE(raw_table::call<bool>(node, 0, static_cast<vesk::string_base*>(&text), &flags, selection, &some_caller));
    EXPECT_EQ(text.str(), "Create cuesheet...");
    EXPECT_EQ(raw_table::call<t_uint32>(node, 1), 1u);  // node_kind
    raw_table::call<void>(node, 2, selection, &some_caller);  // execute
    EXPECT_EQ(runs(), 1u);
    EXPECT_EQ(raw_table::call<void*>(node, 3, t_uint32{0}, t_uint32{0}), nullptr);
    EXPECT_EQ(raw_table::call<t_uint32>(node, 4), 0u);
    EXPECT_FALSE(raw_table::call<bool>(node, 5, t_uint32{0}));
    host::host_string description;
    EXPECT_TRUE(raw_table::call<bool>(node, 6, static_cast<vesk::string_base*>(&description)));
    EXPECT_EQ(description.str(), "Create cuesheet from select items");
    GUID guid = command_guid;
    EXPECT_EQ(raw_table::call<GUID*>(node, 7, &guid), &guid);
    EXPECT_TRUE(guid_equal(guid, null_guid));
    EXPECT_TRUE(raw_table::call<bool>(node, 8));  // flag
    raw_table::call<void>(node, 9, t_uint32{1});  // destroy and free
    EXPECT_EQ(host::host_track_handle::live_handles(), 1) << "only the selection's own handle is left";
}

}  // namespace
