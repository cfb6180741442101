// The component's one context-menu item: "Create cuesheet..." for the selected tracks.
#pragma once

#include "contextmenu/contextmenu_item_simple.h"

// The command's fixed identity.
inline constexpr GUID cue_sheet_command_guid{0x21C82BA8, 0x1F53, 0x4276, {0xA8, 0xC2, 0x8B, 0xB2, 0xA0, 0x69, 0x49, 0x93}};

class contextmenu_item_simple_trevalin : public contextmenu_item_simple {
public:
    // Every index gets the same answers: the item has one command.
    t_uint32 command_count() override;
    GUID* command_guid(GUID* out, t_uint32 index) override;
    void command_name(t_uint32 index, vesk::string_base& out) override;
    void command_path(t_uint32 index, vesk::string_base& out) override;
    bool command_description(t_uint32 index, vesk::string_base& out) override;
    t_uint32 command_state(t_uint32 index) override;
    bool command_display(t_uint32 index, track_handle_list& tracks, vesk::string_base& out, t_uint32& flags,
                         const GUID& caller) override;
    // Writes the sheet; every failure of the export passes to the host.
    void run_command(t_uint32 index, track_handle_list& tracks, const GUID& caller) override;

protected:
    ~contextmenu_item_simple_trevalin() = default;
};
