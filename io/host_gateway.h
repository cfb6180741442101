// The host's gateway, through which the component finds the host's services. The entry point sets
// it; the lookups here read it, so it lives below everything that finds services.
#pragma once

#include "abi/host_api.h"

namespace component_module {

// Set by the entry point, overwritten by every later call; null before the first.
extern host_api* host_api;

}  // namespace component_module
