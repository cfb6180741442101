#include "host/host_track_info.h"

#include <utility>

#include "abi/shared_library.h"

namespace host {

namespace {

// Up to the first NUL, and at most length bytes unless length is all ones.
std::string copy_text(const char* text, t_uint32 length) {
    if (text == nullptr) return {};
    return std::string(text, vesk::text_length(text, length));
}

std::string up_to_nul(std::string text) {
    const auto nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

// Another record's texts; a null one reads as "" rather than crashing the copy.
std::string text_of(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

t_uint32 count_of(std::size_t size) { return static_cast<t_uint32>(size); }

// A stable compaction that asks the mask only through find, as a foreign mask expects.
template <typename T>
void remove_selected(std::vector<T>& items, const index_mask& mask) {
    const t_uint32 n = count_of(items.size());
    t_uint32 i = mask.find(true, 0, static_cast<t_int32>(n));
    if (i >= n) return;
    t_uint32 k = mask.find(false, i + 1, static_cast<t_int32>(n - i - 1));
    while (k < n) {
        std::swap(items[i], items[k]);
        ++i;
        k = mask.find(false, k + 1, static_cast<t_int32>(n - k - 1));
    }
    items.resize(i);
}

}  // namespace

double host_track_info::get_length() const { return length_; }

void host_track_info::set_length(double seconds) { length_ = seconds; }

void host_track_info::set_replaygain(const replaygain_values& values) { replaygain_ = values; }

replaygain_values* host_track_info::get_replaygain(replaygain_values* out) const {
    *out = replaygain_;
    return out;
}

t_uint32 host_track_info::field_count() const { return count_of(fields_.size()); }

const char* host_track_info::field_name(t_uint32 field) const { return fields_[field].name.c_str(); }

t_uint32 host_track_info::field_value_count(t_uint32 field) const {
    return count_of(fields_[field].values.size());
}

const char* host_track_info::field_value(t_uint32 field, t_uint32 value) const {
    return fields_[field].values[value].c_str();
}

t_uint32 host_track_info::find_field(const char* name, t_uint32 name_length) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (stricmp_utf8_ex(fields_[i].name.c_str(), vesk::length_up_to_nul, name, name_length) == 0)
            return count_of(i);
    }
    return vesk::index_not_found;
}

t_uint32 host_track_info::set_field(const char* name, t_uint32 name_length, const char* value,
                                    t_uint32 value_length) {
    const t_uint32 found = find_field(name, name_length);
    if (found != vesk::index_not_found) fields_.erase(fields_.begin() + found);
    return append_field(name, name_length, value, value_length);
}

void host_track_info::insert_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                         t_uint32 value_length) {
    auto& values = fields_[field].values;
    const std::size_t at = value_index < values.size() ? value_index : values.size();
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(at), copy_text(value, value_length));
}

void host_track_info::remove_fields(const index_mask& mask) { remove_selected(fields_, mask); }

void host_track_info::reorder_fields(const t_uint32* order) {
    std::vector<field> reordered;
    reordered.reserve(fields_.size());
    for (std::size_t k = 0; k < fields_.size(); ++k) reordered.push_back(std::move(fields_[order[k]]));
    fields_ = std::move(reordered);
}

void host_track_info::remove_field_values(t_uint32 field, const index_mask& mask) {
    remove_selected(fields_[field].values, mask);
    if (fields_[field].values.empty()) fields_.erase(fields_.begin() + field);
}

void host_track_info::replace_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                          t_uint32 value_length) {
    fields_[field].values[value_index] = copy_text(value, value_length);
}

t_uint32 host_track_info::info_count() const { return count_of(infos_.size()); }

const char* host_track_info::info_name(t_uint32 index) const { return infos_[index].name.c_str(); }

const char* host_track_info::info_value(t_uint32 index) const { return infos_[index].value.c_str(); }

t_uint32 host_track_info::set_info(const char* name, t_uint32 name_length, const char* value,
                                   t_uint32 value_length) {
    const t_uint32 found = find_info(name, name_length);
    if (found != vesk::index_not_found) infos_.erase(infos_.begin() + found);
    return append_info(name, name_length, value, value_length);
}

void host_track_info::remove_infos(const index_mask& mask) { remove_selected(infos_, mask); }

t_uint32 host_track_info::find_info(const char* name, t_uint32 name_length) const {
    for (std::size_t i = 0; i < infos_.size(); ++i) {
        if (stricmp_utf8_ex(infos_[i].name.c_str(), vesk::length_up_to_nul, name, name_length) == 0)
            return count_of(i);
    }
    return vesk::index_not_found;
}

void host_track_info::copy_from(const track_info& source) {
    if (&source == this) return;
    copy_fields_from(source);
    copy_infos_from(source);
    set_length(source.get_length());
    set_replaygain(source.replaygain());
}

// Both copies build the new contents before replacing the old, so a record may copy itself.
void host_track_info::copy_fields_from(const track_info& source) {
    std::vector<field> copied(source.field_count());
    for (t_uint32 i = 0; i < copied.size(); ++i) {
        copied[i].name = text_of(source.field_name(i));
        const t_uint32 n = source.field_value_count(i);
        copied[i].values.reserve(n);
        for (t_uint32 j = 0; j < n; ++j) copied[i].values.push_back(text_of(source.field_value(i, j)));
    }
    fields_ = std::move(copied);
}

void host_track_info::copy_infos_from(const track_info& source) {
    std::vector<info_entry> copied(source.info_count());
    for (t_uint32 i = 0; i < copied.size(); ++i) {
        copied[i].name = text_of(source.info_name(i));
        copied[i].value = text_of(source.info_value(i));
    }
    infos_ = std::move(copied);
}

t_uint32 host_track_info::append_field(const char* name, t_uint32 name_length, const char* value,
                                       t_uint32 value_length) {
    fields_.push_back({copy_text(name, name_length), {copy_text(value, value_length)}});
    return count_of(fields_.size() - 1);
}

t_uint32 host_track_info::append_info(const char* name, t_uint32 name_length, const char* value,
                                      t_uint32 value_length) {
    infos_.push_back({copy_text(name, name_length), copy_text(value, value_length)});
    return count_of(infos_.size() - 1);
}

void host_track_info::add_field(std::string name, std::vector<std::string> values) {
    for (auto& value : values) value = up_to_nul(std::move(value));
    fields_.push_back({up_to_nul(std::move(name)), std::move(values)});
}

void host_track_info::add_info(std::string name, std::string value) {
    infos_.push_back({up_to_nul(std::move(name)), up_to_nul(std::move(value))});
}

}  // namespace host
