#include "cuesheet/save_dialog.h"

#include "platform/save_dialog.h"

namespace {

constexpr t_uint32 file_buffer_units = 1024;

// Each filter of the dialog and the form it picks, in filter-index order (the first is preselected).
struct filter_form {
    const char16_t* description;
    cue_output_mode mode;
};
constexpr filter_form filter_forms[] = {
    {u"UTF-8 Cuesheet (*.cue)", utf8_per_file},
    {u"ANSI Cuesheet (*.cue)", ansi_per_file},
    {u"UTF-8 Album Image Cuesheet (*.cue)", utf8_album_image},
    {u"ANSI Album Image Cuesheet (*.cue)", ansi_album_image},
};
constexpr t_uint32 filter_count = sizeof filter_forms / sizeof filter_forms[0];
constexpr char16_t filter_pattern[] = u"*.cue";

constexpr t_uint32 units_of(const char16_t* text) noexcept {
    t_uint32 n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// The dialog's form of the table: description and pattern pairs, each NUL-terminated, and one
// more NUL after the last.
constexpr t_uint32 filter_list_units() noexcept {
    t_uint32 n = 1;
    for (const filter_form& filter : filter_forms) n += units_of(filter.description) + 1 + units_of(filter_pattern) + 1;
    return n;
}
struct filter_list_text {
    char16_t units[filter_list_units()];
};
constexpr filter_list_text make_filter_list() noexcept {
    filter_list_text list{};
    t_uint32 k = 0;
    for (const filter_form& filter : filter_forms) {
        for (const char16_t* c = filter.description; *c != 0; ++c) list.units[k++] = *c;
        list.units[k++] = 0;
        for (const char16_t* c = filter_pattern; *c != 0; ++c) list.units[k++] = *c;
        list.units[k++] = 0;
    }
    list.units[k] = 0;
    return list;
}
constexpr filter_list_text filter_list = make_filter_list();

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
    settings.filter = filter_list.units;
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
        mode = filter_forms[settings.filter_index - 1].mode;
    }
    return true;
}
