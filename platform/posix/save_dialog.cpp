// The stand-in save dialog: the hosting program decides how it is answered. Whatever the answerer
// does, the caller sees what a real dialog could return: a cancel, or a non-empty name that fits
// the caller's buffer.

#include <mutex>

#include "platform/save_dialog.h"
#include "platform/standin.h"

namespace {

std::mutex answerer_lock;
platform::standin::save_dialog_answerer installed_answerer = nullptr;
void* installed_context = nullptr;

bool holds_name(const char16_t* file, t_uint32 capacity) {
    if (!file || capacity == 0 || file[0] == 0) return false;
    for (t_uint32 i = 1; i < capacity; ++i) {
        if (file[i] == 0) return true;
    }
    return false;
}

}  // namespace

namespace platform {

bool show_save_dialog(save_dialog_settings& settings) noexcept {
    standin::save_dialog_answerer answerer;
    void* context;
    {
        const std::lock_guard<std::mutex> hold(answerer_lock);
        answerer = installed_answerer;
        context = installed_context;
    }
    if (!answerer) return false;  // no way to ask anyone: as a dialog that failed to appear

    // The answer must land in the caller's buffer, whatever the answerer does with the settings.
    char16_t* const file = settings.file;
    const t_uint32 capacity = settings.file_capacity;
    bool confirmed = false;
    try {
        confirmed = answerer(settings, context);
    } catch (...) {
        confirmed = false;  // a dialog that broke down reports a cancel
    }
    settings.file = file;
    settings.file_capacity = capacity;
    // A real dialog refuses a name longer than the buffer (FNERR_BUFFERTOOSMALL) and never
    // confirms an empty one.
    return confirmed && holds_name(file, capacity);
}

}  // namespace platform

namespace platform::standin {

void set_save_dialog_answerer(save_dialog_answerer answerer, void* context) noexcept {
    const std::lock_guard<std::mutex> hold(answerer_lock);
    installed_answerer = answerer;
    installed_context = context;
}

}  // namespace platform::standin
