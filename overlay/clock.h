// overlay/clock.h -- the overlay's two bands: the date in words and a 12-hour clock sliding down
// from the top, a credit line sliding up from the bottom.
//
// The overlay driver calls drawClock in every frame the overlay is visible, after refreshing
// overlayLocalTime and after the buttons. The line builders are its pure parts.
#pragma once

#include <cstddef>
#include <ctime>

// Room for any line drawn here and its terminating zero; the longest date line
// ("Wednesday September 30th" and a four-digit year) is 29 characters.
constexpr std::size_t CLOCK_LINE_SIZE = 48;

// Pixels by which both bands stand out of place at `fade`: (100 - fade) / 100 * 61 in double
// precision, cut toward zero. 56 at 7.167, 0 from about 98.361 up.
int clockSlideOffset(double fade);

// "Sunday January 1st 2023": weekday, month, day with its English ordinal suffix, year. Fields
// out of their ranges give "?" in place of a name. Writes at most `size` bytes, zero-ended.
void formatDateLine(const std::tm& time, char* out, std::size_t size);

// "12:00:00 AM": the hour on a 12-hour clock without a leading zero (0 shows as 12, 13 as 1),
// minutes and seconds in two digits, then AM before noon and PM from noon on.
void formatTimeLine(const std::tm& time, char* out, std::size_t size);

// Top band at (0, -70 - offset), date ending at x 620 on y 18 - offset, time ending at x 620 on
// y 38 - offset, bottom band at (0, 419 + offset), credit line from x 20 on y 442 + offset, in
// that order. Without a local time (null overlayLocalTime) the date and time are left out.
void drawClock();
