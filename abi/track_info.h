// The track information record as both sides see it: 26 operations in fixed slot order.
// The component implements it (track_info_impl) and the host fills it; the host implements its
// own records, which the component reads (peek_info) and copies from.
#pragma once

#include <type_traits>

#include "abi/conventions.h"
#include "abi/index_mask.h"

// Four 32-bit floats; a gain of -1000 and a peak of -1 mean "not set".
struct replaygain_values {
    static constexpr float gain_not_set = -1000.0f;
    static constexpr float peak_not_set = -1.0f;

    float album_gain = gain_not_set;
    float track_gain = gain_not_set;
    float album_peak = peak_not_set;
    float track_peak = peak_not_set;
};
static_assert(sizeof(replaygain_values) == 16);

// Texts come with a 32-bit byte length in which all ones means "up to the NUL"; a copy also stops
// at the first NUL. Indices and counts are 32-bit; no operation checks an index against its count.
class ORVANTA_SHARED_TYPE track_info {
public:
    virtual double get_length() const = 0;                                                         // slot 0
    virtual void set_length(double seconds) = 0;                                                   // slot 1
    virtual void set_replaygain(const replaygain_values& values) = 0;                              // slot 2
    virtual replaygain_values* get_replaygain(replaygain_values* out) const = 0;                   // slot 3: returns out
    virtual t_uint32 field_count() const = 0;                                                      // slot 4
    virtual const char* field_name(t_uint32 field) const = 0;                                      // slot 5
    virtual t_uint32 field_value_count(t_uint32 field) const = 0;                                  // slot 6
    virtual const char* field_value(t_uint32 field, t_uint32 value) const = 0;                     // slot 7
    virtual t_uint32 find_field(const char* name, t_uint32 name_length) const = 0;                 // slot 8
    virtual t_uint32 set_field(const char* name, t_uint32 name_length, const char* value,
                               t_uint32 value_length) = 0;                                          // slot 9
    virtual void insert_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                    t_uint32 value_length) = 0;                                     // slot 10
    virtual void remove_fields(const index_mask& mask) = 0;                                        // slot 11
    // order[k] names the field that ends up at position k; it must be a permutation.
    virtual void reorder_fields(const t_uint32* order) = 0;                                        // slot 12
    virtual void remove_field_values(t_uint32 field, const index_mask& mask) = 0;                  // slot 13
    virtual void replace_field_value(t_uint32 field, t_uint32 value_index, const char* value,
                                     t_uint32 value_length) = 0;                                    // slot 14
    virtual t_uint32 info_count() const = 0;                                                       // slot 15
    virtual const char* info_name(t_uint32 index) const = 0;                                       // slot 16
    virtual const char* info_value(t_uint32 index) const = 0;                                      // slot 17
    virtual t_uint32 set_info(const char* name, t_uint32 name_length, const char* value,
                              t_uint32 value_length) = 0;                                           // slot 18
    virtual void remove_infos(const index_mask& mask) = 0;                                         // slot 19
    virtual t_uint32 find_info(const char* name, t_uint32 name_length) const = 0;                  // slot 20
    virtual void copy_from(const track_info& source) = 0;                                          // slot 21
    virtual void copy_fields_from(const track_info& source) = 0;                                   // slot 22
    virtual void copy_infos_from(const track_info& source) = 0;                                    // slot 23
    virtual t_uint32 append_field(const char* name, t_uint32 name_length, const char* value,
                                  t_uint32 value_length) = 0;                                       // slot 24
    virtual t_uint32 append_info(const char* name, t_uint32 name_length, const char* value,
                                 t_uint32 value_length) = 0;                                        // slot 25

    // The by-value form of get_replaygain.
    replaygain_values replaygain() const {
        replaygain_values values;
        get_replaygain(&values);
        return values;
    }

protected:
    track_info() = default;
    track_info(const track_info&) = default;
    track_info& operator=(const track_info&) = default;
    ~track_info() = default;
};

static_assert(!std::has_virtual_destructor_v<track_info>);
