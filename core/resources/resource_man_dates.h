#pragma once
// File dates as the system keeps them: the packed 32-bit date-time of the
// file system (date in the high word: years since 1980, month, day; time in
// the low word: hours, minutes, seconds / 2), the date-time as a float64 of
// days since 1899-12-30 (archive entries), and seconds since 1970 at full
// resolution (the file system's own times).
#include <cstdint>

// The packed date-time of local time. Dates before 1980 or after 2107 (and
// values that are no date at all) pack as 0.
int32_t UnixTimeToFileDate(double unixSeconds);
// A date-time, taken as local time already, packed the same way.
int32_t DateTimeToFileDate(double dateTime);
// Seconds since 1970 <-> date-time in local time.
double UnixTimeToDateTime(double unixSeconds);
double DateTimeToUnixTime(double dateTime);
