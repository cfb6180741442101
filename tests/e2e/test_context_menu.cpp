// "Create cuesheet..." in the host's context menu: when it shows, what it says, how its node
// answers, and the order in which the component registers its services.

#include <new>

#include "abi/componentversion.h"
#include "abi/contextmenu_item.h"
#include "host/host_string.h"
#include "platform/heap.h"
#include "tests/e2e/e2e_host.h"

namespace e2e {
namespace {

constexpr GUID command_guid{0x21C82BA8, 0x1F53, 0x4276, {0xA8, 0xC2, 0x8B, 0xB2, 0xA0, 0x69, 0x49, 0x93}};
constexpr GUID some_caller{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

class context_menu : public e2e_test {
protected:
    void SetUp() override {
        e2e_test::SetUp();
        add_local_files();
        item_ = component.create_service(contextmenu_item::class_guid);
        ASSERT_TRUE(item_);
    }
    void TearDown() override {
        item_.reset();
        e2e_test::TearDown();
    }
    contextmenu_item& item() { return *item_.as<contextmenu_item>(); }

private:
    service_ref item_;
};

TEST_F(context_menu, is_hidden_for_an_empty_selection) {
    host::host_track_list nothing;
    EXPECT_TRUE(host::menu_commands(component, nothing).empty());
    for (const t_uint32 index : {0u, 5u}) {
        host::host_string text("left over");
        t_uint32 flags = 0x55;
        EXPECT_FALSE(item().display_data(index, nothing, text, flags, some_caller)) << index;
        EXPECT_EQ(text.str(), "left over");
        EXPECT_EQ(flags, 0x55u);
    }
}

TEST_F(context_menu, an_empty_selection_run_anyway_shows_nothing_and_writes_nothing) {
    host::host_track_list nothing;
    dialog.answer(dir / "out.cue", utf8_per_file);
    item().run_command(0, nothing, some_caller);
    EXPECT_EQ(dialog.seen().times_shown, 0);
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(context_menu, shows_create_cuesheet_for_a_selection) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0)});
    const std::vector<host::menu_command> commands = host::menu_commands(component, tracks, some_caller);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].name, "Create cuesheet...");
    EXPECT_EQ(commands[0].description, "Create cuesheet from select items");
    EXPECT_TRUE(guid_equal(commands[0].guid, command_guid));
    EXPECT_EQ(commands[0].index, 0u);
    EXPECT_EQ(commands[0].item.get(), component.create_service(contextmenu_item::class_guid).get());

    host::host_string text("left over");
    t_uint32 flags = 0x55;
    EXPECT_TRUE(item().display_data(0, tracks, text, flags, some_caller));
    EXPECT_EQ(text.str(), "Create cuesheet...");
    EXPECT_EQ(flags, 0x55u);
    EXPECT_EQ(tracks.get_handle_calls(), 0u) << "showing the menu reads no track";
}

TEST_F(context_menu, execute_runs_the_command_only_for_the_null_node_guid) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0), track("file:///m/b.flac", 2.0)});
    dialog.cancel();
    // Slot 10, as the player calls it with a node GUID.
    for (const GUID& node : {some_caller, command_guid}) {
        item().execute(0, node, tracks, some_caller);
    }
    EXPECT_EQ(dialog.seen().times_shown, 0);
    EXPECT_EQ(tracks.get_handle_calls(), 0u);

    item().execute(0, null_guid, tracks, some_caller);
    EXPECT_EQ(dialog.seen().times_shown, 1);
    EXPECT_EQ(tracks.handle(0).fill_info_calls(), 1u);
}

TEST_F(context_menu, node_answers_as_a_single_command_and_is_freed_by_its_owner) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0)});
    contextmenu_item_node_root* node = item().instantiate(0, tracks, some_caller);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->node_kind(), 1u);
    EXPECT_TRUE(guid_equal(node->node_guid_value(), null_guid));
    EXPECT_TRUE(node->flag());
    host::host_string text("left over");
    t_uint32 flags = 0x55;
    EXPECT_TRUE(node->display_data(text, flags, tracks, some_caller));
    EXPECT_EQ(text.str(), "Create cuesheet...");
    host::host_string description;
    EXPECT_TRUE(node->description(description));
    EXPECT_EQ(description.str(), "Create cuesheet from select items");

    host::host_track_list nothing;
    EXPECT_FALSE(node->display_data(text, flags, nothing, some_caller));

    // Flag 0 releases what the node holds and leaves its memory to the caller: freeing it here
    // would be a double free (which the sanitizer build reports) had destroy freed it already.
    node->destroy(0);
    platform::heap_free(node);
}

TEST_F(context_menu, a_node_without_memory_is_bad_alloc_and_runs_nothing) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0)});
    dialog.answer(dir / "node.cue", utf8_per_file);
    platform::standin::fail_heap_call(1);
    try {
        item().instantiate(0, tracks, some_caller);
        ADD_FAILURE() << "no failure";
    } catch (const std::bad_alloc& e) {
        EXPECT_STREQ(e.what(), "bad allocation");
    }
    platform::standin::fail_heap_call(0);
    EXPECT_EQ(dialog.seen().times_shown, 0);
    EXPECT_EQ(tracks.get_handle_calls(), 0u);
}

TEST_F(context_menu, node_execute_writes_the_sheet) {
    host::host_track_list tracks({track("file:///m/a.flac", 1.0)});
    dialog.answer(dir / "node.cue", utf8_per_file);
    contextmenu_item_node_root* node = item().instantiate(0, tracks, some_caller);
    node->execute(tracks, some_caller);
    node->destroy(1);
    EXPECT_EQ(test_support::read_file(dir / "node.cue"),
              sheet({"FILE \"a.flac\" WAVE", "  TRACK 01 AUDIO", "    INDEX 01 00:00:00"}));
}

// The header words as the player reads them: [0] table, [1] next, [2] class GUID.
TEST_F(context_menu, registry_holds_the_item_factory_then_the_version_record) {
    auto* first = static_cast<void**>(static_cast<void*>(component.interface_record().factory_list()));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(guid_equal(*static_cast<const GUID*>(first[2]), contextmenu_item::class_guid));
    auto* second = static_cast<void**>(first[1]);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(guid_equal(*static_cast<const GUID*>(second[2]), componentversion::class_guid));
    EXPECT_EQ(second[1], nullptr);
}

}  // namespace
}  // namespace e2e
