#include "trackinfo/track_info_impl.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "abi/conventions.h"
#include "abi/shared_library.h"
#include "containers/bit_sets.h"
#include "platform/heap.h"
#include "trackinfo/index_masks.h"
#include "trackinfo/mask_compaction.h"
#include "vesk/out_of_memory.h"

namespace {

// Whether text starts within [first, last] (last is the final NUL).
bool lies_within(const char* text, const char* first, const char* last) noexcept {
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    return text && first && address >= reinterpret_cast<std::uintptr_t>(first) &&
           address <= reinterpret_cast<std::uintptr_t>(last);
}

bool lies_within(const char* text, const simple_string& string) noexcept {
    return !string.is_empty() && lies_within(text, string.text(), string.text() + string.length());
}

bool lies_within(const char* text, const field_entry& entry) noexcept {
    if (lies_within(text, entry.name)) return true;
    for (t_uint32 j = 0; j < entry.values.count(); ++j) {
        if (lies_within(text, entry.values[j])) return true;
    }
    return false;
}

bool lies_within(const char* text, const info_entry& entry) noexcept {
    if (!entry.name()) return false;
    return lies_within(text, entry.name(), entry.value() + vesk::text_length(entry.value(), vesk::length_up_to_nul));
}

// A text that a replacement would free before reading it (the host re-setting an entry from what
// it read of it) is copied first and the copy given instead.
void keep_if_within(const char*& text, t_uint32& length, bool within, simple_string& copy) {
    if (!within) return;
    copy.set(text, length);
    text = copy.text();
    length = vesk::length_up_to_nul;
}

}  // namespace

track_info_impl::track_info_impl(const track_info_impl& other) : track_info_impl() {
    // Delegating makes this a whole object already, so a failing copy runs the destructor.
    copy_from(other);
}

track_info_impl& track_info_impl::operator=(const track_info_impl& other) {
    copy_from(other);
    return *this;
}

track_info_impl::~track_info_impl() = default;

double track_info_impl::get_length() const { return length_; }

void track_info_impl::set_length(double seconds) { length_ = seconds; }

void track_info_impl::set_replaygain(const replaygain_values& values) { replaygain_ = values; }

replaygain_values* track_info_impl::get_replaygain(replaygain_values* out) const {
    *out = replaygain_;
    return out;
}

t_uint32 track_info_impl::field_count() const { return fields_.count(); }

const char* track_info_impl::field_name(t_uint32 field) const { return fields_[field].name.text(); }

t_uint32 track_info_impl::field_value_count(t_uint32 field) const { return fields_[field].values.count(); }

const char* track_info_impl::field_value(t_uint32 field, t_uint32 value) const {
    return fields_[field].values[value].text();
}

// Through the table, so that a look-up sees the record as the host does.
t_uint32 track_info_impl::find_field(const char* name, t_uint32 name_length) const {
    const t_uint32 count = field_count();
    for (t_uint32 i = 0; i < count; ++i) {
        if (stricmp_utf8_ex(field_name(i), vesk::length_up_to_nul, name, name_length) == 0) return i;
    }
    return vesk::index_not_found;
}

t_uint32 track_info_impl::set_field(const char* name, t_uint32 name_length, const char* value,
                                    t_uint32 value_length) {
    const t_uint32 found = find_field(name, name_length);
    simple_string name_copy;
    simple_string value_copy;
    if (found != vesk::index_not_found) {
        keep_if_within(name, name_length, lies_within(name, fields_[found]), name_copy);
        keep_if_within(value, value_length, lies_within(value, fields_[found]), value_copy);
        remove_fields(index_mask_one(found));
    }
    return append_field(name, name_length, value, value_length);
}

void track_info_impl::insert_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                         t_uint32 value_length) {
    // The copy comes first: the value may be one of this field's own texts.
    simple_string copy(value, value_length);
    auto& values = fields_[field].values;
    const t_uint32 count = values.count();
    if (value_index > count) value_index = count;
    values.resize(count + 1);
    for (t_uint32 p = count; p > value_index; --p) values.swap(p, p - 1);
    values[value_index] = std::move(copy);
}

void track_info_impl::remove_fields(const index_mask& mask) { remove_by_mask(fields_, mask, true); }

// Follows each cycle of the permutation once, swapping fields along it; a position is marked when
// it receives its final field, so no cycle is walked twice.
void track_info_impl::reorder_fields(const t_uint32* order) {
    const t_uint32 count = fields_.count();
    fixed_bit_set_t<in_place_reorder_limit / 8> near;
    heap_bit_set far(count > in_place_reorder_limit ? count - in_place_reorder_limit : 0);
    const auto visited = [&](t_uint32 p) {
        return p < in_place_reorder_limit ? near.get(p) : far.get(p - in_place_reorder_limit);
    };
    const auto mark = [&](t_uint32 p) {
        if (p < in_place_reorder_limit) {
            near.set(p);
        } else {
            far.set(p - in_place_reorder_limit);
        }
    };
    for (t_uint32 i = 0; i < count; ++i) {
        if (order[i] == i || visited(i)) continue;
        t_uint32 b = i;
        t_uint32 r = order[i];
        for (;;) {
            fields_.swap(b, r);
            mark(r);
            if (order[r] == i) break;
            b = r;
            r = order[r];
        }
    }
}

