// The ordered, doubly linked list of export records, with iterators that the list detaches when
// their node goes away.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

#include "abi/types.h"
#include "platform/heap.h"
#include "vesk/exceptions.h"
#include "vesk/out_of_memory.h"

// Every live iterator that refers to a list has exactly one registry node in that list's registry;
// removing a node walks the registry and detaches (list and node none) every iterator on it, so an
// iterator never refers to a freed node. Idle registry nodes wait in a spare pool of at most
// spare_limit, so walking the list again and again does not allocate per iterator.
//
// The registry is bookkeeping, not contents: a const list registers iterators too.
template <class Record>
class cue_track_list_t {
    static_assert(std::is_copy_constructible_v<Record>, "a record is copied into its node");
    static_assert(std::is_nothrow_destructible_v<Record>, "removal cannot fail halfway");

    struct node {
        explicit node(const Record& source) : record(source) {}
        Record record;
        node* previous = nullptr;
        node* next = nullptr;
    };
    struct registry_node;

public:
    static constexpr t_uint32 spare_limit = 32;

    // What every iterator is to the list: (list, node), registered while the list is set.
    class position {
    public:
        bool has_node() const noexcept { return node_ != nullptr; }
        // Null once detached.
        const cue_track_list_t* owner() const noexcept { return list_; }
        // Moves to the next node; past the last one the node is none (the list stays set).
        void next() noexcept {
            if (node_) node_ = node_->next;
        }

    protected:
        position() noexcept = default;
        // Raises std::bad_alloc when no registry node can be had; nothing is registered then.
        position(const cue_track_list_t* list, node* at) : list_(list), node_(at) {
            if (list_) list_->link_registry_node(list_->acquire_registry_node(), this);
        }
        position(const cue_track_list_t* list, node* at, registry_node* entry) noexcept
            : list_(list), node_(at) {
            list_->link_registry_node(entry, this);
        }
        // A copy registers on its own.
        position(const position& other) : position(other.list_, other.node_) {}
        // The copy's registry node is acquired before the old one is given back, so a failure
        // leaves this as it was.
        position& operator=(const position& other) {
            if (this == &other) return *this;
            if (other.list_ != list_) {
                if (other.list_) other.list_->link_registry_node(other.list_->acquire_registry_node(), this);
                if (list_) list_->unregister(this);
                list_ = other.list_;
            }
            node_ = other.node_;
            return *this;
        }
        // A move takes over the source's registry node; the source is left detached.
        position(position&& other) noexcept : list_(other.list_), node_(other.node_) { take_over(other); }
        position& operator=(position&& other) noexcept {
            if (this == &other) return *this;
            if (list_) list_->unregister(this);
            list_ = other.list_;
            node_ = other.node_;
            take_over(other);
            return *this;
        }
        ~position() {
            if (list_) list_->unregister(this);
        }

        const cue_track_list_t* list_ = nullptr;
        node* node_ = nullptr;

    private:
        void take_over(position& other) noexcept {
            if (list_) list_->retarget(&other, this);
            other.list_ = nullptr;
            other.node_ = nullptr;
        }
        void detach() noexcept {
            list_ = nullptr;
            node_ = nullptr;
        }
        friend class cue_track_list_t;
    };

    // R is Record or const Record. record() needs a node.
    template <class R>
    class iterator_t : public position {
    public:
        iterator_t() noexcept = default;
        R& record() const noexcept { return this->node_->record; }
        R& operator*() const noexcept { return record(); }
        R* operator->() const noexcept { return &record(); }

    private:
        iterator_t(const cue_track_list_t* list, node* at) : position(list, at) {}
        iterator_t(const cue_track_list_t* list, node* at, registry_node* entry) noexcept
            : position(list, at, entry) {}
        friend class cue_track_list_t;
    };
    using iterator = iterator_t<Record>;
    using const_iterator = iterator_t<const Record>;

    cue_track_list_t() noexcept = default;
    cue_track_list_t(const cue_track_list_t&) = delete;
    cue_track_list_t& operator=(const cue_track_list_t&) = delete;

    // Iterators that still refer to the list (walked past the end) are detached, so they can
    // outlive it safely.
    ~cue_track_list_t() {
        remove_all();
        while (registry_node* entry = registry_.first) {
            entry->target->detach();
            unlink(registry_, entry);
            platform::heap_free(entry);
        }
        while (registry_node* entry = spare_.first) {
            unlink(spare_, entry);
            platform::heap_free(entry);
        }
    }

