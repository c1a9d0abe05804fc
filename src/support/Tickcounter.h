#pragma once

#include <cstdint>

// Milliseconds from a monotonic clock, cut to 32 bits: it wraps, so only differences taken as
// unsigned 32-bit values are meaningful.
uint32_t MonotonicTickCount();
