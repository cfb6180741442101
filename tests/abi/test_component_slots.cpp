// The component's own objects that the host calls by slot: its strings and its abort signal.

#include <gtest/gtest.h>

#include <cstring>

#include "io/abort_callback_impl.h"
#include "tests/support/raw_table.h"
#include "vesk/string8.h"

namespace {

template <class S>
class string_slots : public ::testing::Test {};

using string_types = ::testing::Types<vesk::string8_t<vesk::alloc_standard>, vesk::string8_t<vesk::alloc_fast_aggressive>>;
TYPED_TEST_SUITE(string_slots, string_types);

TYPED_TEST(string_slots, every_operation_at_its_slot) {
    TypeParam text;
    const void* object = static_cast<const vesk::string_base*>(&text);
    raw_table::call<void>(object, 2, "abcdef", t_uint32{4});  // assign
    EXPECT_STREQ(raw_table::call<const char*>(object, 1), "abcd");
    raw_table::call<void>(object, 0, "XYZ", vesk::length_up_to_nul);  // append
    EXPECT_EQ(raw_table::call<t_uint32>(object, 4), 7u);              // length
    raw_table::call<void>(object, 3, t_uint32{2});                     // truncate
    EXPECT_STREQ(text.text(), "ab");
    char* buffer = raw_table::call<char*>(object, 5, t_uint32{5});     // open_buffer
    std::memcpy(buffer, "hello", 5);
    raw_table::call<void>(object, 6);                                  // close_buffer
    EXPECT_STREQ(text.text(), "hello");
    EXPECT_EQ(text.length(), 5u);
}

TEST(abort_callback_slots, flag_and_event_at_their_slots) {
    orvanta_io::abort_callback_impl abort;
    EXPECT_FALSE(raw_table::call<bool>(static_cast<orvanta_io::abort_callback*>(&abort), 0));
    EXPECT_EQ(raw_table::call<void*>(static_cast<orvanta_io::abort_callback*>(&abort), 1), abort.abort_event());
    EXPECT_NE(abort.abort_event(), nullptr);
}

}  // namespace
