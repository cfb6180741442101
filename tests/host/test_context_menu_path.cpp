// The host's menu path against a made-up item: which commands it lists, and that a node it makes
// is destroyed however the command ends.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "abi/contextmenu_item.h"
#include "host/context_menu.h"
#include "host/track_handles.h"

namespace {

std::vector<std::string> calls;

class fake_node final : public contextmenu_item_node_root {
public:
    explicit fake_node(bool fails) : fails_(fails) {}
    bool display_data(vesk::string_base&, t_uint32&, track_handle_list&, const GUID&) override { return true; }
    t_uint32 node_kind() override { return 1; }
    void execute(track_handle_list& tracks, const GUID&) override {
        calls.push_back("execute " + std::to_string(tracks.count()));
        if (fails_) throw std::runtime_error("command failed");
    }
    contextmenu_item_node* child(t_uint32, t_uint32) override { return nullptr; }
    t_uint32 child_count() override { return 0; }
    bool is_mappable(t_uint32) override { return false; }
    bool description(vesk::string_base&) override { return false; }
    GUID* node_guid(GUID* out) override { return *out = null_guid, out; }
    bool flag() override { return true; }
    void destroy(t_uint32 flags) override {
        calls.push_back("destroy " + std::to_string(flags));
        if (flags & 1) delete this;
    }

private:
    bool fails_;
};

// Three commands: 0 shown, 1 hidden, 2 shown without a description and failing when run.
class fake_item final : public contextmenu_item {
public:
    t_uint32 release() override { return 1; }
    t_uint32 add_ref() override { return 1; }
    bool query(service_ref*, const GUID&) override { return false; }
    t_uint32 command_count() override { return 3; }
    contextmenu_item_node_root* instantiate(t_uint32 index, track_handle_list&, const GUID&) override {
        calls.push_back("instantiate " + std::to_string(index));
        return new fake_node(index == 2);
    }
    GUID* command_guid(GUID* out, t_uint32 index) override {
        *out = GUID{index + 1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
        return out;
    }
    void command_name(t_uint32 index, vesk::string_base& out) override {
        out.assign(("command " + std::to_string(index)).c_str(), vesk::length_up_to_nul);
    }
    void command_path(t_uint32, vesk::string_base&) override {}
    bool command_description(t_uint32 index, vesk::string_base& out) override {
        if (index == 2) return false;
        out.assign("about it", vesk::length_up_to_nul);
        return true;
    }
    t_uint32 command_state(t_uint32) override { return 0; }
    void execute(t_uint32, const GUID&, track_handle_list&, const GUID&) override {}
    bool command_flag(t_uint32) override { return true; }
    bool display_data(t_uint32 index, track_handle_list&, vesk::string_base& out, t_uint32&, const GUID&) override {
        out.assign("shown", vesk::length_up_to_nul);
        return index != 1;
    }
    void run_command(t_uint32, track_handle_list&, const GUID&) override {}
    bool command_display(t_uint32, track_handle_list&, vesk::string_base&, t_uint32&, const GUID&) override {
        return true;
    }
};

TEST(context_menu_path, lists_the_shown_commands_and_runs_them_through_a_node) {
    fake_item item;
    host::host_track_list tracks;
    const std::vector<host::menu_command> commands = host::menu_commands({service_ref(&item)}, tracks);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].name, "command 0");
    EXPECT_EQ(commands[0].description, "about it");
    EXPECT_EQ(commands[0].guid.Data1, 1u);
    EXPECT_EQ(commands[1].name, "command 2");
    EXPECT_EQ(commands[1].description, "");
    EXPECT_EQ(commands[1].index, 2u);
    EXPECT_EQ(host::find_menu_command(commands, "command 2"), &commands[1]);
    EXPECT_EQ(host::find_menu_command(commands, "command 1"), nullptr);

    calls.clear();
    host::run_menu_command(commands[0], tracks);
    EXPECT_EQ(calls, (std::vector<std::string>{"instantiate 0", "execute 0", "destroy 1"}));

    calls.clear();
    EXPECT_THROW(host::run_menu_command(commands[1], tracks), std::runtime_error);
    EXPECT_EQ(calls, (std::vector<std::string>{"instantiate 2", "execute 0", "destroy 1"}));
}

}  // namespace
