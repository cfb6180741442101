// The host's own track information record: what the host knows about one track. The component
// reads it through the table (peek_info) and copies from it; the host fills it from its track
// sources. Its own layout on purpose, so that copying between this record and the component's
// record exercises two independent implementations of one table. A selection holds one record per
// track for the whole run, so everything but the length and the ReplayGain values lives in a
// single block.
// Implemented here; the component calls it by slot.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "abi/track_info.h"

namespace host {

class host_track_info final : public track_info {
public:
    host_track_info() = default;
    host_track_info(const host_track_info& other);
    host_track_info(host_track_info&&) noexcept = default;
    host_track_info& operator=(const host_track_info& other);
    host_track_info& operator=(host_track_info&&) noexcept = default;
    ~host_track_info() = default;

    // Texts arrive as (pointer, length): the copy stops at the first NUL or after length bytes,
    // and a length of all ones means up to the NUL. A null pointer reads as "".
    double get_length() const override;                                                        // slot 0
    void set_length(double seconds) override;                                                  // slot 1
    void set_replaygain(const replaygain_values& values) override;                             // slot 2
    replaygain_values* get_replaygain(replaygain_values* out) const override;                  // slot 3
    t_uint32 field_count() const override;                                                     // slot 4
    const char* field_name(t_uint32 field) const override;                                     // slot 5
    t_uint32 field_value_count(t_uint32 field) const override;                                 // slot 6
    const char* field_value(t_uint32 field, t_uint32 value) const override;                    // slot 7
    t_uint32 find_field(const char* name, t_uint32 name_length) const override;                // slot 8
    // Removes the first field of that name and appends the new one, so it moves to the end.
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
    t_uint32 set_info(const char* name, t_uint32 name_length, const char* value,
                      t_uint32 value_length) override;                                          // slot 18
    void remove_infos(const index_mask& mask) override;                                        // slot 19
    t_uint32 find_info(const char* name, t_uint32 name_length) const override;                 // slot 20
    // The copies read their source only through the table, so any record will do as a source.
    void copy_from(const track_info& source) override;                                         // slot 21
    void copy_fields_from(const track_info& source) override;                                  // slot 22
    void copy_infos_from(const track_info& source) override;                                   // slot 23
    t_uint32 append_field(const char* name, t_uint32 name_length, const char* value,
                          t_uint32 value_length) override;                                      // slot 24
    t_uint32 append_info(const char* name, t_uint32 name_length, const char* value,
                         t_uint32 value_length) override;                                       // slot 25

    // The track sources' way in. A field may have any number of values, none included, which the
    // table cannot express; each text is kept up to its first NUL, as the table would keep it.
    void add_field(std::string name, std::vector<std::string> values);
    void add_info(std::string name, std::string value);

private:
    // The record taken apart, for the changes that are not appends.
    struct contents {
        struct field {
            std::string name;
            std::vector<std::string> values;
        };
        std::vector<field> fields;
        std::vector<std::pair<std::string, std::string>> infos;
    };
    contents unpacked() const;
    void pack(const contents& from);

    // Appends one field (or, with info, one entry of two texts) and returns its index.
    t_uint32 append_entry(bool info, std::string_view name, const std::string_view* values, std::size_t count);

    t_uint32 header(int which) const noexcept { return block_ ? block_[which] : 0; }
    const t_uint32* fields() const noexcept;
    const t_uint32* values() const noexcept;
    const t_uint32* infos() const noexcept;
    const char* text(t_uint32 offset) const noexcept;

    // The counts of fields, values, information entries and text bytes, then three words per
    // field (name, first value, value count), one per value, two per information entry, and the
    // texts, each ended by a NUL. Entries hold text offsets. Null while the record is empty.
    std::unique_ptr<t_uint32[]> block_;
    double length_ = 0.0;
    replaygain_values replaygain_;
};

}  // namespace host
