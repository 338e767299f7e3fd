// overlay/clock.cpp -- the date, clock and credit bands that slide in with the overlay.
#include "overlay/clock.h"

#include "overlay/driver.h"
#include "overlay/images.h"
#include "overlay/text.h"

#include <cstdio>

namespace {

const char* const WEEKDAY_NAMES[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
const char* const MONTH_NAMES[] = {"January", "February", "March",     "April",
                                   "May",     "June",     "July",      "August",
                                   "September", "October", "November", "December"};
// Indexed by the day of the month; 11th, 12th and 13th take "th" like the other teens.
const char* const DAY_ORDINALS[] = {
    "",     "1st",  "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th",  "8th",  "9th",  "10th",
    "11th", "12th", "13th", "14th", "15th", "16th", "17th", "18th", "19th", "20th", "21st",
    "22nd", "23rd", "24th", "25th", "26th", "27th", "28th", "29th", "30th", "31st"};
constexpr const char* CREDIT_LINE = "Zaraz  (c) 2026";

constexpr int SLIDE_DISTANCE = 61;
constexpr int YEAR_BASE = 1900;
constexpr int HOURS_HALF_DAY = 12;

constexpr int TOP_BAND_Y = -70;
constexpr int BOTTOM_BAND_Y = 419;
constexpr int CLOCK_RIGHT_EDGE = 620;
constexpr int DATE_LINE_Y = 18;
constexpr int TIME_LINE_Y = 38;
constexpr int CREDIT_X = 20;
constexpr int CREDIT_Y = 442;

template <std::size_t Count>
const char* nameAt(const char* const (&names)[Count], int index, int first = 0) {
  return index >= first && index < int(Count) ? names[index] : "?";
}

void drawBand(int y) {
  drawKeyedImage(overlayMedia.topBottomBorderSurface, overlayMedia.bandRuns, 0, y);
}

}  // namespace

int clockSlideOffset(double fade) { return int((FADE_FULL - fade) / FADE_FULL * SLIDE_DISTANCE); }

void formatDateLine(const std::tm& time, char* out, std::size_t size) {
  std::snprintf(out, size, "%s %s %s %d", nameAt(WEEKDAY_NAMES, time.tm_wday),
                nameAt(MONTH_NAMES, time.tm_mon), nameAt(DAY_ORDINALS, time.tm_mday, 1),
                time.tm_year + YEAR_BASE);
}

void formatTimeLine(const std::tm& time, char* out, std::size_t size) {
  int hour = time.tm_hour;
  if (hour > HOURS_HALF_DAY) hour -= HOURS_HALF_DAY;
  if (hour == 0) hour = HOURS_HALF_DAY;
  std::snprintf(out, size, "%d:%02d:%02d %s", hour, time.tm_min, time.tm_sec,
                time.tm_hour >= HOURS_HALF_DAY ? "PM" : "AM");
}

void drawClock() {
  const int offset = clockSlideOffset(overlayFade);
  // The top band goes under the date and time; the bottom band over whatever the buttons drew.
  drawBand(TOP_BAND_Y - offset);
  if (overlayLocalTime != nullptr) {
    char line[CLOCK_LINE_SIZE];
    formatDateLine(*overlayLocalTime, line, sizeof line);
    drawText(CLOCK_RIGHT_EDGE, DATE_LINE_Y - offset, line, TextAlign::Right);
    formatTimeLine(*overlayLocalTime, line, sizeof line);
    drawText(CLOCK_RIGHT_EDGE, TIME_LINE_Y - offset, line, TextAlign::Right);
  }
  drawBand(BOTTOM_BAND_Y + offset);
  drawText(CREDIT_X, CREDIT_Y + offset, CREDIT_LINE, TextAlign::Left);
}
