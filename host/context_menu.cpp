#include "host/context_menu.h"

#include <stdexcept>

#include "abi/contextmenu_item.h"
#include "host/host_string.h"

namespace host {

namespace {

// Destroys and frees the node the host owns, however the command ends.
class owned_node {
public:
    explicit owned_node(contextmenu_item_node_root* node) noexcept : node_(node) {}
    ~owned_node() {
        if (node_) node_->destroy(1);
    }
    owned_node(const owned_node&) = delete;
    owned_node& operator=(const owned_node&) = delete;

    contextmenu_item_node_root* get() const noexcept { return node_; }

private:
    contextmenu_item_node_root* node_;
};

}  // namespace

std::vector<menu_command> menu_commands(const std::vector<service_ref>& items, track_handle_list& tracks,
                                        const GUID& caller) {
    std::vector<menu_command> shown;
    for (const service_ref& held : items) {
        auto* item = held.as<contextmenu_item>();
        if (item == nullptr) continue;
        const t_uint32 count = item->command_count();
        for (t_uint32 index = 0; index < count; ++index) {
            host_string display;
            t_uint32 flags = 0;
            if (!item->display_data(index, tracks, display, flags, caller)) continue;

            menu_command command{{}, {}, item->command_guid_value(index), held, index};
            host_string name;
            item->command_name(index, name);
            command.name = name.str();
            host_string description;
            if (item->command_description(index, description)) command.description = description.str();
            shown.push_back(std::move(command));
        }
    }
    return shown;
}

std::vector<menu_command> menu_commands(const loaded_component& component, track_handle_list& tracks,
                                        const GUID& caller) {
    return menu_commands(component.create_services(contextmenu_item::class_guid), tracks, caller);
}

const menu_command* find_menu_command(const std::vector<menu_command>& commands, std::string_view name) {
    for (const menu_command& command : commands) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

void run_menu_command(const menu_command& command, track_handle_list& tracks, const GUID& caller) {
    auto* item = command.item.as<contextmenu_item>();
    if (item == nullptr) throw std::invalid_argument("menu command without an item");
    const owned_node node(item->instantiate(command.index, tracks, caller));
    if (node.get() == nullptr) return;
    node.get()->execute(tracks, caller);
}

}  // namespace host
