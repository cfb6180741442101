// The error classes: fixed messages, the I/O hierarchy as catchers see it, and exception_win32
// with the host's real helper library behind it.

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "abi/io_exceptions.h"
#include "abi/shared_library.h"
#include "platform/standin.h"
#include "tests/support/heap_seam_reset.h"
#include "vesk/exception_win32.h"
#include "vesk/exceptions.h"
#include "vesk/out_of_memory.h"
#include "vesk/string8.h"

namespace {

template <typename E, typename Raise>
std::string message_caught_as(Raise raise) {
    try {
        raise();
    } catch (const E& e) {
        return e.what();
    }
    return "(not raised)";
}

TEST(errors, fixed_messages) {
    EXPECT_EQ(message_caught_as<std::bad_alloc>([] { vesk::throw_bad_alloc(); }), "bad allocation");
    EXPECT_EQ(message_caught_as<std::exception>([] { throw vesk::exception_bug_check(); }), "Bug check");
    EXPECT_EQ(message_caught_as<std::exception>([] { throw vesk::exception_overflow(); }), "Overflow");
    EXPECT_EQ(message_caught_as<std::exception>([] { throw orvanta_io::exception_io_data_truncation(); }),
              "Unsupported format or corrupted file");
    EXPECT_EQ(message_caught_as<std::exception>([] { throw orvanta_io::exception_io_no_handler_for_path(); }),
              "Invalid path");
}

TEST(errors, io_handlers_catch_their_subclasses_only) {
    auto caught_as_data = [](auto raise) {
        try {
            raise();
        } catch (const orvanta_io::exception_io_data&) {
            return true;
        } catch (const orvanta_io::exception_io&) {
            return false;
        }
        return false;
    };
    EXPECT_TRUE(caught_as_data([] { throw orvanta_io::exception_io_data_truncation(); }));
    EXPECT_FALSE(caught_as_data([] { throw orvanta_io::exception_io_no_handler_for_path(); }));
    EXPECT_EQ(message_caught_as<orvanta_io::exception_io>([] { throw orvanta_io::exception_io_data_truncation(); }),
              "Unsupported format or corrupted file");
    EXPECT_EQ(message_caught_as<orvanta_io::exception_io>([] { throw orvanta_io::exception_io_no_handler_for_path(); }),
              "Invalid path");
}

// The host's text for the code, as the helper library answers it directly.
bool system_text(t_uint32 code, std::string& text) {
    vesk::string8_t<vesk::alloc_standard> out;
    const bool known = uFormatSystemErrorMessage(out, code);
    text = out.text();
    return known;
}

TEST(exception_win32, carries_the_system_text_and_code) {
    std::string expected;
    ASSERT_TRUE(system_text(2, expected));
    ASSERT_FALSE(expected.empty());
    const exception_win32 e(2);
    EXPECT_EQ(e.code(), 2u);
    EXPECT_EQ(std::string(e.what()), expected);
}

TEST(exception_win32, unknown_codes_are_written_unsigned_in_decimal) {
    const struct {
        t_uint32 code;
        const char* message;
    } cases[] = {
        {1234, "Unknown error code (1234)"},
        {0xFFFFFFFFu, "Unknown error code (4294967295)"},
        {0x80000000u, "Unknown error code (2147483648)"},
    };
    for (const auto& c : cases) {
        std::string unused;
        ASSERT_FALSE(system_text(c.code, unused)) << "the host knows a text for " << c.code;
        const exception_win32 e(c.code);
        EXPECT_STREQ(e.what(), c.message);
        EXPECT_EQ(e.code(), c.code);
    }
}

TEST(exception_win32, travels_as_std_exception) {
    EXPECT_EQ(message_caught_as<std::exception>([] { throw exception_win32(1234); }), "Unknown error code (1234)");
    try {
        throw exception_win32(0xFFFFFFFFu);
    } catch (const exception_win32& e) {
        EXPECT_EQ(e.code(), 0xFFFFFFFFu);
    }
}

TEST(exception_win32, copies_own_their_text) {
    exception_win32 copy(2);
    {
        const exception_win32 original(1234);
        const exception_win32 constructed(original);
        EXPECT_STREQ(constructed.what(), "Unknown error code (1234)");
        EXPECT_NE(constructed.what(), original.what());
        EXPECT_EQ(constructed.code(), 1234u);
        copy = original;
    }
    EXPECT_STREQ(copy.what(), "Unknown error code (1234)");
    EXPECT_EQ(copy.code(), 1234u);
}

// A copy made while an exception travels must not raise; without memory it keeps the code and a
// fixed text.
TEST(exception_win32, copy_without_memory_keeps_code_and_a_fixed_text) {
    heap_seam_reset reset;
    const exception_win32 original(1234);
    platform::standin::fail_heap_call(1);
    const exception_win32 copy(original);
    platform::standin::fail_heap_call(0);
    EXPECT_EQ(copy.code(), 1234u);
    EXPECT_STREQ(copy.what(), "Win32 error (no memory for its text)");
    EXPECT_STREQ(original.what(), "Unknown error code (1234)");

    exception_win32 assigned(2);
    platform::standin::fail_heap_call(1);
    assigned = original;
    platform::standin::fail_heap_call(0);
    EXPECT_EQ(assigned.code(), 1234u);
    EXPECT_STREQ(assigned.what(), "Win32 error (no memory for its text)");
}

// Building the message fails at each of its heap calls in turn: each failure is std::bad_alloc and
// leaks nothing (the sanitizer build checks), and the first run with enough memory succeeds.
TEST(exception_win32, construction_without_memory_raises_bad_alloc) {
    heap_seam_reset reset;
    for (const t_uint32 code : {2u, 1234u}) {
        int failures = 0;
        for (unsigned long k = 1;; ++k) {
            ASSERT_LT(k, 20u);
            platform::standin::fail_heap_call(k);
            try {
                const exception_win32 e(code);
                platform::standin::fail_heap_call(0);
                EXPECT_EQ(e.code(), code);
                break;
            } catch (const std::bad_alloc& e) {
                ++failures;
                EXPECT_STREQ(e.what(), "bad allocation");
            }
        }
        EXPECT_GE(failures, 2) << code;  // the composed text and the exception's own copy
    }
}

}  // namespace
