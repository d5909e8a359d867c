#include "core/resources/resource_man_dates.h"

#include <cmath>
#include <ctime>

// ---- dates ---------------------------------------------------------------------------

namespace {
constexpr double kUnixEpochAsDateTime = 25569.0;  // 1970-01-01 in days since 1899-12-30
constexpr double kSecondsPerDay = 86400.0;

struct CivilDate {
  int64_t year;
  int month, day;
};

// Days since 1970-01-01 to the proleptic Gregorian calendar.
CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}
}  // namespace

namespace {
// Beyond any calendar a file system keeps: no time zone is looked up.
bool OutsideTimeZones(double seconds) { return !std::isfinite(seconds) || std::fabs(seconds) > 1e14; }
}  // namespace

double UnixTimeToDateTime(double unixSeconds) {
  if (OutsideTimeZones(unixSeconds)) return unixSeconds / kSecondsPerDay + kUnixEpochAsDateTime;
  std::time_t whole = static_cast<std::time_t>(std::floor(unixSeconds));
  std::tm local{};
  localtime_r(&whole, &local);
  return (unixSeconds + static_cast<double>(local.tm_gmtoff)) / kSecondsPerDay + kUnixEpochAsDateTime;
}

double DateTimeToUnixTime(double dateTime) {
  double localSeconds = (dateTime - kUnixEpochAsDateTime) * kSecondsPerDay;
  if (OutsideTimeZones(localSeconds)) return localSeconds;
  std::time_t guess = static_cast<std::time_t>(std::floor(localSeconds));
  std::tm local{};
  localtime_r(&guess, &local);
  return localSeconds - static_cast<double>(local.tm_gmtoff);
}

int32_t DateTimeToFileDate(double dateTime) {
  // Far outside the packable years (and not a number at all): nothing to pack.
  if (!std::isfinite(dateTime) || dateTime < 0 || dateTime > 100000) return 0;
  double days = std::floor(dateTime);
  int64_t millis = std::llround((dateTime - days) * kSecondsPerDay * 1000.0);
  if (millis >= static_cast<int64_t>(kSecondsPerDay * 1000)) millis = static_cast<int64_t>(kSecondsPerDay * 1000) - 1;
  CivilDate date = CivilFromDays(static_cast<int64_t>(days) - static_cast<int64_t>(kUnixEpochAsDateTime));
  if (date.year < 1980 || date.year > 2107) return 0;
  int64_t seconds = millis / 1000;
  uint32_t hour = static_cast<uint32_t>(seconds / 3600);
  uint32_t minute = static_cast<uint32_t>(seconds / 60 % 60);
  uint32_t second = static_cast<uint32_t>(seconds % 60);
  uint32_t packedDate = (static_cast<uint32_t>(date.year - 1980) << 9) | (static_cast<uint32_t>(date.month) << 5) |
                        static_cast<uint32_t>(date.day);
  uint32_t packedTime = (hour << 11) | (minute << 5) | (second / 2);
  return static_cast<int32_t>((packedDate << 16) | packedTime);
}

int32_t UnixTimeToFileDate(double unixSeconds) { return DateTimeToFileDate(UnixTimeToDateTime(unixSeconds)); }
