// Context-menu items that offer a fixed, flat list of commands. A concrete item answers the
// per-command questions; the node handling and the visibility rule live here.
#pragma once

#include "abi/contextmenu_item.h"
#include "abi/service.h"
#include "abi/track_handle.h"

class contextmenu_item_simple : public contextmenu_item {
public:
    class contextmenu_item_node_impl;

    // A new heap node for command index, owned by the host from then on. Raises std::bad_alloc.
    contextmenu_item_node_root* instantiate(t_uint32 index, track_handle_list& tracks, const GUID& caller) override;
    // Runs the command only for the null node GUID, the one the simple node reports.
    void execute(t_uint32 index, const GUID& node_guid, track_handle_list& tracks, const GUID& caller) override;
    bool command_flag(t_uint32 index) override;
    // Hidden for an empty selection; otherwise as the concrete item says.
    bool display_data(t_uint32 index, track_handle_list& tracks, vesk::string_base& out, t_uint32& flags,
                      const GUID& caller) override;

protected:
    ~contextmenu_item_simple() = default;
};

// A root node without children.
class contextmenu_item_node_root_leaf : public contextmenu_item_node_root {
public:
    t_uint32 node_kind() override;
    contextmenu_item_node* child(t_uint32 index, t_uint32 depth) override;
    t_uint32 child_count() override;
    bool is_mappable(t_uint32 index) override;

protected:
    ~contextmenu_item_node_root_leaf() = default;
};

// The simple item's node: forwards every question to its item for its command.
class contextmenu_item_simple::contextmenu_item_node_impl final : public contextmenu_item_node_root_leaf {
public:
    contextmenu_item_node_impl(contextmenu_item_simple& item, t_uint32 index) noexcept;

    bool display_data(vesk::string_base& out, t_uint32& flags, track_handle_list& tracks, const GUID& caller) override;
    void execute(track_handle_list& tracks, const GUID& caller) override;
    bool description(vesk::string_base& out) override;
    GUID* node_guid(GUID* out) override;
    bool flag() override;
    // Releases the item; frees the node's memory only when bit 0 of flags is set.
    void destroy(t_uint32 flags) override;

private:
    ~contextmenu_item_node_impl() = default;
    contextmenu_item_simple& item() const noexcept { return *item_.as<contextmenu_item_simple>(); }

    service_ref item_;
    t_uint32 index_;
};
