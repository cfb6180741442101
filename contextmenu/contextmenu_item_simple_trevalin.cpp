#include "contextmenu/contextmenu_item_simple_trevalin.h"

#include "cuesheet/export_cue_sheet.h"

t_uint32 contextmenu_item_simple_trevalin::command_count() { return 1; }

GUID* contextmenu_item_simple_trevalin::command_guid(GUID* out, t_uint32) {
    *out = cue_sheet_command_guid;
    return out;
}

void contextmenu_item_simple_trevalin::command_name(t_uint32, vesk::string_base& out) {
    out.assign("Create cuesheet...", vesk::length_up_to_nul);
}

void contextmenu_item_simple_trevalin::command_path(t_uint32, vesk::string_base&) {}

bool contextmenu_item_simple_trevalin::command_description(t_uint32, vesk::string_base& out) {
    out.assign("Create cuesheet from select items", vesk::length_up_to_nul);
    return true;
}

t_uint32 contextmenu_item_simple_trevalin::command_state(t_uint32) { return 2; }

bool contextmenu_item_simple_trevalin::command_display(t_uint32 index, track_handle_list&, vesk::string_base& out,
                                                       t_uint32&, const GUID&) {
    command_name(index, out);
    return true;
}

void contextmenu_item_simple_trevalin::run_command(t_uint32, track_handle_list& tracks, const GUID&) {
    export_cue_sheet(tracks);
}
