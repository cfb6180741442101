// The scope marker. The stand-in host keeps no call-stack diagnostics, so it only holds its label.

#include "abi/shared_library.h"

uCallStackTracker::uCallStackTracker(const char* label) : label_(label) {}

uCallStackTracker::~uCallStackTracker() = default;
