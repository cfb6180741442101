// The save dialog's settings as the component filled them, read into plain texts, and the answer
// written back the way a real dialog returns it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "abi/types.h"
#include "platform/save_dialog.h"

namespace cli {

struct dialog_request {
    std::string title;
    std::vector<std::string> filters;   // the descriptions, in order (filter index 1 is the first)
    t_uint32 filter_index = 1;          // the preselected filter
    std::string default_extension;      // without the dot; empty for none
    bool confirm_replace = false;
    bool path_must_exist = false;
    std::string proposed_name;
    bool proposal_from_folder = false;  // named after the first track's folder, not the component's
    std::string default_folder;         // where a prompt proposes the sheet (empty: the current folder)
};

dialog_request read_dialog_request(const platform::save_dialog_settings& settings);

// Puts path and the filter index into the settings. Returns the reason when a real dialog would
// not return this path: it is not UTF-8, it does not fit the dialog's buffer, or it is longer than
// the component takes (whose path buffer would cut it and so write elsewhere).
std::optional<std::string> write_dialog_answer(platform::save_dialog_settings& settings, const std::string& path,
                                               t_uint32 filter_index);

// The most UTF-8 bytes of a path that the component keeps without cutting it.
inline constexpr std::size_t longest_component_path = 2047;

}  // namespace cli
