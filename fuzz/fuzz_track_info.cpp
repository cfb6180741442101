// The track information record driven by a random sequence of its operations, against a model of
// plain vectors: after every operation both hold the same fields, values, info entries, length and
// ReplayGain values, and look-ups agree. Names come from a small ASCII pool, so that letter case
// matters and the model can compare them itself.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "trackinfo/track_info_impl.h"

namespace {

struct model_field {
    std::string name;
    std::vector<std::string> values;
};
struct model_info {
    std::string name, value;
};
struct model {
    std::vector<model_field> fields;
    std::vector<model_info> infos;
    double length = 0;
    replaygain_values gain;
};

// A selection the host hands over: indices whose flag is set.
class vector_mask final : public index_mask {
public:
    explicit vector_mask(std::vector<bool> selected) : selected_(std::move(selected)) {}
    bool get(t_uint32 index) const override { return index < selected_.size() && selected_[index]; }
    t_uint32 find(bool value, t_uint32 start, t_int32 count) const override {
        if (count >= 0) {
            for (t_uint32 i = start; i < start + static_cast<t_uint32>(count); ++i)
                if (get(i) == value) return i;
        } else {
            for (t_uint32 i = start; i > start + count; --i)
                if (get(i) == value) return i;
        }
        return start + count;
    }

private:
    std::vector<bool> selected_;
};

bool same_name(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

template <class Entry>
t_uint32 model_find(const std::vector<Entry>& entries, const std::string& name) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (same_name(entries[i].name, name)) return static_cast<t_uint32>(i);
    return vesk::index_not_found;
}

// A text as the record receives it: bytes that may hold a NUL, and a length that may be all ones.
struct given_text {
    std::string bytes;
    t_uint32 length;
    std::string stored() const {  // up to the first NUL or the length
        const std::string up_to_nul = bytes.c_str();
        return length == vesk::length_up_to_nul ? up_to_nul : up_to_nul.substr(0, length);
    }
};

given_text name_from(FuzzedDataProvider& input) {
    static const char* const pool[] = {"title", "TITLE", "Artist", "artist", "album", "a", "b", "B", "", "genre"};
    std::string name = pool[input.ConsumeIntegralInRange<int>(0, 9)];
    const t_uint32 length = input.ConsumeBool() ? vesk::length_up_to_nul : input.ConsumeIntegralInRange<t_uint32>(0, 8);
    return {name, length};
}

given_text value_from(FuzzedDataProvider& input) {
    const std::string bytes = input.ConsumeRandomLengthString(24);
    const t_uint32 length = input.ConsumeBool() ? vesk::length_up_to_nul : input.ConsumeIntegralInRange<t_uint32>(0, 30);
    return {bytes, length};
}

std::vector<bool> selection_from(FuzzedDataProvider& input, std::size_t count) {
    std::vector<bool> selected(count);
    for (std::size_t i = 0; i < count; ++i) selected[i] = input.ConsumeBool();
    return selected;
}

template <class Entry>
void remove_selected(std::vector<Entry>& entries, const std::vector<bool>& selected) {
    std::vector<Entry> kept;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!selected[i]) kept.push_back(entries[i]);
    entries = std::move(kept);
}

void check_same(const track_info& record, const model& m) {
    FUZZ_CHECK(record.get_length() == m.length || (record.get_length() != record.get_length() && m.length != m.length));
    const replaygain_values gain = record.replaygain();
    FUZZ_CHECK(std::memcmp(&gain, &m.gain, sizeof gain) == 0);
    FUZZ_CHECK(record.field_count() == m.fields.size());
    for (t_uint32 i = 0; i < m.fields.size(); ++i) {
        FUZZ_CHECK(m.fields[i].name == record.field_name(i));
        FUZZ_CHECK(record.field_value_count(i) == m.fields[i].values.size());
        for (t_uint32 j = 0; j < m.fields[i].values.size(); ++j) FUZZ_CHECK(m.fields[i].values[j] == record.field_value(i, j));
    }
    FUZZ_CHECK(record.info_count() == m.infos.size());
    for (t_uint32 i = 0; i < m.infos.size(); ++i) {
        FUZZ_CHECK(m.infos[i].name == record.info_name(i));
        FUZZ_CHECK(m.infos[i].value == record.info_value(i));
    }
}

