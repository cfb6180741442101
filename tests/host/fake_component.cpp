// A component library made up for the loader's tests: several factories per class, one without
// a class, a version other than 71, and a record of what the host handed over.

#include <string>

#include "abi/service.h"

#include "abi/component_interface.h"
#include "abi/host_api.h"

namespace {

constexpr GUID class_a{0xAAAA0001, 0x0001, 0x0001, {1, 1, 1, 1, 1, 1, 1, 1}};
constexpr GUID class_b{0xBBBB0002, 0x0002, 0x0002, {2, 2, 2, 2, 2, 2, 2, 2}};

class fake_service final : public service_base {
public:
    fake_service(const GUID* own, int tag) : own_(own), tag_(tag) {}
    t_uint32 release() override { return 1; }
    t_uint32 add_ref() override { return 1; }
    bool query(service_ref* out, const GUID& guid) override {
        if (own_ == nullptr || !guid_equal(guid, *own_)) return false;
        out->assign(this);
        return true;
    }
    int tag() const { return tag_; }

private:
    const GUID* own_;
    int tag_;
};

int instances_created = 0;

class fake_factory final : public service_factory_base {
public:
    fake_factory(const GUID* own, int tag, service_factory_base* following) : service_(own, tag) {
        next = following;
        class_guid = own;
    }
    void create_instance(service_ref* out) override {
        ++instances_created;
        out->assign(&service_);
    }

private:
    fake_service service_;
};

// Registry order: a(1), b(2), a(3), no class(4).
fake_factory fourth(nullptr, 4, nullptr);
fake_factory third(&class_a, 3, &fourth);
fake_factory second(&class_b, 2, &third);
fake_factory first(&class_a, 1, &second);

std::string module_path = "<unset>";
std::string module_file_name = "<unset>";
host_api* given_api = nullptr;
void* given_handle = nullptr;

class fake_interface final : public component_interface {
public:
    t_uint32 interface_version() override { return 70; }
    service_factory_base* factory_list() override { return &first; }
    void save_state(orvanta_io::stream_writer&, orvanta_io::abort_callback&) override {}
    void load_state(orvanta_io::stream_reader&, orvanta_io::abort_callback&) override {}
    void set_module_strings(const char* path, const char* file_name) override {
        module_path = path;
        module_file_name = file_name;
    }
    void set_services_ready(bool) override {}
    bool status_flag() override { return false; }
} record;

}  // namespace

extern "C" ORVANTA_EXPORT component_interface* orvanta_get_interface(host_api* api, void* module_handle) {
    given_api = api;
    given_handle = module_handle;
    return &record;
}

// For the tests, found with dlsym.
struct fake_component_report {
    int instances_created;
    const char* module_path;
    const char* module_file_name;
    host_api* api;
    void* handle;
};

extern "C" ORVANTA_EXPORT fake_component_report fake_component_state() {
    return {instances_created, module_path.c_str(), module_file_name.c_str(), given_api, given_handle};
}

extern "C" ORVANTA_EXPORT int fake_component_tag(service_base* service) {
    return static_cast<fake_service*>(service)->tag();
}

// Makes the registry run in a circle (the last factory leads back to the second), or ends it again.
extern "C" ORVANTA_EXPORT void fake_component_make_circle(bool circle) { fourth.next = circle ? &second : nullptr; }
