// The test host's scenarios, one per test program run. Each reports its checks through
// wine_check; main returns wine_check::result().
#pragma once

namespace wine_host {

// The registry, the version record's texts and the command's answers read by slot, a node, and
// the state stream. No dialog.
void check_component();

// The command with a dialog that cannot appear (no display): a cancel, nothing read beyond the
// first track, nothing written.
void check_cancel();

// The command with a first track whose information cannot fit a record: std::bad_alloc reaches
// the host through the host's own fill_info and the command, and the run gives everything back.
void check_bad_alloc();

// The command answered with output_dir/<name>.cue in one of the four forms: the file holds exactly
// the golden sheet from golden_dir. form is one of utf8-per-file, ansi-per-file,
// utf8-album-image, ansi-album-image, or utf8-per-file-unicode (the UTF-8 per-file form written into
// a folder of output_dir, both folder and name beyond the ANSI code page); false for another.
bool check_export(const char* form, const char* output_dir, const char* golden_dir);

// The command answered with a path that no filesystem service accepts: "Invalid path".
void check_invalid_path(const char* output_dir);

// The command answered with a path whose file fails its write: the host's exception comes back
// through the component as it was thrown.
void check_write_failure(const char* output_dir);

}  // namespace wine_host
