// Copying track information records: between two records of this implementation, from and to the
// host's own record, and every operation called by its slot position as the host calls it.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_track_info.h"
#include "tests/support/raw_table.h"
#include "track_info_probe.h"
#include "trackinfo/index_masks.h"
#include "trackinfo/track_info_impl.h"

namespace {

using namespace track_info_probe;

// Twelve fields (two in the overflow) with one to three values, empty texts among them, four
// info entries, a length and ReplayGain values.
snapshot sample() {
    snapshot s;
    for (int i = 0; i < 12; ++i) {
        field f{"field " + std::to_string(i), {"first " + std::to_string(i)}};
        if (i % 3 != 0) f.values.push_back("second " + std::to_string(i));
        if (i % 3 == 2) f.values.push_back("");
        s.fields.push_back(f);
    }
    s.fields[4].name = "";
    s.infos = {{"codec", "FLAC"}, {"samplerate", "44100"}, {"channels", "2"}, {"encoder", ""}};
    s.length_bits = std::bit_cast<std::uint64_t>(245.5);
    for (float v : {-7.25f, -6.5f, 1.0f, 0.98f}) s.replaygain_bits.push_back(std::bit_cast<std::uint32_t>(v));
    return s;
}

// A record filled through its own operations.
void fill(track_info& record, const snapshot& s) {
    for (const field& f : s.fields) {
        const t_uint32 index = record.append_field(f.name.c_str(), all, f.values[0].c_str(), all);
        for (std::size_t j = 1; j < f.values.size(); ++j) {
            record.insert_field_value(index, static_cast<t_uint32>(j), f.values[j].c_str(), all);
        }
    }
    for (const info& i : s.infos) record.append_info(i.name.c_str(), all, i.value.c_str(), all);
    record.set_length(std::bit_cast<double>(s.length_bits));
    record.set_replaygain(replaygain_values{std::bit_cast<float>(s.replaygain_bits[0]),
                                            std::bit_cast<float>(s.replaygain_bits[1]),
                                            std::bit_cast<float>(s.replaygain_bits[2]),
                                            std::bit_cast<float>(s.replaygain_bits[3])});
}

snapshot other_contents() {
    snapshot s;
    s.fields = {{"OLD", {"old value"}}};
    s.infos = {{"old", "entry"}};
    s.length_bits = std::bit_cast<std::uint64_t>(1.0);
    s.replaygain_bits = {0, 0, 0, 0};
    return s;
}

TEST(track_info_copy, copy_from_reads_the_source_only_through_its_readers) {
    const read_only_record source(sample());
    track_info_impl record;
    fill(record, other_contents());
    record.copy_from(source);
    EXPECT_EQ(take(record), sample());
}

TEST(track_info_copy, partial_copies_replace_only_their_part) {
    const read_only_record source(sample());
    const snapshot old = other_contents();

    track_info_impl fields_only;
    fill(fields_only, old);
    fields_only.copy_fields_from(source);
    snapshot expected = old;
    expected.fields = sample().fields;
    EXPECT_EQ(take(fields_only), expected);

    track_info_impl infos_only;
    fill(infos_only, old);
    infos_only.copy_infos_from(source);
    expected = old;
    expected.infos = sample().infos;
    EXPECT_EQ(take(infos_only), expected);
}

TEST(track_info_copy, copying_from_itself_changes_nothing) {
    track_info_impl record;
    fill(record, sample());
    record.copy_from(record);
    EXPECT_EQ(take(record), sample());
    record.copy_fields_from(record);
    EXPECT_EQ(take(record), sample());
    // Would release its own entries before reading them.
    record.copy_infos_from(record);
    EXPECT_EQ(take(record), sample());
    record = *&record;
    EXPECT_EQ(take(record), sample());
}

TEST(track_info_copy, copies_are_independent) {
    track_info_impl original;
    fill(original, sample());
    track_info_impl copy(original);
    EXPECT_EQ(take(copy), sample());

    original.set_field("field 1", all, "changed", all);
    original.replace_field_value(0, 0, "changed", all);
    original.remove_infos(index_mask_one(0));
    original.set_length(3.0);
    EXPECT_EQ(take(copy), sample());

    copy.remove_fields(index_mask_all());
    copy.set_info("samplerate", all, "48000", all);
    EXPECT_EQ(original.field_count(), 12u);
    EXPECT_STREQ(original.info_value(0), "44100");

    track_info_impl assigned;
    fill(assigned, other_contents());
    assigned = original;
    EXPECT_EQ(take(assigned), take(original));
    original.replace_field_value(0, 0, "again", all);
    EXPECT_STREQ(assigned.field_value(0, 0), "changed");
}

// The host's record is a second, independent implementation of the table.
TEST(track_info_copy, copies_both_ways_with_the_hosts_record) {
    host::host_track_info host_record;
    fill(host_record, sample());
    host_record.add_field("no values", {});
    snapshot expected = sample();
    expected.fields.push_back({"no values", {}});
    ASSERT_EQ(take(host_record), expected);

    track_info_impl record;
    fill(record, other_contents());
    record.copy_from(host_record);
    EXPECT_EQ(take(record), expected);

    host::host_track_info back;
    back.copy_from(record);
    EXPECT_EQ(take(back), expected);
}

// The host calls by position: each of the 26 operations at its slot, references passed as pointers.
TEST(track_info_copy, every_operation_sits_at_its_slot) {
    using raw_table::call;
    track_info_impl impl;
    const void* r = static_cast<track_info*>(&impl);

    EXPECT_EQ(call<t_uint32>(r, 24, "ARTIST", all, "A", all), 0u);                  // append_field
    EXPECT_EQ(call<t_uint32>(r, 24, "TITLE", all, "T", all), 1u);
    EXPECT_EQ(call<t_uint32>(r, 25, "codec", all, "FLAC", all), 0u);                // append_info
    EXPECT_EQ(call<t_uint32>(r, 25, "channels", all, "2", all), 1u);
    EXPECT_EQ(call<t_uint32>(r, 4), 2u);                                            // field_count
    EXPECT_STREQ(call<const char*>(r, 5, t_uint32{1}), "TITLE");                    // field_name
    EXPECT_EQ(call<t_uint32>(r, 6, t_uint32{0}), 1u);                               // field_value_count
    EXPECT_STREQ(call<const char*>(r, 7, t_uint32{0}, t_uint32{0}), "A");           // field_value
    EXPECT_EQ(call<t_uint32>(r, 8, "title", all), 1u);                              // find_field
    call<void>(r, 10, t_uint32{0}, t_uint32{1}, "B", all);                          // insert_field_value
    call<void>(r, 14, t_uint32{0}, t_uint32{0}, "Z", all);                          // replace_field_value
    EXPECT_EQ(values(impl, 0), (std::vector<std::string>{"Z", "B"}));
    const index_mask_one second(1);
    call<void>(r, 13, t_uint32{0}, static_cast<const index_mask*>(&second));        // remove_field_values
    EXPECT_EQ(values(impl, 0), (std::vector<std::string>{"Z"}));
    const t_uint32 order[2] = {1, 0};
    call<void>(r, 12, static_cast<const t_uint32*>(order));                         // reorder_fields
    EXPECT_EQ(names(impl), (std::vector<std::string>{"TITLE", "ARTIST"}));
    EXPECT_EQ(call<t_uint32>(r, 9, "title", all, "New", all), 1u);                  // set_field
    EXPECT_EQ(names(impl), (std::vector<std::string>{"ARTIST", "title"}));
    const index_mask_one first(0);
    call<void>(r, 11, static_cast<const index_mask*>(&first));                      // remove_fields
    EXPECT_EQ(names(impl), (std::vector<std::string>{"title"}));

    EXPECT_EQ(call<t_uint32>(r, 15), 2u);                                           // info_count
    EXPECT_STREQ(call<const char*>(r, 16, t_uint32{0}), "codec");                   // info_name
    EXPECT_STREQ(call<const char*>(r, 17, t_uint32{1}), "2");                       // info_value
    EXPECT_EQ(call<t_uint32>(r, 20, "CHANNELS", all), 1u);                          // find_info
    EXPECT_EQ(call<t_uint32>(r, 18, "Codec", all, "MP3", all), 1u);                 // set_info
    call<void>(r, 19, static_cast<const index_mask*>(&first));                      // remove_infos
    EXPECT_EQ(info_names(impl), (std::vector<std::string>{"Codec"}));

    call<void>(r, 1, 3.5);                                                          // set_length
    EXPECT_EQ(call<double>(r, 0), 3.5);                                             // get_length
    const replaygain_values given{-1.5f, -2.5f, 0.5f, 0.25f};
    call<void>(r, 2, &given);                                                       // set_replaygain
    replaygain_values out;
    EXPECT_EQ(call<replaygain_values*>(r, 3, &out), &out);                          // get_replaygain
    EXPECT_EQ(std::memcmp(&out, &given, sizeof out), 0);

    const track_info* source = static_cast<const track_info*>(&impl);
    track_info_impl whole, fields, infos;
    call<void>(static_cast<track_info*>(&whole), 21, source);                       // copy_from
    call<void>(static_cast<track_info*>(&fields), 22, source);                      // copy_fields_from
    call<void>(static_cast<track_info*>(&infos), 23, source);                       // copy_infos_from
    EXPECT_EQ(take(whole), take(impl));
    EXPECT_EQ(names(fields), names(impl));
    EXPECT_EQ(fields.info_count(), 0u);
    EXPECT_EQ(info_names(infos), info_names(impl));
    EXPECT_EQ(infos.field_count(), 0u);
}

}  // namespace
