// The component's track information record: the host fills it through the table, the export
// reads it, and every export record carries a copy.
// Implemented here; the host calls it by slot.
#pragma once

#include "abi/index_mask.h"
#include "abi/track_info.h"
#include "abi/types.h"
#include "containers/growable_array.h"
#include "containers/hybrid_array.h"
#include "trackinfo/info_entry.h"
#include "vesk/simple_string.h"

// A metadata field: a name and its ordered values. An empty name or value is kept as none and
// reads "".
struct field_entry {
    simple_string name;
    // Value 0 lives in the entry, so a single-valued field needs no array of its own.
    hybrid_array_t<simple_string, 1> values;
};

// Texts arrive as (pointer, length): the copy stops at the first NUL or after length bytes, and a
// length of all ones means up to the NUL. Indices are not checked against their counts.
// Names are compared only through the host's stricmp_utf8_ex; the lowest matching index wins.
// Every allocation failure raises std::bad_alloc: an entry under construction is released and an
// array that cannot grow keeps its elements.
class track_info_impl : public track_info {
public:
    // No fields, no info entries, length 0, every ReplayGain value not set.
    track_info_impl() noexcept = default;
    // An empty record that then copies the other one; raises std::bad_alloc.
    track_info_impl(const track_info_impl& other);
    track_info_impl& operator=(const track_info_impl& other);
    ~track_info_impl();

    double get_length() const override;                                                        // slot 0
    void set_length(double seconds) override;                                                  // slot 1
    void set_replaygain(const replaygain_values& values) override;                             // slot 2
    replaygain_values* get_replaygain(replaygain_values* out) const override;                  // slot 3
    t_uint32 field_count() const override;                                                     // slot 4
    const char* field_name(t_uint32 field) const override;                                     // slot 5
    t_uint32 field_value_count(t_uint32 field) const override;                                 // slot 6
    const char* field_value(t_uint32 field, t_uint32 value) const override;                    // slot 7
    t_uint32 find_field(const char* name, t_uint32 name_length) const override;                // slot 8
    // Removes the first field of that name, then appends the new one, so it moves to the end. A
    // failing append leaves the old field removed. The texts may be the replaced field's own.
    t_uint32 set_field(const char* name, t_uint32 name_length, const char* value,
                       t_uint32 value_length) override;                                         // slot 9
    // A value index at or past the end appends.
    void insert_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                            t_uint32 value_length) override;                                    // slot 10
    void remove_fields(const index_mask& mask) override;                                       // slot 11
    void reorder_fields(const t_uint32* order) override;                                       // slot 12
    // A field left without values goes too.
    void remove_field_values(t_uint32 field, const index_mask& mask) override;                 // slot 13
    void replace_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                             t_uint32 value_length) override;                                   // slot 14
    t_uint32 info_count() const override;                                                      // slot 15
    const char* info_name(t_uint32 index) const override;                                      // slot 16
    const char* info_value(t_uint32 index) const override;                                     // slot 17
    // As set_field, for info entries.
    t_uint32 set_info(const char* name, t_uint32 name_length, const char* value,
                      t_uint32 value_length) override;                                          // slot 18
    void remove_infos(const index_mask& mask) override;                                        // slot 19
    t_uint32 find_info(const char* name, t_uint32 name_length) const override;                 // slot 20
    // The copies read their source only through slots 0, 3-7 and 15-17, so any record will do.
    // Copying the record itself changes nothing.
    void copy_from(const track_info& source) override;                                         // slot 21
    // On failure the fields, or the info entries, stay as they were.
    void copy_fields_from(const track_info& source) override;                                  // slot 22
    void copy_infos_from(const track_info& source) override;                                   // slot 23
    t_uint32 append_field(const char* name, t_uint32 name_length, const char* value,
                          t_uint32 value_length) override;                                      // slot 24
    t_uint32 append_info(const char* name, t_uint32 name_length, const char* value,
                         t_uint32 value_length) override;                                       // slot 25

    // Permutations up to this many fields keep their visited marks in place.
    static constexpr t_uint32 in_place_reorder_limit = 8192;

private:
    using field_array = hybrid_array_t<field_entry, 10>;
    using info_array = growable_array_t<info_entry>;

    field_array fields_;
    info_array infos_;
    double length_ = 0.0;
    replaygain_values replaygain_;
};
