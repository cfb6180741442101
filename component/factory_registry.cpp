#include "component/factory_registry.h"

constinit service_factory_base* factory_list_head = nullptr;
