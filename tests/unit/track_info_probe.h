// Test helpers for track information records: a snapshot of everything a record shows through its
// table, a mask backed by a list of flags, and a read-only record that fails the test when any
// operation other than the readers is called.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "abi/index_mask.h"
#include "abi/track_info.h"
#include "platform/standin.h"
#include "tests/support/heap_seam_reset.h"

namespace track_info_probe {

constexpr t_uint32 all = vesk::length_up_to_nul;

struct field {
    std::string name;
    std::vector<std::string> values;
    bool operator==(const field&) const = default;
};

struct info {
    std::string name;
    std::string value;
    bool operator==(const info&) const = default;
};

// Equal snapshots: the record shows the same through every reading operation.
struct snapshot {
    std::vector<field> fields;
    std::vector<info> infos;
    std::uint64_t length_bits = 0;
    std::vector<std::uint32_t> replaygain_bits;
    bool operator==(const snapshot&) const = default;
};

inline snapshot take(const track_info& record) {
    snapshot s;
    for (t_uint32 i = 0; i < record.field_count(); ++i) {
        field f{record.field_name(i), {}};
        for (t_uint32 j = 0; j < record.field_value_count(i); ++j) f.values.emplace_back(record.field_value(i, j));
        s.fields.push_back(std::move(f));
    }
    for (t_uint32 i = 0; i < record.info_count(); ++i) s.infos.push_back({record.info_name(i), record.info_value(i)});
    s.length_bits = std::bit_cast<std::uint64_t>(record.get_length());
    const replaygain_values rg = record.replaygain();
    for (float v : {rg.album_gain, rg.track_gain, rg.album_peak, rg.track_peak}) {
        s.replaygain_bits.push_back(std::bit_cast<std::uint32_t>(v));
    }
    return s;
}

inline std::ostream& operator<<(std::ostream& out, const snapshot& s) {
    for (const field& f : s.fields) {
        out << "[" << f.name << ":";
        for (const std::string& v : f.values) out << " '" << v << "'";
        out << "]";
    }
    for (const info& i : s.infos) out << " {" << i.name << "=" << i.value << "}";
    return out << " length " << std::bit_cast<double>(s.length_bits);
}

// The field names in order.
inline std::vector<std::string> names(const track_info& record) {
    std::vector<std::string> out;
    for (t_uint32 i = 0; i < record.field_count(); ++i) out.emplace_back(record.field_name(i));
    return out;
}

inline std::vector<std::string> info_names(const track_info& record) {
    std::vector<std::string> out;
    for (t_uint32 i = 0; i < record.info_count(); ++i) out.emplace_back(record.info_name(i));
    return out;
}

inline std::vector<std::string> values(const track_info& record, t_uint32 field) {
    std::vector<std::string> out;
    for (t_uint32 j = 0; j < record.field_value_count(field); ++j) out.emplace_back(record.field_value(field, j));
    return out;
}

// Fields f0 .. f<n-1>, each with the single value v<i>.
inline void add_numbered_fields(track_info& record, t_uint32 n) {
    for (t_uint32 i = 0; i < n; ++i) {
        const std::string name = "f" + std::to_string(i);
        const std::string value = "v" + std::to_string(i);
        record.append_field(name.c_str(), all, value.c_str(), all);
    }
}

inline std::vector<std::string> numbered(std::initializer_list<int> indices) {
    std::vector<std::string> out;
    for (int i : indices) out.push_back("f" + std::to_string(i));
    return out;
}

// A host's mask over a list of flags. The removals are to ask it through find only, so get fails
// the test unless allowed.
class flag_mask final : public index_mask {
public:
    explicit flag_mask(std::vector<bool> selected, bool get_allowed = false)
        : selected_(std::move(selected)), get_allowed_(get_allowed) {}

