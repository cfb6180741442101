// The stand-in save dialog as this command answers it: from the options or from a terminal prompt.
// The dialog only reports "confirmed" or "cancelled" to the component; the command also needs to
// know why it was cancelled, so each answer is kept as an outcome.
#pragma once

#include <functional>
#include <string>

#include "cli/dialog_request.h"

namespace cli {

struct dialog_outcome {
    enum class kind {
        not_shown,   // the component never asked
        answered,    // path and filter_index are the answer
        cancelled,   // the user cancelled
        declined,    // the target exists and replacing it was not confirmed
        refused,     // the dialog would not take this path (message says why): a usage error
        failed,      // answering broke down (message says why)
        withheld,    // answered, but --strict refused to write after warnings
    };
    kind what = kind::not_shown;
    std::string path;
    t_uint32 filter_index = 1;
    std::string message;  // for declined, refused, failed and withheld
    // answered: replacing a file at path is confirmed (asked and confirmed, --overwrite, or a
    // dialog that does not ask); otherwise one that appears there meanwhile must be kept.
    bool replace_confirmed = false;

    static dialog_outcome answer(std::string path, t_uint32 filter_index, bool replace_confirmed) {
        return {kind::answered, std::move(path), filter_index, {}, replace_confirmed};
    }
    static dialog_outcome cancel() { return {kind::cancelled, {}, 1, {}, false}; }
    static dialog_outcome decline(std::string message) { return {kind::declined, {}, 1, std::move(message), false}; }
    static dialog_outcome refuse(std::string message) { return {kind::refused, {}, 1, std::move(message), false}; }
    static dialog_outcome fail(std::string message) { return {kind::failed, {}, 1, std::move(message), false}; }
    static dialog_outcome withhold(std::string message) { return {kind::withheld, {}, 1, std::move(message), false}; }
};

using dialog_answer_function = std::function<dialog_outcome(const dialog_request&)>;

// Answers the stand-in's save dialog with answer while it lives; afterwards every dialog is a
// cancel again. One at a time.
class installed_dialog_answer {
public:
    explicit installed_dialog_answer(dialog_answer_function answer);
    ~installed_dialog_answer();
    installed_dialog_answer(const installed_dialog_answer&) = delete;
    installed_dialog_answer& operator=(const installed_dialog_answer&) = delete;

    // The last dialog's outcome.
    const dialog_outcome& outcome() const noexcept { return outcome_; }

private:
    static bool answer_dialog(platform::save_dialog_settings& settings, void* self);

    dialog_answer_function answer_;
    dialog_outcome outcome_;
};

}  // namespace cli
