#include "cli/dialog_answer.h"

#include "platform/standin.h"

namespace cli {

installed_dialog_answer::installed_dialog_answer(dialog_answer_function answer) : answer_(std::move(answer)) {
    platform::standin::set_save_dialog_answerer(&installed_dialog_answer::answer_dialog, this);
}

installed_dialog_answer::~installed_dialog_answer() { platform::standin::set_save_dialog_answerer(nullptr, nullptr); }

bool installed_dialog_answer::answer_dialog(platform::save_dialog_settings& settings, void* self) {
    auto& installed = *static_cast<installed_dialog_answer*>(self);
    dialog_outcome& outcome = installed.outcome_;
    // Anything escaping here would reach the component as a plain cancel; keep the reason instead.
    try {
        outcome = installed.answer_(read_dialog_request(settings));
        if (outcome.what != dialog_outcome::kind::answered) return false;
        if (auto problem = write_dialog_answer(settings, outcome.path, outcome.filter_index)) {
            outcome = dialog_outcome::refuse("cannot write " + outcome.path + ": " + *problem);
            return false;
        }
        return true;
    } catch (const std::exception& error) {
        outcome = dialog_outcome::fail(std::string("the save dialog failed: ") + error.what());
    } catch (...) {
        outcome = dialog_outcome::fail("the save dialog failed");
    }
    return false;
}

}  // namespace cli
