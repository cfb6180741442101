// The one way the component reports that memory ran out.
#pragma once

namespace vesk {

// Raises std::bad_alloc with the text "bad allocation" (the player's runtime's text, which the
// Itanium runtime's own bad_alloc does not carry).
[[noreturn]] void throw_bad_alloc();

}  // namespace vesk
