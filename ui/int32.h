#pragma once
// The 32-bit integer of window-free code, which has neither the platform's
// INT32 nor <cstdint>: int is 32 bits on the handheld, the desktop and Linux.

namespace ui {

typedef int Int32;

// Compiles only where Int32 has 32 bits.
typedef char Int32HasFourBytes[sizeof(Int32) == 4 ? 1 : -1];

} // namespace ui
