#include "tests/win32/component_session.h"

#include "tests/win32/host_os.h"

namespace wine_host {

namespace {

// Destroys the node the host owns, whichever way the command ends.
class owned_node {
public:
    explicit owned_node(contextmenu_item_node_root* node) : node_(node) {}
    owned_node(const owned_node&) = delete;
    owned_node& operator=(const owned_node&) = delete;
    ~owned_node() {
        if (node_) node_->destroy(1);
    }
    contextmenu_item_node_root* get() const { return node_; }

private:
    contextmenu_item_node_root* node_;
};

}  // namespace

component_session::component_session(host_api& api) {
    module_ = os::load_component();
    if (!module_) return;
    const orvanta_get_interface_function entry = os::component_entry(module_);
    if (!entry) return;
    record_ = entry(&api, module_);
    if (!record_) return;
    record_->set_module_strings("C:\\Program Files\\Orvanta\\components", os::component_file_name());
    record_->set_services_ready(true);

    for (service_factory_base* factory = record_->factory_list(); factory && factory_count_ < max_factories;
         factory = factory->next) {
        factories_[factory_count_++] = factory;
        if (factory->class_guid && guid_equal(*factory->class_guid, contextmenu_item::class_guid) && !item_) {
            factory->create_instance(&item_);
        } else if (factory->class_guid && guid_equal(*factory->class_guid, componentversion::class_guid) && !version_) {
            factory->create_instance(&version_);
        }
    }
}

component_session::~component_session() { unload(); }

void component_session::unload() {
    if (!module_) return;
    item_.reset();
    version_.reset();
    record_ = nullptr;
    unloaded_ = os::unload_component(module_);
    module_ = nullptr;
}

void run_command(contextmenu_item& item, track_handle_list& tracks) {
    const owned_node node(item.instantiate(0, tracks, null_guid));
    if (node.get()) node.get()->execute(tracks, null_guid);
}

}  // namespace wine_host
