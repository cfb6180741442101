// The host's context menu for a selection: which commands the loaded component's items offer for
// it, and running one of them the way the player does, through a node.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "abi/track_handle.h"
#include "host/component_loader.h"

namespace host {

struct menu_command {
    std::string name;
    std::string description;  // empty when the item gives none
    GUID guid;
    service_ref item;         // the contextmenu_item that offers the command
    t_uint32 index;           // the command's index within that item
};

// The commands shown for tracks, in item order and then command order: every command of every
// item whose display_data answers true. Exceptions of the items pass to the caller.
std::vector<menu_command> menu_commands(const std::vector<service_ref>& items, track_handle_list& tracks,
                                        const GUID& caller = null_guid);
// The same over every contextmenu_item service of the component.
std::vector<menu_command> menu_commands(const loaded_component& component, track_handle_list& tracks,
                                        const GUID& caller = null_guid);

// The first command of that name; null when there is none.
const menu_command* find_menu_command(const std::vector<menu_command>& commands, std::string_view name);

// instantiate → node, node->execute(tracks, caller), node->destroy(1). The node is destroyed also
// when execute throws; the command's exception then reaches the caller unchanged.
void run_menu_command(const menu_command& command, track_handle_list& tracks, const GUID& caller = null_guid);

}  // namespace host
