// platform/clock.cpp -- calendar time and its local breakdown on POSIX and on Windows.
#include "platform/clock.h"

namespace {
bool calendarTimePinned = false;
int64_t pinnedCalendarTime = 0;
#ifndef _WIN32
std::tm localTimeRecord;
#endif
}  // namespace

int64_t currentCalendarTime() {
  if (calendarTimePinned) return pinnedCalendarTime;
#ifdef _WIN32
  return _time64(nullptr);
#else
  return int64_t(std::time(nullptr));
#endif
}

const std::tm* localTimeOf(int64_t seconds) {
#ifdef _WIN32
  const __time64_t value = seconds;
  return _localtime64(&value);
#else
  const std::time_t value = std::time_t(seconds);
  if (int64_t(value) != seconds) return nullptr;
  return localtime_r(&value, &localTimeRecord);
#endif
}

void setCalendarTimeForTests(int64_t seconds) {
  pinnedCalendarTime = seconds;
  calendarTimePinned = true;
}

void clearCalendarTimeForTests() { calendarTimePinned = false; }
