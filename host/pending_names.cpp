#include "host/pending_names.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <limits.h>
#include <unistd.h>

namespace host::pending_names {

namespace {

// A few slots suffice: a run holds one file at a time; tests may hold a few.
constexpr int slot_count = 8;

enum slot_state : int { free_slot, filling, ready };

struct slot {
    std::atomic<int> state{free_slot};
    char path[PATH_MAX];
};

slot slots[slot_count];

static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the states");

void on_termination(int signal_number) {
    remove_all();
    std::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

}  // namespace

int remember(const char* path) noexcept {
    const std::size_t length = std::strlen(path);
    if (length >= PATH_MAX) return -1;
    for (int i = 0; i < slot_count; ++i) {
        int expected = free_slot;
        if (!slots[i].state.compare_exchange_strong(expected, filling)) continue;
        std::memcpy(slots[i].path, path, length + 1);
        slots[i].state.store(ready);
        return i;
    }
    return -1;
}

void forget(int slot) noexcept {
    if (slot >= 0 && slot < slot_count) slots[slot].state.store(free_slot);
}

void remove_all() noexcept {
    for (slot& s : slots) {
        if (s.state.load() == ready) ::unlink(s.path);
    }
}

void remove_on_termination_signals() noexcept {
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = &on_termination;
        sigemptyset(&action.sa_mask);
        for (int other : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, other);
        ::sigaction(signal_number, &action, nullptr);
    }
}

}  // namespace host::pending_names
