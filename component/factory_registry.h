// The process-wide registry of the component's service factories.
#pragma once

#include "abi/service.h"

// Head of the singly linked registry; null until static initialisation registers the factories.
// Constant-initialised, so it is valid before any factory's constructor runs.
extern constinit service_factory_base* factory_list_head;
