// The component as the player holds it: the library loaded, the entry point called with the host's
// gateway, the module strings handed over, the factories walked and the two services created; and
// "Create cuesheet..." run through a node the host owns.
#pragma once

#include "abi/component_interface.h"
#include "abi/componentversion.h"
#include "abi/contextmenu_item.h"
#include "abi/host_api.h"
#include "abi/service.h"
#include "abi/track_handle.h"

namespace wine_host {

class component_session {
public:
    static constexpr t_uint32 max_factories = 8;

    explicit component_session(host_api& api);
    component_session(const component_session&) = delete;
    component_session& operator=(const component_session&) = delete;
    // Releases the services and unloads the library.
    ~component_session();

    // Loaded, entered, and both services found.
    bool ready() const { return record_ && item_ && version_; }

    component_interface* record() const { return record_; }
    contextmenu_item* item() const { return item_.as<contextmenu_item>(); }
    componentversion* version() const { return version_.as<componentversion>(); }
    // The registry in the order the walk met it.
    t_uint32 factory_count() const { return factory_count_; }
    service_factory_base* factory(t_uint32 index) const { return factories_[index]; }
    bool unloaded_cleanly() const { return unloaded_; }

    // Unloads now; later calls do nothing.
    void unload();

private:
    void* module_ = nullptr;
    component_interface* record_ = nullptr;
    service_factory_base* factories_[max_factories] = {};
    t_uint32 factory_count_ = 0;
    service_ref item_;
    service_ref version_;
    bool unloaded_ = false;
};

// Runs command 0 of item for tracks as the player does: a node from instantiate, the node's
// execute, then the node's destroy (also when execute throws).
void run_command(contextmenu_item& item, track_handle_list& tracks);

}  // namespace wine_host
