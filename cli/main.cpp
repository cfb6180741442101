// trevalin: writes a cue sheet for audio files or a JSON track list through the Trevalin
// component, hosted by the stand-in host.

#include <csignal>
#include <exception>

#include "cli/command.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "host/component_loader.h"
#include "host/track_source.h"

int main(int argc, char** argv) {
    // A reader that goes away (trevalin -o - | head) is a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);

    const cli::parsed_command_line parsed = cli::parse_command_line(argc, argv);
    if (!parsed.options) return parsed.exit_code;
    try {
        return cli::code_of(cli::run_command(*parsed.options));
    } catch (const cli::usage_error& error) {
        cli::report(error.what());
        return cli::code_of(cli::exit_status::usage_error);
    } catch (const host::input_error& error) {
        cli::report(error.what());
        return cli::code_of(cli::exit_status::usage_error);
    } catch (const std::exception& error) {
        cli::report(error.what());
        return cli::code_of(cli::exit_status::export_failed);
    } catch (...) {
        cli::report("the export failed");
        return cli::code_of(cli::exit_status::export_failed);
    }
}
