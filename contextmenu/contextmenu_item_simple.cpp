#include "contextmenu/contextmenu_item_simple.h"

#include <new>

#include "platform/heap.h"
#include "vesk/out_of_memory.h"

contextmenu_item_node_root* contextmenu_item_simple::instantiate(t_uint32 index, track_handle_list&, const GUID&) {
    void* block = platform::heap_allocate(sizeof(contextmenu_item_node_impl));
    if (!block) vesk::throw_bad_alloc();
    return ::new (block) contextmenu_item_node_impl(*this, index);
}

void contextmenu_item_simple::execute(t_uint32 index, const GUID& node_guid, track_handle_list& tracks,
                                      const GUID& caller) {
    if (guid_equal(node_guid, null_guid)) run_command(index, tracks, caller);
}

bool contextmenu_item_simple::command_flag(t_uint32) { return true; }

bool contextmenu_item_simple::display_data(t_uint32 index, track_handle_list& tracks, vesk::string_base& out,
                                           t_uint32& flags, const GUID& caller) {
    if (tracks.count() == 0) return false;
    return command_display(index, tracks, out, flags, caller);
}

t_uint32 contextmenu_item_node_root_leaf::node_kind() { return 1; }

contextmenu_item_node* contextmenu_item_node_root_leaf::child(t_uint32, t_uint32) { return nullptr; }

t_uint32 contextmenu_item_node_root_leaf::child_count() { return 0; }

bool contextmenu_item_node_root_leaf::is_mappable(t_uint32) { return false; }

contextmenu_item_simple::contextmenu_item_node_impl::contextmenu_item_node_impl(contextmenu_item_simple& item,
                                                                                t_uint32 index) noexcept
    : item_(&item), index_(index) {}

bool contextmenu_item_simple::contextmenu_item_node_impl::display_data(vesk::string_base& out, t_uint32& flags,
                                                                       track_handle_list& tracks, const GUID& caller) {
    return item().display_data(index_, tracks, out, flags, caller);
}

void contextmenu_item_simple::contextmenu_item_node_impl::execute(track_handle_list& tracks, const GUID& caller) {
    item().run_command(index_, tracks, caller);
}

bool contextmenu_item_simple::contextmenu_item_node_impl::description(vesk::string_base& out) {
    return item().command_description(index_, out);
}

GUID* contextmenu_item_simple::contextmenu_item_node_impl::node_guid(GUID* out) {
    *out = null_guid;
    return out;
}

bool contextmenu_item_simple::contextmenu_item_node_impl::flag() { return item().command_flag(index_); }

void contextmenu_item_simple::contextmenu_item_node_impl::destroy(t_uint32 flags) {
    this->~contextmenu_item_node_impl();
    if (flags & 1) platform::heap_free(this);
}
