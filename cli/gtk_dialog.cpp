#include "cli/gtk_dialog.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include "cli/exit_status.h"
#include "cli/gtk_module.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/output_target.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

struct gtk_module {
    trevalin_gtk_open_function* open = nullptr;
    trevalin_gtk_save_function* save = nullptr;
    trevalin_gtk_confirm_replace_function* confirm_replace = nullptr;
    trevalin_gtk_show_error_function* show_error = nullptr;
    trevalin_gtk_free_function* free = nullptr;
    std::string problem;  // why the module cannot be used; empty when it can
};

template <typename function>
function* symbol(void* library, const char* name, std::string& problem) {
    void* found = ::dlsym(library, name);
    if (found == nullptr && problem.empty()) problem = std::string("the GTK module lacks ") + name;
    return reinterpret_cast<function*>(found);
}

// Beside the component the command loads by default. Never unloaded: GTK cannot be.
gtk_module load_module() {
    gtk_module module;
    const std::string path = (fs::path(default_component_path()).parent_path() / "libtrevalin-gtk.so").string();
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = ::dlerror();
        module.problem = "the GTK module cannot be loaded (" + std::string(reason ? reason : path) + ")";
        return module;
    }
    module.open = symbol<trevalin_gtk_open_function>(library, "trevalin_gtk_open", module.problem);
    module.save = symbol<trevalin_gtk_save_function>(library, "trevalin_gtk_save", module.problem);
    module.confirm_replace =
        symbol<trevalin_gtk_confirm_replace_function>(library, "trevalin_gtk_confirm_replace", module.problem);
    module.show_error = symbol<trevalin_gtk_show_error_function>(library, "trevalin_gtk_show_error", module.problem);
    module.free = symbol<trevalin_gtk_free_function>(library, "trevalin_gtk_free", module.problem);
    return module;
}

gtk_module& module() {
    static gtk_module loaded = load_module();
    return loaded;
}

bool display_open = false;
std::string kept_failures;

}  // namespace

std::optional<std::string> open_gtk_display() {
    gtk_module& gtk = module();
    if (!gtk.problem.empty()) return gtk.problem;
    if (const char* problem = gtk.open()) return std::string(problem);
    display_open = true;
    return std::nullopt;
}

dialog_outcome ask_with_gtk(const dialog_request& request, const prompt_choices& choices, const std::string& start) {
    gtk_module& gtk = module();
    std::vector<const char*> filters;
    for (const auto& each : request.filters) filters.push_back(each.c_str());
    std::string folder;
    std::string name = request.proposed_name;
    if (!start.empty()) {
        if (names_directory(start)) {
            folder = start;
        } else {
            folder = fs::path(start).parent_path().string();
            name = fs::path(start).filename().string();
        }
    }
    trevalin_gtk_save_request shown{request.title.c_str(),
                                    filters.data(),
                                    static_cast<unsigned>(filters.size()),
                                    choices.filter_index.value_or(request.filter_index),
                                    request.default_extension.c_str(),
                                    nullptr,
                                    nullptr,
                                    request.confirm_replace && !choices.overwrite ? 1 : 0};
    for (;;) {
        shown.folder = folder.empty() ? nullptr : folder.c_str();
        shown.name = name.c_str();
        char* chosen = nullptr;
        unsigned filter = shown.selected_filter;
        if (gtk.save(&shown, &chosen, &filter) == 0) return dialog_outcome::cancel();
        const std::string typed = chosen;
        gtk.free(chosen);
        const std::string path = complete_typed_path(typed, request.proposed_name, request.default_extension);
        // GTK asked about the name as typed; the completed name is another file.
        if (path != typed && shown.confirm_replace != 0 && state_of_target(path) == target_state::exists &&
            gtk.confirm_replace(path.c_str()) == 0) {
            folder = fs::path(typed).parent_path().string();
            name = fs::path(typed).filename().string();
            shown.selected_filter = filter;
            continue;
        }
        // A file there now was confirmed, by GTK or above; one that appears later is kept.
        return dialog_outcome::answer(path, filter,
                                      shown.confirm_replace == 0 || state_of_target(path) == target_state::exists);
    }
}

void keep_failures_for_a_box() { keep_reports(&kept_failures); }

void show_kept_failures(int status) {
    if (!display_open || kept_failures.empty()) return;
    if (status != code_of(exit_status::usage_error) && status != code_of(exit_status::export_failed)) return;
    module().show_error("The cue sheet was not written", kept_failures.c_str());
}

}  // namespace cli