void track_info_impl::remove_field_values(t_uint32 field, const index_mask& mask) {
    remove_by_mask(fields_[field].values, mask, true);
    if (fields_[field].values.count() == 0) remove_fields(index_mask_one(field));
}

void track_info_impl::replace_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                          t_uint32 value_length) {
    fields_[field].values[value_index].set(value, value_length);
}

t_uint32 track_info_impl::info_count() const { return infos_.count(); }

// Names are never null in a whole entry; an entry whose block a refused shrink left behind in
// remove_infos reads as "".
const char* track_info_impl::info_name(t_uint32 index) const {
    const char* const name = infos_[index].name();
    return name ? name : "";
}

const char* track_info_impl::info_value(t_uint32 index) const {
    const char* const value = infos_[index].value();
    return value ? value : "";
}

t_uint32 track_info_impl::set_info(const char* name, t_uint32 name_length, const char* value,
                                   t_uint32 value_length) {
    const t_uint32 found = find_info(name, name_length);
    simple_string name_copy;
    simple_string value_copy;
    if (found != vesk::index_not_found) {
        keep_if_within(name, name_length, lies_within(name, infos_[found]), name_copy);
        keep_if_within(value, value_length, lies_within(value, infos_[found]), value_copy);
        remove_infos(index_mask_one(found));
    }
    return append_info(name, name_length, value, value_length);
}

// The blocks go first, while the mask still says which they are; the compaction then keeps what
// the inverted mask selects, which is what the caller did not.
void track_info_impl::remove_infos(const index_mask& mask) {
    const t_uint32 count = infos_.count();
    for (t_uint32 i = mask.find(true, 0, static_cast<t_int32>(count)); i < count;
         i = mask.find(true, i + 1, static_cast<t_int32>(count - i - 1))) {
        infos_[i].release();
    }
    remove_by_mask(infos_, index_mask_inverted(mask), false);
}

t_uint32 track_info_impl::find_info(const char* name, t_uint32 name_length) const {
    const t_uint32 count = info_count();
    for (t_uint32 i = 0; i < count; ++i) {
        if (stricmp_utf8_ex(info_name(i), vesk::length_up_to_nul, name, name_length) == 0) return i;
    }
    return vesk::index_not_found;
}

void track_info_impl::copy_from(const track_info& source) {
    if (&source == this) return;
    copy_fields_from(source);
    copy_infos_from(source);
    set_length(source.get_length());
    set_replaygain(source.replaygain());
}

// Built aside and moved in, so a failure leaves the fields as they were (and the record may be
// its own source).
void track_info_impl::copy_fields_from(const track_info& source) {
    field_array copied;
    const t_uint32 count = source.field_count();
    copied.resize(count);
    for (t_uint32 i = 0; i < count; ++i) {
        field_entry& entry = copied[i];
        entry.name.set(source.field_name(i), vesk::length_up_to_nul);
        const t_uint32 value_count = source.field_value_count(i);
        entry.values.resize(value_count);
        for (t_uint32 j = 0; j < value_count; ++j) {
            entry.values[j].set(source.field_value(i, j), vesk::length_up_to_nul);
        }
    }
    fields_ = std::move(copied);
}

// Copying the record's own entries onto themselves would change nothing, so it is not attempted.
// Otherwise built aside and moved in, so a failure leaves the entries as they were.
void track_info_impl::copy_infos_from(const track_info& source) {
    if (&source == this) return;
    info_array copied;
    const t_uint32 count = source.info_count();
    if (count != 0) {
        copied.resize(count);
        for (t_uint32 i = 0; i < count; ++i) {
            copied[i] = info_entry(source.info_name(i), vesk::length_up_to_nul, source.info_value(i),
                                   vesk::length_up_to_nul);
        }
    }
    infos_ = std::move(copied);
}

t_uint32 track_info_impl::append_field(const char* name, t_uint32 name_length, const char* value,
                                       t_uint32 value_length) {
    // Made whole before the array grows: a failure releases it with nothing else changed.
    field_entry entry;
    entry.name.set(name, name_length);
    entry.values.resize(1);
    entry.values[0].set(value, value_length);
    const t_uint32 index = fields_.count();
    fields_.resize(index + 1);
    fields_[index] = std::move(entry);
    return index;
}

t_uint32 track_info_impl::append_info(const char* name, t_uint32 name_length, const char* value,
                                      t_uint32 value_length) {
    info_entry entry(name, name_length, value, value_length);
    const t_uint32 index = infos_.count();
    infos_.resize(index + 1);
    infos_[index] = std::move(entry);
    return index;
}
