// tests/overlay/clock_test.cpp -- the date and time lines in words and on a 12-hour clock, and
// where the two bands slide with the fade.
#include "overlay/clock.h"

#include "app/screen.h"
#include "overlay/driver.h"
#include "overlay_media.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace overlay_media;

std::tm localTime(int year, int month, int day, int weekday, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_wday = weekday;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

std::string dateLine(const std::tm& time) {
  char line[CLOCK_LINE_SIZE];
  formatDateLine(time, line, sizeof line);
  return line;
}

std::string timeLine(const std::tm& time) {
  char line[CLOCK_LINE_SIZE];
  formatTimeLine(time, line, sizeof line);
  return line;
}

TEST(ClockLines, DateInWords) {
  struct Row {
    const char* name;
    std::tm time;
    const char* expected;
  };
  const Row rows[] = {
      {"new year 2023", localTime(2023, 1, 1, 0, 0, 0, 0), "Sunday January 1st 2023"},
      {"2nd", localTime(2026, 2, 2, 1, 9, 0, 0), "Monday February 2nd 2026"},
      {"3rd", localTime(2026, 3, 3, 2, 9, 0, 0), "Tuesday March 3rd 2026"},
      {"4th", localTime(2026, 6, 4, 4, 9, 0, 0), "Thursday June 4th 2026"},
      {"11th", localTime(2026, 4, 11, 6, 9, 0, 0), "Saturday April 11th 2026"},
      {"12th", localTime(2026, 5, 12, 2, 9, 0, 0), "Tuesday May 12th 2026"},
      {"13th", localTime(2026, 7, 13, 1, 9, 0, 0), "Monday July 13th 2026"},
      {"21st", localTime(2026, 8, 21, 5, 9, 0, 0), "Friday August 21st 2026"},
      {"22nd", localTime(2026, 10, 22, 4, 9, 0, 0), "Thursday October 22nd 2026"},
      {"23rd", localTime(2026, 11, 23, 1, 9, 0, 0), "Monday November 23rd 2026"},
      {"31st", localTime(2026, 12, 31, 4, 9, 0, 0), "Thursday December 31st 2026"},
      {"the longest line, 29 characters", localTime(2026, 9, 30, 3, 9, 0, 0),
       "Wednesday September 30th 2026"},
  };
  for (const Row& row : rows) EXPECT_EQ(dateLine(row.time), row.expected) << row.name;
}

TEST(ClockLines, TwelveHourTime) {
  struct Row {
    const char* name;
    int hour, minute, second;
    const char* expected;
  };
  const Row rows[] = {
      {"midnight", 0, 0, 0, "12:00:00 AM"},
      {"just after half past midnight", 0, 30, 15, "12:30:15 AM"},
      {"morning, no leading zero on the hour", 9, 5, 7, "9:05:07 AM"},
      {"last second before noon", 11, 59, 59, "11:59:59 AM"},
      {"noon", 12, 0, 0, "12:00:00 PM"},
      {"just after noon", 12, 5, 9, "12:05:09 PM"},
      {"one in the afternoon", 13, 0, 0, "1:00:00 PM"},
      {"last second of the day", 23, 59, 59, "11:59:59 PM"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(timeLine(localTime(2026, 1, 1, 4, row.hour, row.minute, row.second)), row.expected)
        << row.name;
  }
}

using ClockBands = OverlayMediaTest;

// The band row that shows on screen row y, or -1 where no band is.
int bandRowAt(int y) {
  const uint32_t rgb = screenRgb(5, y);
  if ((rgb >> 16) != 30 || (rgb & 0xFF) != 200) return -1;
  return int((rgb >> 8) & 0xFF);
}

TEST_F(ClockBands, BandsSlideWithTheFade) {
  struct Row {
    const char* name;
    double fade;
    int topBandY, bottomBandY;
  };
  const Row rows[] = {
      {"shown", 100.0, -70, 419},
      {"first opening frame", stepOverlayFade(0.0, 1), -126, 475},
      {"half way (the offset 30.5 is cut to 30)", 50.0, -100, 449},
      {"barely visible: 60 out", 0.5, -130, 479},
      {"98.3 still one pixel out", 98.3, -71, 420},
      {"98.361 already in place", 98.361, -70, 419},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    paintScreen(0);
    overlayFade = row.fade;
    overlayLocalTime = nullptr;  // no time to show: the bands are drawn all the same
    drawClock();
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
      int expected = -1;
      if (y - row.topBandY < BAND_HEIGHT) expected = y - row.topBandY;
      if (y >= row.bottomBandY) expected = y - row.bottomBandY;
      ASSERT_EQ(bandRowAt(y), expected) << "screen row " << y;
    }
  }
}

}  // namespace
