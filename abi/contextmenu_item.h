// The context-menu service and its nodes as the host calls them.
// Implemented by the component; the host calls every operation by slot.
#pragma once

#include <type_traits>

#include "abi/service.h"
#include "abi/string_base.h"
#include "abi/track_handle.h"

class contextmenu_item_node_root;

class ORVANTA_SHARED_TYPE contextmenu_item : public service_base {
public:
    static constexpr GUID class_guid{0x1C0802F7, 0xCF24, 0x49EF, {0xB9, 0x14, 0x8B, 0x98, 0x66, 0xF1, 0x97, 0x79}};

    virtual t_uint32 command_count() = 0;                                                           // slot 3
    // A new node that the host owns and destroys through its slot 9.
    virtual contextmenu_item_node_root* instantiate(t_uint32 index, track_handle_list& tracks,
                                                    const GUID& caller) = 0;                        // slot 4
    virtual GUID* command_guid(GUID* out, t_uint32 index) = 0;                                      // slot 5: returns out
    virtual void command_name(t_uint32 index, vesk::string_base& out) = 0;                          // slot 6
    virtual void command_path(t_uint32 index, vesk::string_base& out) = 0;                          // slot 7
    virtual bool command_description(t_uint32 index, vesk::string_base& out) = 0;                   // slot 8
    virtual t_uint32 command_state(t_uint32 index) = 0;                                             // slot 9
    virtual void execute(t_uint32 index, const GUID& node_guid, track_handle_list& tracks,
                         const GUID& caller) = 0;                                                   // slot 10
    virtual bool command_flag(t_uint32 index) = 0;                                                  // slot 11
    // False: the command is not shown for this selection.
    virtual bool display_data(t_uint32 index, track_handle_list& tracks, vesk::string_base& out,
                              t_uint32& flags, const GUID& caller) = 0;                             // slot 12
    virtual void run_command(t_uint32 index, track_handle_list& tracks, const GUID& caller) = 0;    // slot 13
    virtual bool command_display(t_uint32 index, track_handle_list& tracks, vesk::string_base& out,
                                 t_uint32& flags, const GUID& caller) = 0;                          // slot 14

    // The by-value form of command_guid.
    GUID command_guid_value(t_uint32 index) {
        GUID guid;
        command_guid(&guid, index);
        return guid;
    }

protected:
    ~contextmenu_item() = default;
};

class ORVANTA_SHARED_TYPE contextmenu_item_node {
public:
    // Note the argument order: outputs first, unlike the item's display_data.
    virtual bool display_data(vesk::string_base& out, t_uint32& flags, track_handle_list& tracks,
                              const GUID& caller) = 0;                                       // slot 0
    virtual t_uint32 node_kind() = 0;                                                        // slot 1: 1 = one command, no children
    virtual void execute(track_handle_list& tracks, const GUID& caller) = 0;                 // slot 2
    virtual contextmenu_item_node* child(t_uint32 index, t_uint32 depth) = 0;                // slot 3
    virtual t_uint32 child_count() = 0;                                                      // slot 4
    virtual bool is_mappable(t_uint32 index) = 0;                                            // slot 5
    virtual bool description(vesk::string_base& out) = 0;                                    // slot 6
    virtual GUID* node_guid(GUID* out) = 0;                                                  // slot 7: returns out
    virtual bool flag() = 0;                                                                 // slot 8

    GUID node_guid_value() {
        GUID guid;
        node_guid(&guid);
        return guid;
    }

protected:
    contextmenu_item_node() = default;
    contextmenu_item_node(const contextmenu_item_node&) = default;
    contextmenu_item_node& operator=(const contextmenu_item_node&) = default;
    ~contextmenu_item_node() = default;
};

// A node the host owns.
class ORVANTA_SHARED_TYPE contextmenu_item_node_root : public contextmenu_item_node {
public:
    // Releases what the node holds; frees the node when bit 0 of flags is set.
    virtual void destroy(t_uint32 flags) = 0;  // slot 9

protected:
    ~contextmenu_item_node_root() = default;
};

static_assert(!std::has_virtual_destructor_v<contextmenu_item>);
static_assert(!std::has_virtual_destructor_v<contextmenu_item_node_root>);
