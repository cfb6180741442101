// The selection as the host hands it to a command: counted track handles, each owning what the host
// knows about one track, and the list of them in selection order.
// Implemented here; the component calls them by slot.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "abi/track_handle.h"
#include "host/host_track_info.h"
#include "host/track_source.h"

namespace host {

// Where a handle's track lives. Part of the handle, so it stays valid while the handle is held.
// A selection holds one per track: the path takes exactly its own length.
class host_track_location final : public track_location {
public:
    explicit host_track_location(const std::string& path) : path_(new char[path.size() + 1]) {
        std::memcpy(path_.get(), path.c_str(), path.size() + 1);
    }
    const char* path() const override { return path_.get(); }  // slot 0

private:
    std::unique_ptr<char[]> path_;
};

// One track. Create it with make_counted<host_track_handle>(entry) or make_track_handle.
// The cached information is guarded by a real lock: lock/unlock around peek_info, and the host's
// own replace_info, take the same mutex.
class host_track_handle : public track_handle {
public:
    explicit host_track_handle(const track_entry& entry);
    // Takes the entry's record over instead of copying it.
    explicit host_track_handle(track_entry&& entry);
    host_track_handle(const host_track_handle&) = delete;
    host_track_handle& operator=(const host_track_handle&) = delete;

    bool query(service_ref* out, const GUID& guid) override;        // slot 2: no class of its own
    const track_location* location() const override;                // slot 3
    t_uint32 subsong_index() const override;                         // slot 4: always 0
    // Locking twice from one thread would deadlock; it throws std::logic_error instead.
    void lock() override;                                            // slot 5
    // Unlocking a lock the calling thread does not hold is counted and otherwise ignored.
    void unlock() override;                                          // slot 6
    bool has_info() const override;                                  // slot 7
    t_uint64 info_timestamp() const override;                        // slot 8: changes with replace_info
    // Copies through the caller's record's own copy_from, with the host's record as the source.
    // False, and the record untouched, when the host holds no information for the track.
    bool fill_info(track_info& out) const override;                  // slot 9
    // The cached record itself (null and false when there is none); read it only under the lock.
    bool peek_info(const track_info** out) const override;           // slot 10

    // The host's side: new information for the track (none: nullopt), taken under the lock.
    void replace_info(std::optional<host_track_info> info);
    // The host's own read of the record (null when there is none), not counted. Only the host
    // replaces it, so its own thread may read it without the lock.
    const host_track_info* info() const noexcept { return info_ ? &*info_ : nullptr; }

    // Counters for tests.
    unsigned long fill_info_calls() const noexcept { return fill_info_calls_.load(); }
    unsigned long peek_info_calls() const noexcept { return peek_info_calls_.load(); }
    // peek_info calls made without the calling thread holding the lock.
    unsigned long unlocked_peeks() const noexcept { return unlocked_peeks_.load(); }
    unsigned long lock_calls() const noexcept { return lock_calls_.load(); }
    unsigned long unlock_calls() const noexcept { return unlock_calls_.load(); }
    unsigned long unbalanced_unlocks() const noexcept { return unbalanced_unlocks_.load(); }
    bool locked() const noexcept { return owner_.load() != std::thread::id(); }

    // Handles alive right now, in the whole process.
    static long live_handles() noexcept;

protected:
    ~host_track_handle();

private:
    bool held_by_this_thread() const noexcept { return owner_.load() == std::this_thread::get_id(); }

    // Runs f on info_ under the lock, unless the calling thread already holds it.
    template <class F>
    auto with_info(F f) const;

    host_track_location location_;
    std::optional<host_track_info> info_;
    std::atomic<t_uint64> timestamp_{1};

    mutable std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};

    // 32 bits each, as the handles are many and the counts small.
    mutable std::atomic<unsigned> fill_info_calls_{0};
    mutable std::atomic<unsigned> peek_info_calls_{0};
    mutable std::atomic<unsigned> unlocked_peeks_{0};
    std::atomic<unsigned> lock_calls_{0};
    std::atomic<unsigned> unlock_calls_{0};
    std::atomic<unsigned> unbalanced_unlocks_{0};
};

// A new counted handle for entry, holding one reference: the returned holder's.
service_ref make_track_handle(const track_entry& entry);
service_ref make_track_handle(track_entry&& entry);

// The selection: handles in selection order. Not counted; it must outlive the command it is
// handed to. get_handle for an index past the end throws std::out_of_range.
class host_track_list final : public track_handle_list {
public:
    host_track_list() = default;
    explicit host_track_list(const std::vector<track_entry>& entries);
    // The entries' records move into the handles, so a long selection is not held twice.
    explicit host_track_list(std::vector<track_entry>&& entries);
    host_track_list(const host_track_list&) = delete;
    host_track_list& operator=(const host_track_list&) = delete;
    ~host_track_list() = default;

    t_uint32 count() const override;                                   // slot 0
    void get_handle(service_ref* out, t_uint32 index) const override;  // slot 1

    void add(const track_entry& entry);
    // The host's own access, not counted.
    host_track_handle& handle(std::size_t index) const;
    std::size_t size() const noexcept { return handles_.size(); }

    // Counters for tests.
    unsigned long count_calls() const noexcept { return count_calls_.load(); }
    unsigned long get_handle_calls() const noexcept { return get_handle_calls_.load(); }
    // Sums over the handles.
    unsigned long fill_info_calls() const;
    unsigned long lock_calls() const;
    unsigned long unlock_calls() const;

private:
    std::vector<service_ref> handles_;
    mutable std::atomic<unsigned long> count_calls_{0};
    mutable std::atomic<unsigned long> get_handle_calls_{0};
};

}  // namespace host
