#include "component/componentversion_impl_simple.h"

#include "component/module_globals.h"

namespace {

const char* text_or_empty(const char* text) noexcept { return text ? text : ""; }

}  // namespace

componentversion_impl_simple::componentversion_impl_simple(const char* name, const char* version,
                                                           const char* about) noexcept
    : name_(text_or_empty(name)), version_(text_or_empty(version)), about_(text_or_empty(about)) {}

void componentversion_impl_simple::file_name_text(vesk::string_base& out) {
    out.assign(component_module::module_file_name.text(), vesk::length_up_to_nul);
}

void componentversion_impl_simple::name_text(vesk::string_base& out) { out.assign(name_, vesk::length_up_to_nul); }

void componentversion_impl_simple::version_text(vesk::string_base& out) {
    out.assign(version_, vesk::length_up_to_nul);
}

void componentversion_impl_simple::about_text(vesk::string_base& out) { out.assign(about_, vesk::length_up_to_nul); }
