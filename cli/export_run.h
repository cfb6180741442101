// The stand-in host's run of "Create cuesheet...": the component loaded with the host's services,
// the selection handed over as track handles, the command found in the context menu and run
// through its node, and what came of it.
#pragma once

#include <string>

#include "cli/dialog_answer.h"
#include "cli/exit_status.h"
#include "host/component_loader.h"
#include "host/host_services.h"
#include "host/track_handles.h"

namespace cli {

// The command's name in the context menu.
inline constexpr const char cue_sheet_command_name[] = "Create cuesheet...";

// The host and the loaded component. The services are offered before the component is loaded,
// as the player offers its own.
class export_host {
public:
    // Throws host::component_load_error.
    explicit export_host(const std::string& component_path);
    export_host(const export_host&) = delete;
    export_host& operator=(const export_host&) = delete;

    // Runs the command on the selection; dialog must be installed. Reports failures on standard
    // error and returns the command's exit status. May run again, on other tracks.
    exit_status run_cue_sheet_command(host::host_track_list& selection, const installed_dialog_answer& dialog);

private:
    // What the filesystem services had done before a run, so each run is judged on its own.
    struct io_marks {
        unsigned long standard_output_opens;
        unsigned long commits;
        unsigned long commit_failures;
        unsigned long kept_existing;
    };
    io_marks marks() const;
    exit_status result_of_run(const installed_dialog_answer& dialog, const io_marks& before) const;

    // The gateway outlives the component, and the filesystem services are read after each run.
    host::host_api_impl api_;
    service_ref local_files_;
    service_ref standard_output_;
    host::loaded_component component_;
};

}  // namespace cli