void one_operation(FuzzedDataProvider& input, track_info_impl& record, model& m) {
    const auto fields = static_cast<t_uint32>(m.fields.size());
    const auto infos = static_cast<t_uint32>(m.infos.size());
    switch (input.ConsumeIntegralInRange<int>(0, 14)) {
        case 0: {
            m.length = input.ConsumeFloatingPoint<double>();
            record.set_length(m.length);
            break;
        }
        case 1: {
            m.gain = {input.ConsumeFloatingPoint<float>(), input.ConsumeFloatingPoint<float>(),
                      input.ConsumeFloatingPoint<float>(), input.ConsumeFloatingPoint<float>()};
            record.set_replaygain(m.gain);
            break;
        }
        case 2:
        case 3: {  // append_field / set_field
            const given_text name = name_from(input), value = value_from(input);
            const bool replace = input.ConsumeBool();
            if (replace) {
                const t_uint32 found = model_find(m.fields, name.stored());
                if (found != vesk::index_not_found) m.fields.erase(m.fields.begin() + found);
            }
            m.fields.push_back({name.stored(), {value.stored()}});
            const t_uint32 index = replace ? record.set_field(name.bytes.c_str(), name.length, value.bytes.c_str(), value.length)
                                           : record.append_field(name.bytes.c_str(), name.length, value.bytes.c_str(), value.length);
            FUZZ_CHECK(index == m.fields.size() - 1);
            break;
        }
        case 4: {  // insert_field_value
            if (fields == 0) break;
            const t_uint32 i = input.ConsumeIntegralInRange<t_uint32>(0, fields - 1);
            const t_uint32 j = input.ConsumeIntegralInRange<t_uint32>(0, 20);
            const given_text value = value_from(input);
            auto& values = m.fields[i].values;
            values.insert(values.begin() + std::min<std::size_t>(j, values.size()), value.stored());
            record.insert_field_value(i, j, value.bytes.c_str(), value.length);
            break;
        }
        case 5: {  // replace_field_value
            if (fields == 0) break;
            const t_uint32 i = input.ConsumeIntegralInRange<t_uint32>(0, fields - 1);
            const auto count = static_cast<t_uint32>(m.fields[i].values.size());
            const t_uint32 j = input.ConsumeIntegralInRange<t_uint32>(0, count - 1);
            const given_text value = value_from(input);
            m.fields[i].values[j] = value.stored();
            record.replace_field_value(i, j, value.bytes.c_str(), value.length);
            break;
        }
        case 6: {  // remove_fields
            const std::vector<bool> selected = selection_from(input, fields);
            remove_selected(m.fields, selected);
            record.remove_fields(vector_mask(selected));
            break;
        }
        case 7: {  // remove_field_values
            if (fields == 0) break;
            const t_uint32 i = input.ConsumeIntegralInRange<t_uint32>(0, fields - 1);
            const std::vector<bool> selected = selection_from(input, m.fields[i].values.size());
            remove_selected(m.fields[i].values, selected);
            if (m.fields[i].values.empty()) m.fields.erase(m.fields.begin() + i);
            record.remove_field_values(i, vector_mask(selected));
            break;
        }
        case 8: {  // reorder_fields
            std::vector<t_uint32> order(fields);
            std::iota(order.begin(), order.end(), 0u);
            for (t_uint32 k = fields; k > 1; --k) std::swap(order[k - 1], order[input.ConsumeIntegralInRange<t_uint32>(0, k - 1)]);
            std::vector<model_field> reordered;
            for (t_uint32 k : order) reordered.push_back(m.fields[k]);
            m.fields = std::move(reordered);
            record.reorder_fields(order.data());
            break;
        }
        case 9:
        case 10: {  // append_info / set_info
            const given_text name = name_from(input), value = value_from(input);
            const bool replace = input.ConsumeBool();
            if (replace) {
                const t_uint32 found = model_find(m.infos, name.stored());
                if (found != vesk::index_not_found) m.infos.erase(m.infos.begin() + found);
            }
            m.infos.push_back({name.stored(), value.stored()});
            const t_uint32 index = replace ? record.set_info(name.bytes.c_str(), name.length, value.bytes.c_str(), value.length)
                                           : record.append_info(name.bytes.c_str(), name.length, value.bytes.c_str(), value.length);
            FUZZ_CHECK(index == m.infos.size() - 1);
            break;
        }
        case 11: {  // remove_infos
            const std::vector<bool> selected = selection_from(input, infos);
            remove_selected(m.infos, selected);
            record.remove_infos(vector_mask(selected));
            break;
        }
        case 12: {  // look-ups
            const given_text name = name_from(input);
            FUZZ_CHECK(record.find_field(name.bytes.c_str(), name.length) == model_find(m.fields, name.stored()));
            FUZZ_CHECK(record.find_info(name.bytes.c_str(), name.length) == model_find(m.infos, name.stored()));
            break;
        }
        case 13: {  // copies are whole and independent
            track_info_impl copy(record);
            check_same(copy, m);
            copy.append_field("extra", vesk::length_up_to_nul, "x", vesk::length_up_to_nul);
            record.copy_from(record);
            break;
        }
        case 14: {  // copy_from a copy taken earlier brings the record back to it
            const track_info_impl before(record);
            const model saved = m;
            record.set_length(1);
            record.append_info("x", vesk::length_up_to_nul, "y", vesk::length_up_to_nul);
            record.copy_from(before);
            m = saved;
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    track_info_impl record;
    model m;
    for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
        one_operation(input, record, m);
        check_same(record, m);
    }
    return 0;
}
