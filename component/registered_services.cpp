// The component's services, registered during static initialisation. Objects in one file are
// constructed in declaration order and each factory pushes itself onto the front of the registry,
// so the host finds them in the reverse of the order below.

#include "component/componentversion_impl_simple.h"
#include "component/service_impl.h"
#include "contextmenu/contextmenu_item_simple_trevalin.h"

namespace {

constexpr const char about[] =
    "Written by:\n"
    "  The Trevalin developers\n"
    "  Everyone who sent a patch\n"
    "Tested by:\n"
    "  Listeners who reported a sheet that came out wrong\n"
    "Thanks to:\n"
    "  The makers of the Orvanta player";

// The version is the project's, from the build.
componentversion_impl_simple_factory version_record_factory("Trevalin", TREVALIN_VERSION, about);
contextmenu_item_factory_t<contextmenu_item_simple_trevalin> cue_sheet_item_factory;

}  // namespace
