#include "io/output_file_access.h"

#include <utility>

#include "abi/io_exceptions.h"
#include "abi/shared_library.h"
#include "io/host_gateway.h"

bool find_filesystem(const char* path, service_ref& out) {
    // Before the entry point has run there is no host, and so no filesystem.
    if (!component_module::host_api) return false;
    host_api& api = *component_module::host_api;
    const t_uint32 class_handle = api.find_service_class(filesystem::class_guid);
    for (t_uint32 index = 0;; ++index) {
        service_ref candidate;
        if (!api.create_service(&candidate, class_handle, index)) return false;
        if (candidate.as<filesystem>()->accepts_path(path)) {
            out = std::move(candidate);
            return true;
        }
    }
}

void filesystem::g_open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) {
    uCallStackTracker tracker("filesystem::g_open");
    service_ref service;
    if (!find_filesystem(path, service)) throw orvanta_io::exception_io_no_handler_for_path();
    service.as<filesystem>()->open(out, path, mode, abort);
}
