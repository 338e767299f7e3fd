// platform/clock.cpp -- calendar time and its local breakdown on POSIX and on Windows.
#include "platform/clock.h"

#ifndef _WIN32
namespace {
std::tm localTimeRecord;
}  // namespace
#endif

int64_t currentCalendarTime() {
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