    bool get(t_uint32 index) const override {
        if (!get_allowed_) ADD_FAILURE() << "the mask was asked get(" << index << ")";
        return selected(index);
    }
    t_uint32 find(bool value, t_uint32 start, t_int32 count) const override {
        const t_int64 step = count < 0 ? -1 : 1;
        for (t_int64 k = 0; k != count; k += step) {
            const t_uint32 index = static_cast<t_uint32>(start + k);
            if (selected(index) == value) return index;
        }
        return start + static_cast<t_uint32>(count);
    }

private:
    bool selected(t_uint32 index) const { return index < selected_.size() && selected_[index]; }

    std::vector<bool> selected_;
    bool get_allowed_;
};

// A record that only answers the reading operations (slots 0, 3-7, 15-17) from a snapshot; any
// other call fails the test. Proves what the copies ask of their source.
class read_only_record final : public track_info {
public:
    explicit read_only_record(snapshot contents) : s_(std::move(contents)) {}

    double get_length() const override { return std::bit_cast<double>(s_.length_bits); }
    void set_length(double) override { refuse("set_length"); }
    void set_replaygain(const replaygain_values&) override { refuse("set_replaygain"); }
    replaygain_values* get_replaygain(replaygain_values* out) const override {
        out->album_gain = std::bit_cast<float>(s_.replaygain_bits[0]);
        out->track_gain = std::bit_cast<float>(s_.replaygain_bits[1]);
        out->album_peak = std::bit_cast<float>(s_.replaygain_bits[2]);
        out->track_peak = std::bit_cast<float>(s_.replaygain_bits[3]);
        return out;
    }
    t_uint32 field_count() const override { return static_cast<t_uint32>(s_.fields.size()); }
    const char* field_name(t_uint32 f) const override { return s_.fields[f].name.c_str(); }
    t_uint32 field_value_count(t_uint32 f) const override {
        return static_cast<t_uint32>(s_.fields[f].values.size());
    }
    const char* field_value(t_uint32 f, t_uint32 v) const override { return s_.fields[f].values[v].c_str(); }
    t_uint32 find_field(const char*, t_uint32) const override { return refuse("find_field"); }
    t_uint32 set_field(const char*, t_uint32, const char*, t_uint32) override { return refuse("set_field"); }
    void insert_field_value(t_uint32, t_uint32, const char*, t_uint32) override { refuse("insert_field_value"); }
    void remove_fields(const index_mask&) override { refuse("remove_fields"); }
    void reorder_fields(const t_uint32*) override { refuse("reorder_fields"); }
    void remove_field_values(t_uint32, const index_mask&) override { refuse("remove_field_values"); }
    void replace_field_value(t_uint32, t_uint32, const char*, t_uint32) override { refuse("replace_field_value"); }
    t_uint32 info_count() const override { return static_cast<t_uint32>(s_.infos.size()); }
    const char* info_name(t_uint32 i) const override { return s_.infos[i].name.c_str(); }
    const char* info_value(t_uint32 i) const override { return s_.infos[i].value.c_str(); }
    t_uint32 set_info(const char*, t_uint32, const char*, t_uint32) override { return refuse("set_info"); }
    void remove_infos(const index_mask&) override { refuse("remove_infos"); }
    t_uint32 find_info(const char*, t_uint32) const override { return refuse("find_info"); }
    void copy_from(const track_info&) override { refuse("copy_from"); }
    void copy_fields_from(const track_info&) override { refuse("copy_fields_from"); }
    void copy_infos_from(const track_info&) override { refuse("copy_infos_from"); }
    t_uint32 append_field(const char*, t_uint32, const char*, t_uint32) override { return refuse("append_field"); }
    t_uint32 append_info(const char*, t_uint32, const char*, t_uint32) override { return refuse("append_info"); }

private:
    static t_uint32 refuse(const char* operation) {
        ADD_FAILURE() << "the source was asked " << operation;
        return vesk::index_not_found;
    }

    snapshot s_;
};

}  // namespace track_info_probe
