#include "cli/version_report.h"

#include <exception>
#include <iostream>
#include <stdexcept>

#include "cli/build_revision.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "abi/componentversion.h"
#include "host/component_loader.h"
#include "host/host_services.h"
#include "host/host_string.h"

#ifndef TREVALIN_VERSION
#error "TREVALIN_VERSION must name the program's version"
#endif

namespace cli {

namespace {

std::string command_line() {
    std::string line = "trevalin " TREVALIN_VERSION;
    if (build_revision[0] != '\0') line += std::string(" (git ") + build_revision + ")";
    return line + "\n";
}

std::string component_line(const std::string& component_path) {
    host::host_api_impl api;
    const host::loaded_component component(component_path, api);
    // Released before the component is unloaded.
    const service_ref held = component.create_service(componentversion::class_guid);
    auto* record = held.as<componentversion>();
    if (record == nullptr) throw std::runtime_error("component " + component.path() + " keeps no version record");
    host::host_string name;
    host::host_string version;
    record->name_text(name);
    record->version_text(version);
    return "component: " + name.str() + " " + version.str() + " (" + component.path() + ")\n";
}

}  // namespace

int print_versions(const std::string& component_path) {
    std::cout << command_line() << std::flush;
    try {
        std::cout << component_line(component_path) << std::flush;
    } catch (const std::exception& error) {
        report(error.what());
        return code_of(exit_status::export_failed);
    }
    return code_of(exit_status::written);
}

}  // namespace cli
