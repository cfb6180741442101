// Every interface that crosses to the player, for the dump of MSVC's table layouts
// (-fdump-vtable-layouts) that vtable_layouts.expected holds. A destructor or an overload that
// slips into an interface moves the slots after it, which the dump shows.
//
// A layout is dumped when its table is emitted; defining a constructor of a class derived from
// the interface emits the interface's table inside it.

#include "abi/abort_callback.h"
#include "abi/component_interface.h"
#include "abi/componentversion.h"
#include "abi/contextmenu_item.h"
#include "abi/filesystem.h"
#include "abi/host_api.h"
#include "abi/index_mask.h"
#include "abi/io_exceptions.h"
#include "abi/service.h"
#include "abi/stream.h"
#include "abi/string_base.h"
#include "abi/track_handle.h"
#include "abi/track_info.h"

template <class Interface>
struct layout_of : Interface {
    layout_of();
};

template <class Interface>
layout_of<Interface>::layout_of() {}

template struct layout_of<service_base>;
template struct layout_of<service_factory_base>;
template struct layout_of<component_interface>;
template struct layout_of<componentversion>;
template struct layout_of<host_api>;
template struct layout_of<track_location>;
template struct layout_of<track_handle>;
template struct layout_of<track_handle_list>;
template struct layout_of<output_file>;
template struct layout_of<filesystem>;
template struct layout_of<vesk::string_receiver>;
template struct layout_of<vesk::string_base>;
template struct layout_of<orvanta_io::abort_callback>;
template struct layout_of<orvanta_io::stream_reader>;
template struct layout_of<orvanta_io::stream_writer>;
template struct layout_of<orvanta_io::exception_io>;
template struct layout_of<orvanta_io::exception_io_data>;
template struct layout_of<orvanta_io::exception_io_data_truncation>;
template struct layout_of<orvanta_io::exception_io_no_handler_for_path>;
template struct layout_of<index_mask>;
template struct layout_of<track_info>;
template struct layout_of<contextmenu_item>;
template struct layout_of<contextmenu_item_node>;
template struct layout_of<contextmenu_item_node_root>;
