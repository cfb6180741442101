#include "cuesheet/save_dialog.h"

#include "platform/save_dialog.h"

namespace {

constexpr t_uint32 file_buffer_units = 1024;

// Description and pattern pairs in filter-index order; the literal's own NUL ends the list with
// the second NUL the dialog looks for.
constexpr char16_t filter_list[] =
    u"UTF-8 Cuesheet (*.cue)\0*.cue\0"
    u"ANSI Cuesheet (*.cue)\0*.cue\0"
    u"UTF-8 Album Image Cuesheet (*.cue)\0*.cue\0"
    u"ANSI Album Image Cuesheet (*.cue)\0*.cue\0";

constexpr t_uint32 filter_count = 4;

}  // namespace

bool ask_output_path(const char* proposed_name, char (&output_path)[vesk::utf8_path_capacity],
                     cue_output_mode& mode) {
    char16_t file[file_buffer_units] = {};
    {
        const vesk::utf16_text name = vesk::utf16_text_from_utf8(proposed_name);
        // The name may have one unit more than the buffer keeps beside its terminator.
        t_uint32 units = vesk::utf16_length(name.data());
        if (units > file_buffer_units - 1) units = file_buffer_units - 1;
        for (t_uint32 i = 0; i < units; ++i) file[i] = name.data()[i];
        file[units] = 0;
    }

    platform::save_dialog_settings settings;
    settings.title = u"Save Cuesheet";
    settings.filter = filter_list;
    settings.filter_index = 1;
    settings.default_extension = u"cue";
    settings.flags = platform::ofn_overwrite_prompt | platform::ofn_path_must_exist |
                     platform::ofn_file_must_exist;
    settings.file = file;
    settings.file_capacity = file_buffer_units;

    // A dialog that failed to appear is not told apart from a cancel.
    if (!platform::show_save_dialog(settings)) return false;

    vesk::utf16_to_utf8(output_path, file);
    if (settings.filter_index >= 1 && settings.filter_index <= filter_count) {
        mode = static_cast<cue_output_mode>(settings.filter_index - 1);
    }
    return true;
}
