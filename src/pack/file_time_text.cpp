#include "pack/file_time_text.h"

#include <cstdio>

namespace vm::pack {
namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kSecondsPerHour = 3600;
constexpr int64_t kSecondsPerMinute = 60;
// 1601-01-01 counted in days from 0000-03-01, the start of the proleptic Gregorian calendar
// shifted so that leap days fall at the end of a year.
constexpr int64_t kFileTimeEpochDay = 584694;
constexpr int64_t kDaysPer400Years = 146097;

struct CivilDate {
  int64_t Year;
  int Month;
  int Day;
};

// Days since 0000-03-01 to a calendar date (Howard Hinnant's days-to-civil algorithm).
CivilDate DateOfDay(int64_t day) {
  const int64_t era = day / kDaysPer400Years;
  const int64_t dayOfEra = day - era * kDaysPer400Years;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
  CivilDate date;
  date.Day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  date.Month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  date.Year = yearOfEra + era * 400 + (date.Month <= 2 ? 1 : 0);
  return date;
}

}  // namespace

std::string FileTimeToIso8601(uint64_t fileTime) {
  const auto seconds = static_cast<int64_t>(fileTime / kTicksPerSecond);
  const CivilDate date = DateOfDay(kFileTimeEpochDay + seconds / kSecondsPerDay);
  const int64_t secondOfDay = seconds % kSecondsPerDay;
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ",
                static_cast<long long>(date.Year), date.Month, date.Day,
                static_cast<int>(secondOfDay / kSecondsPerHour),
                static_cast<int>(secondOfDay % kSecondsPerHour / kSecondsPerMinute),
                static_cast<int>(secondOfDay % kSecondsPerMinute));
  return text;
}

}  // namespace vm::pack
