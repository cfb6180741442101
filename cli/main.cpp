// trevalin: writes a cue sheet for audio files or a JSON track list through the Trevalin
// component, hosted by the stand-in host.

#include <csignal>
#include <exception>

#include "cli/command.h"
#include "cli/gtk_dialog.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/sheet_check.h"
#include "host/component_loader.h"
#include "host/pending_names.h"
#include "host/track_source.h"

#if defined(__SANITIZE_ADDRESS__)
// libcue does not free what it built when it gives up on a sheet; "trevalin check" reads broken
// sheets on purpose. Only the leak checker reads this.
extern "C" const char* __lsan_default_suppressions() { return "leak:libcue.so"; }
#endif

namespace {

int run(int argc, char** argv) {
    try {
        const cli::parsed_command_line parsed = cli::parse_command_line(argc, argv);
        if (!parsed.options && !parsed.check) return parsed.exit_code;
        if (parsed.check) return cli::code_of(cli::report_check(parsed.check->sheet, parsed.check->code_page));
        return cli::code_of(cli::run_command(*parsed.options));
    } catch (const cli::usage_error& error) {
        cli::report(error.what());
        return cli::code_of(cli::exit_status::usage_error);
    } catch (const host::input_error& error) {
        cli::report(error.what());
        return cli::code_of(cli::exit_status::usage_error);
    } catch (const std::exception& error) {
        cli::report(cli::message_of(error));
        return cli::code_of(cli::exit_status::export_failed);
    } catch (...) {
        cli::report("the export failed");
        return cli::code_of(cli::exit_status::export_failed);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (trevalin -o - | head) is a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    // A run ended by SIGINT, SIGTERM or SIGHUP leaves no temporary file behind.
    host::pending_names::remove_on_termination_signals();

    const int status = run(argc, argv);
    cli::show_kept_failures(status);
    return status;
}
