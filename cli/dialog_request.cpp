#include "cli/dialog_request.h"

#include <algorithm>

#include "host/utf16_text.h"

namespace cli {

dialog_request read_dialog_request(const platform::save_dialog_settings& settings) {
    dialog_request request;
    request.title = host::utf8_from_utf16(settings.title);
    // Description and pattern pairs up to the empty part that ends the list.
    if (const char16_t* part = settings.filter) {
        for (bool description = true; *part != 0; description = !description) {
            if (description) request.filters.push_back(host::utf8_from_utf16(part));
            while (*part != 0) ++part;
            ++part;
        }
    }
    request.filter_index = settings.filter_index;
    request.default_extension = host::utf8_from_utf16(settings.default_extension);
    request.confirm_replace = (settings.flags & platform::ofn_overwrite_prompt) != 0;
    request.path_must_exist = (settings.flags & platform::ofn_path_must_exist) != 0;
    // The proposal may fill the whole buffer without a terminator; read no further than it.
    if (settings.file != nullptr && settings.file_capacity > 0) {
        std::u16string proposal(settings.file, settings.file + settings.file_capacity);
        proposal.resize(std::min(proposal.find(u'\0'), proposal.size()));
        request.proposed_name = host::utf8_from_utf16(proposal.c_str());
    }
    return request;
}

std::optional<std::string> write_dialog_answer(platform::save_dialog_settings& settings, const std::string& path,
                                               t_uint32 filter_index) {
    const std::optional<std::u16string> wide = host::utf16_from_utf8(path);
    if (!wide) return "the path is not valid UTF-8";
    if (path.find('\0') != std::string::npos || wide->empty()) return "the path is empty";
    if (settings.file == nullptr || wide->size() >= settings.file_capacity)
        return "the path is too long for the save dialog (at most " +
               std::to_string(settings.file_capacity == 0 ? 0 : settings.file_capacity - 1) + " UTF-16 units)";
    if (path.size() > longest_component_path)
        return "the path is too long (at most " + std::to_string(longest_component_path) + " bytes)";
    std::copy(wide->begin(), wide->end(), settings.file);
    settings.file[wide->size()] = 0;
    settings.filter_index = filter_index;
    return std::nullopt;
}

}  // namespace cli
