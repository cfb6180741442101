// The test host's cached information about one track: a track_info over a row of the golden
// selection. The component reads it through peek_info (its length) and, where the host fills the
// component's record by copy_from, through the reading operations. It is the host's own record,
// so the operations that would change it only count the attempt: the component must never call
// them.
// Implemented here; the component calls it by slot.
#pragma once

#include "abi/track_info.h"
#include "tests/win32/golden_selection.h"

namespace wine_host {

class track_record final : public track_info {
public:
    explicit track_record(const golden::track& track);
    // A record that claims claimed_fields fields, of which only the track's own have names and
    // values: a host whose answer no record can hold.
    track_record(const golden::track& track, t_uint32 claimed_fields);
    track_record(const track_record&) = delete;
    track_record& operator=(const track_record&) = delete;
    ~track_record() = default;

    double get_length() const override;                                                        // slot 0
    void set_length(double seconds) override;                                                  // slot 1
    void set_replaygain(const replaygain_values& values) override;                             // slot 2
    replaygain_values* get_replaygain(replaygain_values* out) const override;                  // slot 3
    t_uint32 field_count() const override;                                                     // slot 4
    const char* field_name(t_uint32 field) const override;                                     // slot 5
    t_uint32 field_value_count(t_uint32 field) const override;                                 // slot 6
    const char* field_value(t_uint32 field, t_uint32 value) const override;                    // slot 7
    t_uint32 find_field(const char* name, t_uint32 name_length) const override;                // slot 8
    t_uint32 set_field(const char* name, t_uint32 name_length, const char* value,
                       t_uint32 value_length) override;                                         // slot 9
    void insert_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                            t_uint32 value_length) override;                                    // slot 10
    void remove_fields(const index_mask& mask) override;                                       // slot 11
    void reorder_fields(const t_uint32* order) override;                                       // slot 12
    void remove_field_values(t_uint32 field, const index_mask& mask) override;                 // slot 13
    void replace_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                             t_uint32 value_length) override;                                   // slot 14
    t_uint32 info_count() const override;                                                      // slot 15
    const char* info_name(t_uint32 index) const override;                                      // slot 16
    const char* info_value(t_uint32 index) const override;                                     // slot 17
    t_uint32 set_info(const char* name, t_uint32 name_length, const char* value,
                      t_uint32 value_length) override;                                          // slot 18
    void remove_infos(const index_mask& mask) override;                                        // slot 19
    t_uint32 find_info(const char* name, t_uint32 name_length) const override;                 // slot 20
    void copy_from(const track_info& source) override;                                         // slot 21
    void copy_fields_from(const track_info& source) override;                                  // slot 22
    void copy_infos_from(const track_info& source) override;                                   // slot 23
    t_uint32 append_field(const char* name, t_uint32 name_length, const char* value,
                          t_uint32 value_length) override;                                      // slot 24
    t_uint32 append_info(const char* name, t_uint32 name_length, const char* value,
                         t_uint32 value_length) override;                                       // slot 25

    // The track's own fields, without the claimed ones.
    t_uint32 real_field_count() const { return real_fields_; }

private:
    const golden::track& track_;
    t_uint32 real_fields_;
    t_uint32 claimed_fields_;
};

// Fields of a row of the golden selection.
t_uint32 field_count_of(const golden::track& track);
// Values of one of its fields.
t_uint32 value_count_of(const golden::field& field);

}  // namespace wine_host
