// The host's track handles and selection list, on their own: what a component may rely on while
// it holds a handle, and what the counters report.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "host/counted_service.h"
#include "host/track_handles.h"

namespace {

host::track_entry entry(const char* path, double length, bool missing = false) {
    host::track_entry e;
    e.path = path;
    e.info_missing = missing;
    e.info.set_length(length);
    e.info.add_field("title", {"T"});
    return e;
}

TEST(track_handles, fill_info_copies_into_the_callers_record_or_leaves_it_alone) {
    host::host_track_list tracks({entry("file:///a.flac", 12.5), entry("file:///b.flac", 3.0, true)});

    host::host_track_info copy;
    copy.add_field("old", {"x"});
    EXPECT_TRUE(tracks.handle(0).fill_info(copy));
    EXPECT_EQ(copy.get_length(), 12.5);
    ASSERT_EQ(copy.field_count(), 1u);
    EXPECT_STREQ(copy.field_name(0), "title");

    host::host_track_info untouched;
    untouched.add_field("old", {"x"});
    untouched.set_length(7.0);
    EXPECT_FALSE(tracks.handle(1).fill_info(untouched));
    EXPECT_EQ(untouched.get_length(), 7.0);
    EXPECT_STREQ(untouched.field_name(0), "old");
    EXPECT_FALSE(tracks.handle(1).has_info());
    EXPECT_EQ(tracks.fill_info_calls(), 2u);
}

TEST(track_handles, peek_info_hands_out_the_cached_record_under_the_lock) {
    host::host_track_list tracks({entry("file:///a.flac", 12.5), entry("file:///b.flac", 3.0, true)});
    host::host_track_handle& known = tracks.handle(0);
    const track_info* info = nullptr;
    known.lock();
    EXPECT_TRUE(known.locked());
    ASSERT_TRUE(known.peek_info(&info));
    EXPECT_EQ(info->get_length(), 12.5);
    known.unlock();
    EXPECT_FALSE(known.locked());
    EXPECT_EQ(known.unlocked_peeks(), 0u);

    host::host_track_handle& unknown = tracks.handle(1);
    EXPECT_FALSE(unknown.peek_info(&info));
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(unknown.unlocked_peeks(), 1u) << "peeked without the lock";
}

TEST(track_handles, lock_is_a_real_lock_and_misuse_is_reported) {
    host::host_track_list tracks({entry("file:///a.flac", 1.0)});
    host::host_track_handle& handle = tracks.handle(0);

    handle.unlock();
    EXPECT_EQ(handle.unbalanced_unlocks(), 1u);
    handle.lock();
    EXPECT_THROW(handle.lock(), std::logic_error);

    // The host's own update waits for the reader to let go.
    std::atomic<bool> replaced{false};
    std::thread writer([&] {
        handle.replace_info(std::nullopt);
        replaced = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(replaced);
    EXPECT_TRUE(handle.has_info());  // read under the lock this thread already holds
    const t_uint64 before = handle.info_timestamp();
    handle.unlock();
    writer.join();
    EXPECT_TRUE(replaced);
    EXPECT_FALSE(handle.has_info());
    EXPECT_NE(handle.info_timestamp(), before);
    EXPECT_EQ(handle.lock_calls(), 1u);
    EXPECT_EQ(handle.unlock_calls(), 1u);
}

TEST(track_handles, list_hands_out_counted_handles_in_selection_order) {
    const long live_before = host::host_track_handle::live_handles();
    service_ref kept;
    const track_location* where = nullptr;
    {
        host::host_track_list tracks({entry("file:///a.flac", 1.0), entry("file:///b.flac", 2.0)});
        EXPECT_EQ(tracks.count(), 2u);
        EXPECT_EQ(host::host_track_handle::live_handles(), live_before + 2);
        tracks.get_handle(&kept, 1);
        EXPECT_EQ(kept.get(), &tracks.handle(1));
        where = kept.as<track_handle>()->location();
        EXPECT_THROW(tracks.get_handle(&kept, 2), std::out_of_range);
        EXPECT_EQ(tracks.get_handle_calls(), 2u);
        EXPECT_EQ(tracks.count_calls(), 1u);
    }
    // The held handle, and the location it gave, outlive the list.
    EXPECT_EQ(host::host_track_handle::live_handles(), live_before + 1);
    EXPECT_STREQ(where->path(), "file:///b.flac");
    kept.reset();
    EXPECT_EQ(host::host_track_handle::live_handles(), live_before);
}

}  // namespace
