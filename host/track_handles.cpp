#include "host/track_handles.h"

#include <utility>
#include <stdexcept>

#include "host/counted_service.h"

namespace host {

namespace {
std::atomic<long> live{0};
}

host_track_handle::host_track_handle(const track_entry& entry) : location_(entry.path) {
    if (!entry.info_missing) info_ = entry.info;
    live.fetch_add(1, std::memory_order_relaxed);
}

host_track_handle::host_track_handle(track_entry&& entry) : location_(entry.path) {
    if (!entry.info_missing) info_ = std::move(entry.info);
    live.fetch_add(1, std::memory_order_relaxed);
}

host_track_handle::~host_track_handle() { live.fetch_sub(1, std::memory_order_relaxed); }

long host_track_handle::live_handles() noexcept { return live.load(std::memory_order_relaxed); }

template <class F>
auto host_track_handle::with_info(F f) const {
    if (held_by_this_thread()) return f(info_);
    const std::lock_guard<std::mutex> hold(mutex_);
    return f(info_);
}

// A track handle offers no service class of its own; holders get it from the list.
bool host_track_handle::query(service_ref*, const GUID&) { return false; }

const track_location* host_track_handle::location() const { return &location_; }

t_uint32 host_track_handle::subsong_index() const { return 0; }

void host_track_handle::lock() {
    if (held_by_this_thread()) throw std::logic_error("track handle locked twice by one thread");
    mutex_.lock();
    owner_.store(std::this_thread::get_id());
    lock_calls_.fetch_add(1, std::memory_order_relaxed);
}

void host_track_handle::unlock() {
    if (!held_by_this_thread()) {
        unbalanced_unlocks_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    unlock_calls_.fetch_add(1, std::memory_order_relaxed);
    owner_.store(std::thread::id());
    mutex_.unlock();
}

bool host_track_handle::has_info() const {
    return with_info([](const std::optional<host_track_info>& info) { return info.has_value(); });
}

t_uint64 host_track_handle::info_timestamp() const { return timestamp_.load(); }

bool host_track_handle::fill_info(track_info& out) const {
    fill_info_calls_.fetch_add(1, std::memory_order_relaxed);
    return with_info([&out](const std::optional<host_track_info>& info) {
        if (!info) return false;
        out.copy_from(*info);
        return true;
    });
}

bool host_track_handle::peek_info(const track_info** out) const {
    peek_info_calls_.fetch_add(1, std::memory_order_relaxed);
    if (!held_by_this_thread()) unlocked_peeks_.fetch_add(1, std::memory_order_relaxed);
    if (out == nullptr) return false;
    // The record itself is handed out; the caller's lock is what keeps it from changing.
    *out = info_ ? &*info_ : nullptr;
    return info_.has_value();
}

void host_track_handle::replace_info(std::optional<host_track_info> info) {
    if (held_by_this_thread()) throw std::logic_error("track information replaced under its own lock");
    const std::lock_guard<std::mutex> hold(mutex_);
    info_ = std::move(info);
    timestamp_.fetch_add(1);
}

service_ref make_track_handle(const track_entry& entry) { return make_counted<host_track_handle>(entry); }

service_ref make_track_handle(track_entry&& entry) { return make_counted<host_track_handle>(std::move(entry)); }

host_track_list::host_track_list(const std::vector<track_entry>& entries) {
    handles_.reserve(entries.size());
    for (const track_entry& entry : entries) add(entry);
}

host_track_list::host_track_list(std::vector<track_entry>&& entries) {
    handles_.reserve(entries.size());
    for (track_entry& entry : entries) handles_.push_back(make_track_handle(std::move(entry)));
    entries.clear();
    entries.shrink_to_fit();
}

t_uint32 host_track_list::count() const {
    count_calls_.fetch_add(1, std::memory_order_relaxed);
    return static_cast<t_uint32>(handles_.size());
}

void host_track_list::get_handle(service_ref* out, t_uint32 index) const {
    get_handle_calls_.fetch_add(1, std::memory_order_relaxed);
    if (index >= handles_.size()) {
        throw std::out_of_range("track " + std::to_string(index) + " of a selection of " +
                                std::to_string(handles_.size()));
    }
    if (out != nullptr) *out = handles_[index];
}

void host_track_list::add(const track_entry& entry) { handles_.push_back(make_track_handle(entry)); }

host_track_handle& host_track_list::handle(std::size_t index) const {
    return *handles_.at(index).as<host_track_handle>();
}

unsigned long host_track_list::fill_info_calls() const {
    unsigned long sum = 0;
    for (std::size_t i = 0; i < handles_.size(); ++i) sum += handle(i).fill_info_calls();
    return sum;
}

unsigned long host_track_list::lock_calls() const {
    unsigned long sum = 0;
    for (std::size_t i = 0; i < handles_.size(); ++i) sum += handle(i).lock_calls();
    return sum;
}

unsigned long host_track_list::unlock_calls() const {
    unsigned long sum = 0;
    for (std::size_t i = 0; i < handles_.size(); ++i) sum += handle(i).unlock_calls();
    return sum;
}

}  // namespace host
