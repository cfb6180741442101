// The command's graphical dialogs with GTK 3: the save dialog through GtkFileChooserNative (the
// desktop portal's dialog where GTK uses one: in a sandbox, or with GTK_USE_PORTAL=1; GTK's own
// otherwise), the replace confirmation for a name the command completed, and a message box for
// failures.

#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

#include "cli/gtk_module.h"

#define TREVALIN_GTK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Runs what closing a window left to do, so it is gone from the screen before the command goes on.
void settle() {
    while (gtk_events_pending()) gtk_main_iteration();
}

bool has_display_variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

TREVALIN_GTK_EXPORT const char* trevalin_gtk_open() {
    static const char* const problem = []() -> const char* {
        if (!has_display_variable("DISPLAY") && !has_display_variable("WAYLAND_DISPLAY"))
            return "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        // The command's numbers and texts keep the C locale; only GTK's own words are translated.
        gtk_disable_setlocale();
        std::setlocale(LC_MESSAGES, "");
        if (!gtk_init_check(nullptr, nullptr)) {
            static const std::string cannot = std::string("the display ") +
                                              std::getenv(has_display_variable("DISPLAY") ? "DISPLAY" : "WAYLAND_DISPLAY") +
                                              " cannot be opened";
            return cannot.c_str();
        }
        return nullptr;
    }();
    return problem;
}

TREVALIN_GTK_EXPORT int trevalin_gtk_save(const trevalin_gtk_save_request* request, char** path, unsigned* filter) {
    GtkFileChooserNative* native = gtk_file_chooser_native_new(request->title, nullptr, GTK_FILE_CHOOSER_ACTION_SAVE,
                                                               "_Save", "_Cancel");
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(native);
    const std::string pattern = std::string("*.") + request->extension;
    std::vector<GtkFileFilter*> filters;
    for (unsigned i = 0; i < request->filter_count; ++i) {
        GtkFileFilter* each = gtk_file_filter_new();
        gtk_file_filter_set_name(each, request->filters[i]);
        gtk_file_filter_add_pattern(each, pattern.c_str());
        gtk_file_chooser_add_filter(chooser, each);
        filters.push_back(each);
    }
    if (request->selected_filter >= 1 && request->selected_filter <= filters.size())
        gtk_file_chooser_set_filter(chooser, filters[request->selected_filter - 1]);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, request->confirm_replace != 0);
    if (request->folder != nullptr) gtk_file_chooser_set_current_folder(chooser, request->folder);
    gtk_file_chooser_set_current_name(chooser, request->name);

    int confirmed = 0;
    if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(native)) == GTK_RESPONSE_ACCEPT) {
        // A portal may hand back a place that is no local file: its URI, which the host resolves or refuses.
        char* chosen = gtk_file_chooser_get_filename(chooser);
        if (chosen == nullptr) chosen = gtk_file_chooser_get_uri(chooser);
        if (chosen != nullptr) {
            *path = chosen;
            *filter = request->selected_filter;
            GtkFileFilter* chosen_filter = gtk_file_chooser_get_filter(chooser);
            for (unsigned i = 0; i < filters.size(); ++i) {
                if (filters[i] == chosen_filter) *filter = i + 1;
            }
            confirmed = 1;
        }
    }
    g_object_unref(native);
    settle();
    return confirmed;
}

TREVALIN_GTK_EXPORT int trevalin_gtk_confirm_replace(const char* path) {
    char* name = g_path_get_basename(path);
    char* folder = g_path_get_dirname(path);
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
                                            "“%s” already exists. Do you want to replace it?", name);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(box),
                                             "The file already exists in “%s”. Replacing it overwrites its contents.",
                                             folder);
    gtk_window_set_title(GTK_WINDOW(box), "Confirm Save As");
    gtk_dialog_add_buttons(GTK_DIALOG(box), "_Cancel", GTK_RESPONSE_CANCEL, "_Replace", GTK_RESPONSE_ACCEPT, nullptr);
    // Enter keeps the file, as the question's safe answer.
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_CANCEL);
    const int replace = gtk_dialog_run(GTK_DIALOG(box)) == GTK_RESPONSE_ACCEPT ? 1 : 0;
    gtk_widget_destroy(box);
    settle();
    g_free(folder);
    g_free(name);
    return replace;
}

TREVALIN_GTK_EXPORT void trevalin_gtk_show_error(const char* title, const char* text) {
    GtkWidget* box =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE, "%s", title);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(box), "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), title);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    settle();
}

TREVALIN_GTK_EXPORT void trevalin_gtk_free(char* text) { g_free(text); }

// The loader casts the symbols to these types.
static_assert(std::is_same_v<decltype(trevalin_gtk_open), trevalin_gtk_open_function>);
static_assert(std::is_same_v<decltype(trevalin_gtk_save), trevalin_gtk_save_function>);
static_assert(std::is_same_v<decltype(trevalin_gtk_confirm_replace), trevalin_gtk_confirm_replace_function>);
static_assert(std::is_same_v<decltype(trevalin_gtk_show_error), trevalin_gtk_show_error_function>);
static_assert(std::is_same_v<decltype(trevalin_gtk_free), trevalin_gtk_free_function>);
