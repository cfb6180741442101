// Opening output files through the host's filesystem services (filesystem::g_open is declared
// with the filesystem interface).
#pragma once

#include "abi/filesystem.h"

// The first filesystem service, in the host's order, that accepts the path; false when none does.
bool find_filesystem(const char* path, service_ref& out);