    // Adds a copy of the record at the end and returns an iterator to it. Raises std::bad_alloc,
    // or passes on the record copy's error; the list is then unchanged.
    iterator append_record(const Record& record) {
        void* const block = platform::heap_allocate(sizeof(node));
        if (!block) vesk::throw_bad_alloc();
        node* added;
        try {
            added = ::new (block) node(record);
        } catch (...) {
            platform::heap_free(block);
            throw;
        }
        registry_node* entry;
        try {
            entry = acquire_registry_node();
        } catch (...) {
            added->~node();
            platform::heap_free(added);
            throw;
        }
        added->previous = last_;
        (last_ ? last_->next : first_) = added;
        last_ = added;
        ++count_;
        return iterator(this, added, entry);
    }

    // The node is none when the list is empty. Raises std::bad_alloc when the iterator cannot be
    // registered.
    iterator first() { return iterator(this, first_); }
    const_iterator first() const { return const_iterator(this, first_); }

    t_uint32 count() const noexcept { return count_; }

    // Removes the nodes from `from` to `to`, both included. Nothing happens when either has no
    // node. Raises vesk::exception_bug_check, before removing anything, when either belongs to
    // another list or `to` does not follow `from`.
    void remove_range(const position& from, const position& to) {
        if (!from.node_ || !to.node_) return;
        if (from.list_ != this || to.list_ != this) throw vesk::exception_bug_check();
        for (node* walk = from.node_; walk != to.node_; walk = walk->next) {
            if (!walk->next) throw vesk::exception_bug_check();
        }
        // Removal detaches from and to themselves, so the ends are taken first.
        remove_nodes(from.node_, to.node_);
    }

    void remove_all() noexcept {
        if (first_) remove_nodes(first_, last_);
    }

    // For tests: idle registry nodes, and registered iterators.
    t_uint32 spare_count() const noexcept { return spare_.count; }
    t_uint32 registry_count() const noexcept { return registry_.count; }

private:
    struct registry_node {
        position* target;
        registry_node* previous;
        registry_node* next;
    };
    struct chain {
        registry_node* first = nullptr;
        registry_node* last = nullptr;
        t_uint32 count = 0;
    };

    static_assert(alignof(node) <= 2 * sizeof(void*), "the process heap aligns blocks to two pointers");

    static void unlink(chain& from, registry_node* entry) noexcept {
        (entry->previous ? entry->previous->next : from.first) = entry->next;
        (entry->next ? entry->next->previous : from.last) = entry->previous;
        --from.count;
    }

    static void append(chain& to, registry_node* entry) noexcept {
        entry->previous = to.last;
        entry->next = nullptr;
        (to.last ? to.last->next : to.first) = entry;
        to.last = entry;
        ++to.count;
    }

    // From the spare pool when it has one, else from the heap. Not yet linked anywhere.
    registry_node* acquire_registry_node() const {
        if (registry_node* entry = spare_.first) {
            unlink(spare_, entry);
            return entry;
        }
        void* const block = platform::heap_allocate(sizeof(registry_node));
        if (!block) vesk::throw_bad_alloc();
        return ::new (block) registry_node{nullptr, nullptr, nullptr};
    }

    void link_registry_node(registry_node* entry, position* target) const noexcept {
        entry->target = target;
        append(registry_, entry);
    }

    registry_node* find_registry_node(const position* target) const noexcept {
        registry_node* entry = registry_.first;
        while (entry && entry->target != target) entry = entry->next;
        return entry;
    }

    void release_registry_node(registry_node* entry) const noexcept {
        unlink(registry_, entry);
        if (spare_.count >= spare_limit) {
            platform::heap_free(entry);
        } else {
            append(spare_, entry);
        }
    }

    void unregister(const position* target) const noexcept {
        if (registry_node* entry = find_registry_node(target)) release_registry_node(entry);
    }

    void retarget(const position* from, position* to) const noexcept {
        if (registry_node* entry = find_registry_node(from)) entry->target = to;
    }

    // Removes first .. last along next links; last must follow first.
    void remove_nodes(node* first, node* last) noexcept {
        for (node* walk = first;;) {
            node* const following = walk->next;
            const bool done = walk == last;
            remove_node(walk);
            if (done) return;
            walk = following;
        }
    }

    void remove_node(node* removed) noexcept {
        (removed->previous ? removed->previous->next : first_) = removed->next;
        (removed->next ? removed->next->previous : last_) = removed->previous;
        --count_;
        for (registry_node* entry = registry_.first; entry;) {
            registry_node* const following = entry->next;
            if (entry->target->node_ == removed) {
                entry->target->detach();
                release_registry_node(entry);
            }
            entry = following;
        }
        removed->~node();
        platform::heap_free(removed);
    }

    node* first_ = nullptr;
    node* last_ = nullptr;
    t_uint32 count_ = 0;
    mutable chain registry_;
    mutable chain spare_;
};
