// Element types for container tests: they count constructions and destructions, and can be told
// to fail the k-th construction from now, so every partial-failure path can be walked.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/standin.h"

struct element_failure : std::runtime_error {
    element_failure() : std::runtime_error("element construction failed") {}
};

struct lifetimes {
    static inline long constructions = 0;
    static inline long destructions = 0;
    static inline long failing_in = 0;  // 0: never; k: the k-th fallible construction from now

    static void fail_construction(long k) { failing_in = k; }
    // Called by every construction that may fail (creating empty and copying; moves never fail).
    static void fallible() {
        if (failing_in != 0 && --failing_in == 0) throw element_failure();
        ++constructions;
    }
    static long alive() { return constructions - destructions; }
};

// Moves without failing: arrays relocate it by moving.
struct counted {
    int value = 0;

    counted() { lifetimes::fallible(); }
    explicit counted(int v) : value(v) { lifetimes::fallible(); }
    counted(const counted& other) : value(other.value) { lifetimes::fallible(); }
    counted(counted&& other) noexcept : value(other.value) {
        ++lifetimes::constructions;
        other.value = -1;
    }
    counted& operator=(const counted&) = default;
    counted& operator=(counted&&) noexcept = default;
    ~counted() { ++lifetimes::destructions; }
};

// Has no move that cannot fail: arrays relocate it by copying, and a copy can fail.
struct counted_copy_only {
    int value = 0;

    counted_copy_only() { lifetimes::fallible(); }
    counted_copy_only(const counted_copy_only& other) : value(other.value) { lifetimes::fallible(); }
    counted_copy_only& operator=(const counted_copy_only&) = default;
    ~counted_copy_only() { ++lifetimes::destructions; }
};

// Every test ends with as many destructions as constructions and with the seams off.
class counting_test : public ::testing::Test {
protected:
    void SetUp() override {
        lifetimes::constructions = 0;
        lifetimes::destructions = 0;
        lifetimes::failing_in = 0;
    }
    void TearDown() override {
        lifetimes::failing_in = 0;
        platform::standin::fail_heap_call(0);
        EXPECT_EQ(lifetimes::constructions, lifetimes::destructions);
    }
};
