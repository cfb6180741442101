#include "cli/export_run.h"

#include "cli/messages.h"
#include "host/context_menu.h"
#include "host/counted_service.h"
#include "host/local_filesystem.h"
#include "host/stdout_filesystem.h"
#include "host/track_handles.h"

namespace cli {

namespace {

service_ref offered(host::host_api_impl& api, service_ref service) {
    api.add_service(filesystem::class_guid, service);
    return service;
}

}  // namespace

export_host::export_host(const std::string& component_path)
    : local_files_(offered(api_, host::make_counted<host::local_filesystem>())),
      standard_output_(offered(api_, host::make_counted<host::stdout_filesystem>())),
      component_(component_path, api_) {}

exit_status export_host::run_cue_sheet_command(host::host_track_list& selection,
                                               const installed_dialog_answer& dialog) {
    const io_marks before = marks();
    // Only a file whose replacing the dialog confirmed is replaced; one that appears at the target
    // while the sheet is written is kept.
    local_files_.as<host::local_filesystem>()->set_replace_rule([&dialog](const std::string& local_path) {
        const dialog_outcome& outcome = dialog.outcome();
        return outcome.replace_confirmed && host::local_filesystem::local_path_of(outcome.path.c_str()) == local_path;
    });
    try {
        // The menu's commands hold the component's items: they go before anything else of the run.
        const std::vector<host::menu_command> commands = host::menu_commands(component_, selection);
        const host::menu_command* command = host::find_menu_command(commands, cue_sheet_command_name);
        if (command == nullptr) {
            report(std::string("the component offers no \"") + cue_sheet_command_name + "\" command for this selection");
            return exit_status::export_failed;
        }
        host::run_menu_command(*command, selection);
    } catch (const std::exception& error) {
        report(message_of(error));
        return exit_status::export_failed;
    } catch (...) {
        report("the export failed");
        return exit_status::export_failed;
    }
    return result_of_run(dialog, before);
}

export_host::io_marks export_host::marks() const {
    const auto& standard_output = standard_output_.as<host::stdout_filesystem>()->counters();
    const auto& local = local_files_.as<host::local_filesystem>()->counters();
    return {standard_output.opens.load(), local.commits.load(), local.commit_failures(), local.kept_existing.load()};
}

exit_status export_host::result_of_run(const installed_dialog_answer& dialog, const io_marks& before) const {
    const dialog_outcome& outcome = dialog.outcome();
    switch (outcome.what) {
        case dialog_outcome::kind::answered: break;
        case dialog_outcome::kind::cancelled: return exit_status::cancelled;
        case dialog_outcome::kind::declined: report(outcome.message); return exit_status::cancelled;
        case dialog_outcome::kind::refused: report(outcome.message); return exit_status::usage_error;
        case dialog_outcome::kind::failed: report(outcome.message); return exit_status::export_failed;
        case dialog_outcome::kind::withheld: report(outcome.message); return exit_status::refused;
        case dialog_outcome::kind::not_shown:
            report("the command ended without asking where to write the cue sheet");
            return exit_status::export_failed;
    }
    // The component reports success once its one write returned; the local file only takes the
    // target's place when its last reference goes, and that step can still fail.
    const io_marks after = marks();
    if (outcome.path == "-") {
        if (after.standard_output_opens > before.standard_output_opens) return exit_status::written;
    } else {
        if (after.kept_existing > before.kept_existing) {
            report(outcome.path + " already exists; not replaced");
            return exit_status::cancelled;
        }
        if (after.commit_failures > before.commit_failures) {
            report(local_files_.as<host::local_filesystem>()->counters().last_commit_failure());
            return exit_status::export_failed;
        }
        if (after.commits > before.commits) return exit_status::written;
    }
    report("the command ended without writing " + outcome.path);
    return exit_status::export_failed;
}

}  // namespace cli
