// cue_track_list_t: order, ranges, iterators detached when their node goes, the spare pool of
// registry nodes, and an unchanged list when an append fails.

#include <gtest/gtest.h>

#include <initializer_list>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "counted_element.h"
#include "cuesheet/cue_track_list.h"
#include "platform/standin.h"
#include "vesk/exceptions.h"

namespace {

using platform::standin::fail_heap_call;
using platform::standin::heap_calls;
using list_type = cue_track_list_t<counted>;

std::vector<int> walk(const list_type& list) {
    std::vector<int> out;
    for (auto it = list.first(); it.has_node(); it.next()) out.push_back(it->value);
    return out;
}

void append_values(list_type& list, std::initializer_list<int> values) {
    for (int v : values) list.append_record(counted(v));
}

// An iterator on the record at position index (from 0).
list_type::iterator at(list_type& list, int index) {
    auto it = list.first();
    for (int i = 0; i < index; ++i) it.next();
    return it;
}

void expect_bug_check(list_type& list, const list_type::position& from, const list_type::position& to) {
    try {
        list.remove_range(from, to);
        ADD_FAILURE() << "no bug check raised";
    } catch (const vesk::exception_bug_check& e) {
        EXPECT_STREQ(e.what(), "Bug check");
    }
}

class cue_track_list_test : public counting_test {};

TEST_F(cue_track_list_test, keeps_append_order) {
    list_type list;
    EXPECT_EQ(list.first().has_node(), false);
    EXPECT_EQ(walk(list), std::vector<int>{});
    for (int v : {3, 1, 2}) {
        auto it = list.append_record(counted(v));
        EXPECT_EQ(it.record().value, v);
        EXPECT_EQ(it.owner(), &list);
        it.next();
        EXPECT_FALSE(it.has_node());  // the new record is the last
    }
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(walk(list), (std::vector<int>{3, 1, 2}));
}

TEST_F(cue_track_list_test, heap_failure_during_append_leaves_it_unchanged) {
    bool failed_once = false;
    for (unsigned long k = 1;; ++k) {
        list_type list;
        // Held iterators keep the spare pool empty: an append needs a node and a registry node.
        auto a = list.append_record(counted(1));
        auto b = list.append_record(counted(2));
        ASSERT_EQ(list.spare_count(), 0u);
        const unsigned long calls = heap_calls();
        fail_heap_call(k);
        try {
            auto added = list.append_record(counted(3));
            fail_heap_call(0);
            EXPECT_EQ(walk(list), (std::vector<int>{1, 2, 3}));
            if (heap_calls() - calls < k) break;
        } catch (const std::bad_alloc&) {
            failed_once = true;
            EXPECT_EQ(list.count(), 2u);
            EXPECT_EQ(list.registry_count(), 2u);
            EXPECT_EQ(list.spare_count(), 0u);
            EXPECT_EQ(walk(list), (std::vector<int>{1, 2}));
            EXPECT_EQ(lifetimes::alive(), 2);
        }
    }
    EXPECT_TRUE(failed_once);
}

TEST_F(cue_track_list_test, failing_record_copy_links_nothing) {
    list_type list;
    append_values(list, {1, 2});
    const counted record(3);
    lifetimes::fail_construction(1);
    EXPECT_THROW(list.append_record(record), element_failure);
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(walk(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(list.registry_count(), 0u);
}

TEST_F(cue_track_list_test, remove_range_removes_both_ends_and_between) {
    struct range_case {
        int from;
        int to;
        std::vector<int> left;
    };
    const range_case cases[] = {
        {1, 3, {1, 5}}, {0, 4, {}}, {2, 2, {1, 2, 4, 5}}, {0, 0, {2, 3, 4, 5}}, {4, 4, {1, 2, 3, 4}},
    };
    for (const range_case& c : cases) {
        list_type list;
        append_values(list, {1, 2, 3, 4, 5});
        auto from = at(list, c.from);
        auto to = at(list, c.to);
        list.remove_range(from, to);
        EXPECT_EQ(walk(list), c.left) << c.from << ".." << c.to;
        EXPECT_EQ(list.count(), c.left.size());
        EXPECT_FALSE(from.has_node());
        EXPECT_FALSE(to.has_node());
        EXPECT_EQ(lifetimes::alive(), static_cast<long>(c.left.size()));
    }
}

TEST_F(cue_track_list_test, remove_range_refuses_foreign_and_backward_ranges) {
    list_type list;
    list_type other;
    append_values(list, {1, 2, 3});
    append_values(other, {9});
    auto first = at(list, 0);
    auto last = at(list, 2);
    auto foreign = other.first();

    expect_bug_check(list, foreign, last);
    expect_bug_check(list, first, foreign);
    // Checked before anything goes: a backward range leaves the list whole.
    expect_bug_check(list, last, first);
    EXPECT_EQ(walk(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(walk(other), std::vector<int>{9});

    // Either end without a node: nothing happens, even with a foreign one.
    list_type::iterator detached;
    auto past_end = at(list, 3);
    ASSERT_FALSE(past_end.has_node());
    list.remove_range(detached, last);
    list.remove_range(first, past_end);
    list.remove_range(past_end, foreign);
    EXPECT_EQ(walk(list), (std::vector<int>{1, 2, 3}));
}

TEST_F(cue_track_list_test, removal_detaches_iterators_on_removed_nodes_only) {
    list_type list;
    append_values(list, {1, 2, 3});
    auto second = at(list, 1);
    auto second_copy = second;
    auto third = at(list, 2);
    const list_type& read_only = list;
    auto third_read_only = read_only.first();
    third_read_only.next();
    third_read_only.next();
    ASSERT_EQ(list.registry_count(), 4u);

    list.remove_range(second_copy, second_copy);
    EXPECT_FALSE(second.has_node());
    EXPECT_EQ(second.owner(), nullptr);
    EXPECT_FALSE(second_copy.has_node());
    EXPECT_EQ(second_copy.owner(), nullptr);
    EXPECT_EQ(list.registry_count(), 2u);
    EXPECT_EQ(third->value, 3);
    EXPECT_EQ(third_read_only->value, 3);

    list.remove_all();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_FALSE(third.has_node());
    EXPECT_EQ(third_read_only.owner(), nullptr);
    EXPECT_EQ(list.registry_count(), 0u);
    EXPECT_EQ(walk(list), std::vector<int>{});
}

TEST_F(cue_track_list_test, iterators_register_once_each) {
    list_type list;
    list_type other;
    append_values(list, {1, 2});
    append_values(other, {7});
    const t_uint32 base = list.registry_count();
    {
        std::vector<list_type::iterator> many;  // grows by moving its iterators
        for (int i = 0; i < 40; ++i) many.push_back(list.first());
        EXPECT_EQ(list.registry_count(), base + 40);
        auto copy = many.back();
        EXPECT_EQ(list.registry_count(), base + 41);
        const auto foreign = other.first();
        copy = foreign;  // registers with the other list, leaves this one
        EXPECT_EQ(copy->value, 7);
        EXPECT_EQ(list.registry_count(), base + 40);
        EXPECT_EQ(other.registry_count(), 2u);
        copy = many.back();
        EXPECT_EQ(other.registry_count(), 1u);
        EXPECT_EQ(list.registry_count(), base + 41);
        copy = std::move(copy);  // stays registered once
        EXPECT_EQ(list.registry_count(), base + 41);
        copy = list_type::iterator();
        list_type::iterator moved(std::move(many.front()));
        EXPECT_EQ(list.registry_count(), base + 40);
        EXPECT_EQ(many.front().owner(), nullptr);
    }
    // The pool keeps at most 32 of the 41 given back; the rest went to the heap.
    EXPECT_EQ(list.registry_count(), base);
    EXPECT_EQ(list.spare_count(), list_type::spare_limit);

    // A registration from the pool needs no heap call.
    const unsigned long calls = heap_calls();
    auto it = list.first();
    EXPECT_EQ(heap_calls(), calls);
    EXPECT_EQ(list.spare_count(), list_type::spare_limit - 1);

    // A copy that cannot get a registry node raises and registers nothing.
    list_type lone;
    append_values(lone, {5});
    auto source = lone.first();
    ASSERT_EQ(lone.spare_count(), 0u);
    fail_heap_call(1);
    EXPECT_THROW(list_type::iterator copy(source), std::bad_alloc);
    EXPECT_EQ(lone.registry_count(), 1u);
}

TEST_F(cue_track_list_test, iterators_may_outlive_their_list) {
    std::optional<list_type::iterator> past_end;
    {
        list_type list;
        append_values(list, {1});
        past_end.emplace(list.first());
        past_end->next();
        EXPECT_EQ(past_end->owner(), &list);
    }
    EXPECT_EQ(past_end->owner(), nullptr);
    auto copy = *past_end;  // a detached iterator copies without registering anywhere
    EXPECT_FALSE(copy.has_node());
}

}  // namespace
