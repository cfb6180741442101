#include "tests/win32/track_handles.h"

#include <new>

#include "tests/win32/host_ledger.h"

namespace wine_host {

namespace {

// More fields than a 32-bit record can address in bytes: the component's record must refuse to
// make room for them rather than wrap its size computation.
constexpr t_uint32 oversized_field_count = 0x40000000;

// Gives the component's record the track's information through the record's own operations.
void write_into(track_info& out, const golden::track& track) {
    const t_uint32 fields = field_count_of(track);
    for (t_uint32 i = 0; i < fields; ++i) {
        const golden::field& field = track.fields[i];
        const t_uint32 index = out.set_field(field.name, vesk::length_up_to_nul, field.values[0], vesk::length_up_to_nul);
        for (t_uint32 j = 1; j < value_count_of(field); ++j) {
            out.insert_field_value(index, j, field.values[j], vesk::length_up_to_nul);
        }
    }
    for (t_uint32 i = 0; i < golden::info_count; ++i) {
        out.set_info(golden::infos[i].name, vesk::length_up_to_nul, golden::infos[i].value, vesk::length_up_to_nul);
    }
    out.set_length(track.length);
    out.set_replaygain(track.replaygain);
}

}  // namespace

host_track_handle::host_track_handle(const golden::track& track, fill_style style)
    : track_(track), style_(style), location_(track.path), cached_(track) {
    ++ledger.live_handles;
}

host_track_handle::~host_track_handle() { --ledger.live_handles; }

t_uint32 host_track_handle::release() {
    const t_uint32 left = --references_;
    if (left == 0) delete this;
    return left;
}

t_uint32 host_track_handle::add_ref() { return ++references_; }

bool host_track_handle::query(service_ref*, const GUID&) { return false; }

const track_location* host_track_handle::location() const { return &location_; }

t_uint32 host_track_handle::subsong_index() const { return 0; }

void host_track_handle::lock() {
    ++ledger.locks;
    locked_ = true;
}

void host_track_handle::unlock() {
    ++ledger.unlocks;
    locked_ = false;
}

bool host_track_handle::has_info() const { return true; }

t_uint64 host_track_handle::info_timestamp() const { return 1; }

bool host_track_handle::fill_info(track_info& out) const {
    ++ledger.fill_info_calls;
    if (style_ == fill_style::by_copying_oversized) {
        const track_record oversized(track_, oversized_field_count);
        out.copy_from(oversized);
    } else {
        write_into(out, track_);
    }
    return true;
}

bool host_track_handle::peek_info(const track_info** out) const {
    if (!locked_) ++ledger.peeks_without_lock;
    *out = &cached_;
    return true;
}

host_track_list::~host_track_list() {
    for (t_uint32 i = 0; i < count_; ++i) handles_[i]->release();
}

t_uint32 host_track_list::count() const { return count_; }

void host_track_list::get_handle(service_ref* out, t_uint32 index) const {
    ++ledger.get_handle_calls;
    out->assign(index < count_ ? handles_[index] : nullptr);
}

bool host_track_list::add(const golden::track& track, fill_style style) {
    if (count_ == capacity) return false;
    handles_[count_++] = new host_track_handle(track, style);
    return true;
}

}  // namespace wine_host
