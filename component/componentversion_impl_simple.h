// The version record built from three static texts; the file name comes from the host.
#pragma once

#include "abi/componentversion.h"
#include "component/service_impl.h"

class componentversion_impl_simple : public componentversion {
public:
    // The texts are not copied: they must live as long as the component. Null counts as empty.
    componentversion_impl_simple(const char* name, const char* version, const char* about) noexcept;

    void file_name_text(vesk::string_base& out) override;
    void name_text(vesk::string_base& out) override;
    void version_text(vesk::string_base& out) override;
    void about_text(vesk::string_base& out) override;

private:
    const char* name_;
    const char* version_;
    const char* about_;
};

// The factory and the version record are one static object.
class componentversion_impl_simple_factory : public service_factory_single_transparent_t<componentversion_impl_simple> {
public:
    componentversion_impl_simple_factory(const char* name, const char* version, const char* about) noexcept
        : service_factory_single_transparent_t<componentversion_impl_simple>(name, version, about) {}
};
