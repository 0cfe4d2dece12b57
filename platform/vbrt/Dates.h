#pragma once
// VB dates: a Date is a Double counting days since 30 Dec 1899; the fraction is
// the time of day (for negative serials it still counts forward from midnight).

#include <ctime>
#include <string>
#include <string_view>

namespace vb {

using Date = double;

// Out-of-range months and days carry into the next unit (month 13 -> January of
// the next year, day 0 -> last day of the previous month).  Years 0..99 mean
// 2000..2029 and 1930..1999.  A result outside 1 Jan 100 .. 31 Dec 9999 raises 5.
Date DateSerial(int year, int month, int day);
Date TimeSerial(int hour, int minute, int second);

// DateDiff("d", d1, d2): midnights crossed from d1 to d2 (times ignored).
long DateDiffDays(Date d1, Date d2);

int Weekday(Date d);  // 1 = Sunday .. 7 = Saturday

// Local time.
Date DateFromUnix(std::time_t t);
Date Now();

// General date, en-US: "12/9/2026 3:04:05 PM"; date only when the time is midnight,
// time only when the day part is 0.
std::string CStrDate(Date d);

// Format$ of a date: yyyy yy mmmm mmm mm m dddd ddd dd d hh h nn n ss s AM/PM am/pm;
// "mm"/"m" right after an hour mean minutes.  '\x' and "..." are literal.
std::string FormatDate(Date d, std::string_view pattern);

}  // namespace vb
