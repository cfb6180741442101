// The foundation's own error classes. Each carries a fixed message.
#pragma once

#include <exception>

#include "abi/types.h"

namespace vesk {

// An internal contract was broken (for example a list range given iterators of another list).
class ORVANTA_SHARED_TYPE exception_bug_check : public std::exception {
public:
    const char* what() const noexcept override { return "Bug check"; }
};

// A fixed-size store was asked to hold more than it can.
class ORVANTA_SHARED_TYPE exception_overflow : public std::exception {
public:
    const char* what() const noexcept override { return "Overflow"; }
};

}  // namespace vesk
