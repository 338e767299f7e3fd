// tests/overlay/clock_test.cpp -- the date and time lines in words and on a 12-hour clock, and
// where the two bands slide with the fade.
#include "overlay/clock.h"
#include "overlay/text.h"

#include "overlay_media.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace overlay_media;

TEST(ClockLines, DateInWordsAndTwelveHourTime) {
  struct Row {
    const char* name;
    int year, month, day, weekday, hour, minute, second;
    const char* date;
    const char* clock;
  };
  const Row rows[] = {
      {"new year, midnight", 2023, 1, 1, 0, 0, 0, 0, "Sunday January 1st 2023", "12:00:00 AM"},
      {"2nd, after half past midnight", 2026, 2, 2, 1, 0, 30, 15, "Monday February 2nd 2026",
       "12:30:15 AM"},
      {"3rd, no leading zero on the hour", 2026, 3, 3, 2, 9, 5, 7, "Tuesday March 3rd 2026",
       "9:05:07 AM"},
      {"4th, before noon", 2026, 6, 4, 4, 11, 59, 59, "Thursday June 4th 2026", "11:59:59 AM"},
      {"11th, noon", 2026, 4, 11, 6, 12, 0, 0, "Saturday April 11th 2026", "12:00:00 PM"},
      {"12th, after noon", 2026, 5, 12, 2, 12, 5, 9, "Tuesday May 12th 2026", "12:05:09 PM"},
      {"13th, one o'clock", 2026, 7, 13, 1, 13, 0, 0, "Monday July 13th 2026", "1:00:00 PM"},
      {"21st, last second", 2026, 8, 21, 5, 23, 59, 59, "Friday August 21st 2026",
       "11:59:59 PM"},
      {"22nd", 2026, 10, 22, 4, 9, 0, 0, "Thursday October 22nd 2026", "9:00:00 AM"},
      {"23rd", 2026, 11, 23, 1, 9, 0, 0, "Monday November 23rd 2026", "9:00:00 AM"},
      {"31st", 2026, 12, 31, 4, 9, 0, 0, "Thursday December 31st 2026", "9:00:00 AM"},
      {"the longest date, 29 characters", 2026, 9, 30, 3, 9, 0, 0,
       "Wednesday September 30th 2026", "9:00:00 AM"},
  };
  for (const Row& row : rows) {
    std::tm time{};
    time.tm_year = row.year - 1900, time.tm_mon = row.month - 1, time.tm_mday = row.day;
    time.tm_wday = row.weekday, time.tm_hour = row.hour, time.tm_min = row.minute;
    time.tm_sec = row.second;
    char line[CLOCK_LINE_SIZE];
    formatDateLine(time, line, sizeof line);
    EXPECT_EQ(std::string(line), row.date) << row.name;
    formatTimeLine(time, line, sizeof line);
    EXPECT_EQ(std::string(line), row.clock) << row.name;
  }
}

using ClockBands = OverlayMediaTest;

TEST_F(ClockBands, BandsSlideWithTheFade) {
  struct Row {
    const char* name;
    double fade;
    int topBandY, bottomBandY;
  };
  const Row rows[] = {
      {"shown", 100.0, -70, 419},
      {"half way (the offset 30.5 is cut to 30)", 50.0, -100, 449},
      {"barely visible: 60 out", 0.5, -130, 479},
      {"98.3 still one pixel out", 98.3, -71, 420},
      {"98.361 already in place", 98.361, -70, 419},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    paintScreen(0);
    overlayFade = row.fade;
    drawClock();  // no local time to show: the bands are drawn all the same
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
      uint32_t expected = 0;
      if (y - row.topBandY < BAND_HEIGHT) expected = bandColour(y - row.topBandY);
      if (y >= row.bottomBandY) expected = bandColour(y - row.bottomBandY);
      ASSERT_EQ(screenRgb(5, y), expected) << "screen row " << y;
    }
  }
}

TEST_F(ClockBands, LinesStandAtTheirPlacesWithTheBands) {
  std::tm time{};
  time.tm_year = 126;  // Sunday January 7th 2026, 10 in the morning
  time.tm_mday = 7;
  time.tm_hour = 10;
  overlayLocalTime = &time;
  overlayMedia.fontSurface = loadAlphaImage((sourceDir() + "/Media/Orvane/Font.png").c_str());
  overlayFade = 50.0;  // everything 30 pixels out
  paintScreen(0);
  drawClock();
  const std::vector<uint32_t> drawn = screenValues();
  paintScreen(0);
  drawKeyedImage(overlayMedia.topBottomBorderSurface, overlayMedia.bandRuns, 0, -100);
  drawText(620, -12, "Sunday January 7th 2026", TextAlign::Right);
  drawText(620, 8, "10:00:00 AM", TextAlign::Right);
  drawKeyedImage(overlayMedia.topBottomBorderSurface, overlayMedia.bandRuns, 0, 449);
  drawText(20, 472, "Zaraz  (c) 2026", TextAlign::Left);
  EXPECT_TRUE(screenValues() == drawn);
  overlayLocalTime = nullptr;
}

}  // namespace
