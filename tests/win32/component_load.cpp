// Loads trevalin.dll as the player does: LoadLibraryW, then orvanta_get_interface with the host's
// gateway and the module handle; the record it hands back answers the interface version.

#include <windows.h>

#include "abi/component_interface.h"
#include "abi/host_api.h"
#include "abi/service.h"
#include "tests/win32/wine_check.h"

using wine_check::expect;

namespace {

// A host that offers no services.
class empty_host final : public host_api {
public:
    t_uint32 find_service_class(const GUID&) override { return 0; }
    bool create_service(service_ref*, t_uint32, t_uint32) override { return false; }
};

}  // namespace

int main() {
    HMODULE component = LoadLibraryW(L"trevalin.dll");
    expect(component != nullptr, "LoadLibraryW loads trevalin.dll (with shared.dll beside it)");
    if (!component) return wine_check::result();

    auto* get_interface = reinterpret_cast<orvanta_get_interface_function>(
        reinterpret_cast<void*>(GetProcAddress(component, "orvanta_get_interface")));
    expect(get_interface != nullptr, "trevalin.dll exports orvanta_get_interface");
    if (get_interface) {
        empty_host host;
        component_interface* record = get_interface(&host, component);
        expect(record != nullptr, "orvanta_get_interface returns the component's record");
        if (record) {
            expect(record->interface_version() == component_interface_version, "the record answers the interface version");
        }
    }
    expect(FreeLibrary(component) != FALSE, "FreeLibrary unloads it");
    return wine_check::result();
}
