// Names of hidden temporary files that exist right now, kept where a signal handler can reach
// them: a run ended by SIGINT, SIGTERM or SIGHUP removes them before it dies, so an interrupted
// export leaves nothing behind.
#pragma once

namespace host::pending_names {

// Remembers a copy of path until forget(slot); returns the slot, or -1 when every slot is taken
// or the path is too long to keep (the file is then only removed on the ordinary ways out).
int remember(const char* path) noexcept;
void forget(int slot) noexcept;

// Unlinks every remembered name. Safe to call from a signal handler.
void remove_all() noexcept;

// Installs handlers for SIGINT, SIGTERM and SIGHUP (those not ignored) that call remove_all and
// then end the process by the same signal, as if no handler had been installed.
void remove_on_termination_signals() noexcept;

}  // namespace host::pending_names
