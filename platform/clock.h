// platform/clock.h -- calendar time and local broken-down time, the only door to the C
// library's time functions (the seed of rand at start-up, the overlay's clock).
//
// On Windows these are _time64 and _localtime64; elsewhere a small layer of ours with the same
// behaviour.
#pragma once

#include <cstdint>
#include <ctime>

// Seconds since 1970-01-01 00:00 UTC, 64-bit, as _time64(NULL) gives them.
int64_t currentCalendarTime();

// The local broken-down time of `seconds` (tm_hour 0..23, tm_mon 0..11, tm_year since 1900,
// tm_wday 0..6 from Sunday), in a record that this layer owns and overwrites on every call, as
// _localtime64 does. Null when the time cannot be converted (out of the system's range).
const std::tm* localTimeOf(int64_t seconds);
