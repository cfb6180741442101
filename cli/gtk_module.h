// The command's graphical dialogs live in a module of their own (libtrevalin-gtk.so beside the
// program), loaded only when one is wanted: the command itself needs neither GTK nor a display.
// Plain C types only, so the two sides need agree on nothing but this header.
#pragma once

extern "C" {

struct trevalin_gtk_save_request {
    const char* title;
    const char* const* filters;  // descriptions, in order; every pattern is "*." + extension
    unsigned filter_count;
    unsigned selected_filter;    // 1-based
    const char* extension;       // the filters' extension, without the dot
    const char* folder;          // shown first; null: the current folder
    const char* name;            // the proposed file name
    int confirm_replace;         // ask before a typed name replaces an existing file
};

// Opens the display once. Null when it is open, otherwise why it cannot be (static text).
using trevalin_gtk_open_function = const char* ();

// 1 when a name was confirmed: *path (free with trevalin_gtk_free) and *filter (1-based) are set.
// 0 for a cancel.
using trevalin_gtk_save_function = int(const trevalin_gtk_save_request* request, char** path, unsigned* filter);

// 1 when the user agrees to replace the existing file at path (a window titled "Confirm Save As").
using trevalin_gtk_confirm_replace_function = int(const char* path);

// A message box that waits until it is closed.
using trevalin_gtk_show_error_function = void(const char* title, const char* text);

using trevalin_gtk_free_function = void(char* text);

}  // extern "C"
