#include "tests/win32/track_record.h"

#include "tests/win32/host_ledger.h"

namespace wine_host {

namespace {

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// name (at most length bytes, up to its NUL) equals stored, ignoring ASCII case: the host's names
// are ASCII.
bool same_name(const char* stored, const char* name, t_uint32 length) {
    t_uint32 i = 0;
    for (; i < length && name[i] != '\0'; ++i) {
        if (stored[i] == '\0' || ascii_lower(stored[i]) != ascii_lower(name[i])) return false;
    }
    return stored[i] == '\0';
}

}  // namespace

t_uint32 field_count_of(const golden::track& track) {
    t_uint32 count = 0;
    while (count < sizeof track.fields / sizeof track.fields[0] && track.fields[count].name) ++count;
    return count;
}

t_uint32 value_count_of(const golden::field& field) {
    t_uint32 count = 0;
    while (count < sizeof field.values / sizeof field.values[0] && field.values[count]) ++count;
    return count;
}

track_record::track_record(const golden::track& track) : track_record(track, field_count_of(track)) {}

track_record::track_record(const golden::track& track, t_uint32 claimed_fields)
    : track_(track), real_fields_(field_count_of(track)), claimed_fields_(claimed_fields) {}

double track_record::get_length() const { return track_.length; }

replaygain_values* track_record::get_replaygain(replaygain_values* out) const {
    *out = track_.replaygain;
    return out;
}

t_uint32 track_record::field_count() const { return claimed_fields_; }

const char* track_record::field_name(t_uint32 field) const {
    return field < real_fields_ ? track_.fields[field].name : "";
}

t_uint32 track_record::field_value_count(t_uint32 field) const {
    return field < real_fields_ ? value_count_of(track_.fields[field]) : 0;
}

const char* track_record::field_value(t_uint32 field, t_uint32 value) const {
    return field < real_fields_ && value < value_count_of(track_.fields[field]) ? track_.fields[field].values[value] : "";
}

t_uint32 track_record::find_field(const char* name, t_uint32 name_length) const {
    for (t_uint32 i = 0; i < real_fields_; ++i) {
        if (same_name(track_.fields[i].name, name, name_length)) return i;
    }
    return vesk::index_not_found;
}

t_uint32 track_record::info_count() const { return golden::info_count; }

const char* track_record::info_name(t_uint32 index) const { return golden::infos[index].name; }

const char* track_record::info_value(t_uint32 index) const { return golden::infos[index].value; }

t_uint32 track_record::find_info(const char* name, t_uint32 name_length) const {
    for (t_uint32 i = 0; i < golden::info_count; ++i) {
        if (same_name(golden::infos[i].name, name, name_length)) return i;
    }
    return vesk::index_not_found;
}

// The component may only read the host's cached record.
void track_record::set_length(double) { ++ledger.cached_record_changes; }
void track_record::set_replaygain(const replaygain_values&) { ++ledger.cached_record_changes; }
t_uint32 track_record::set_field(const char*, t_uint32, const char*, t_uint32) {
    ++ledger.cached_record_changes;
    return vesk::index_not_found;
}
void track_record::insert_field_value(t_uint32, t_uint32, const char*, t_uint32) { ++ledger.cached_record_changes; }
void track_record::remove_fields(const index_mask&) { ++ledger.cached_record_changes; }
void track_record::reorder_fields(const t_uint32*) { ++ledger.cached_record_changes; }
void track_record::remove_field_values(t_uint32, const index_mask&) { ++ledger.cached_record_changes; }
void track_record::replace_field_value(t_uint32, t_uint32, const char*, t_uint32) { ++ledger.cached_record_changes; }
t_uint32 track_record::set_info(const char*, t_uint32, const char*, t_uint32) {
    ++ledger.cached_record_changes;
    return vesk::index_not_found;
}
void track_record::remove_infos(const index_mask&) { ++ledger.cached_record_changes; }
void track_record::copy_from(const track_info&) { ++ledger.cached_record_changes; }
void track_record::copy_fields_from(const track_info&) { ++ledger.cached_record_changes; }
void track_record::copy_infos_from(const track_info&) { ++ledger.cached_record_changes; }
t_uint32 track_record::append_field(const char*, t_uint32, const char*, t_uint32) {
    ++ledger.cached_record_changes;
    return vesk::index_not_found;
}
t_uint32 track_record::append_info(const char*, t_uint32, const char*, t_uint32) {
    ++ledger.cached_record_changes;
    return vesk::index_not_found;
}

}  // namespace wine_host
