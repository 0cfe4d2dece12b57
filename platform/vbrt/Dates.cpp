#include "platform/vbrt/Dates.h"

#include <cmath>
#include <cstdio>

#include "platform/vbrt/VbError.h"

namespace vb {
namespace {

// Days from 1 Jan 1970 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long long kEpoch = DaysFromCivil(1899, 12, 30);

long long FloorDiv(long long a, long long b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

struct Parts {
  long long serialDay;  // calendar day as a serial number
  int seconds;          // seconds since midnight
};

// The calendar day and time of a serial, times rounded to the second.
Parts Split(Date d) {
  if (!std::isfinite(d) || std::fabs(d) > 3e6) Raise(kOverflow);
  double whole = std::trunc(d);
  long long day = static_cast<long long>(whole);
  long long secs = std::llround(std::fabs(d - whole) * 86400.0);
  if (secs >= 86400) {
    secs -= 86400;
    ++day;  // the next calendar day (serial -1.25 is 29 Dec 06:00, the same day as -1)
  }
  return {day, static_cast<int>(secs)};
}

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

std::string Num(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

std::size_t Run(std::string_view p, std::size_t i) {
  std::size_t n = 1;
  char c = static_cast<char>(p[i] | 0x20);
  while (i + n < p.size() && static_cast<char>(p[i + n] | 0x20) == c) ++n;
  return n;
}

bool StartsNoCase(std::string_view p, std::size_t i, std::string_view word) {
  if (p.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if ((p[i + k] | 0x20) != (word[k] | 0x20)) return false;
  }
  return true;
}

}  // namespace

Date DateSerial(int year, int month, int day) {
  long long y = year;
  if (y >= 0 && y <= 29)
    y += 2000;
  else if (y >= 30 && y <= 99)
    y += 1900;
  long long months = y * 12 + (static_cast<long long>(month) - 1);
  long long yy = FloorDiv(months, 12);
  auto mm = static_cast<unsigned>(months - yy * 12 + 1);
  long long days = DaysFromCivil(yy, mm, 1) + (static_cast<long long>(day) - 1);
  if (days < DaysFromCivil(100, 1, 1) || days > DaysFromCivil(9999, 12, 31)) {
    Raise(kInvalidProcedureCall);
  }
  return static_cast<double>(days - kEpoch);
}

Date TimeSerial(int hour, int minute, int second) {
  long long secs =
      static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
  return static_cast<double>(secs) / 86400.0;
}

long DateDiffDays(Date d1, Date d2) {
  return static_cast<long>(Split(d2).serialDay - Split(d1).serialDay);
}

int Weekday(Date d) {
  // Serial 0 (30 Dec 1899) was a Saturday.
  long long w = (Split(d).serialDay + 6) % 7;
  return static_cast<int>(w < 0 ? w + 7 : w) + 1;
}

Date DateFromUnix(std::time_t t) {
  std::tm tm{};
  if (!localtime_r(&t, &tm)) Raise(kInvalidProcedureCall);
  Date day = DateSerial(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  return day + TimeSerial(tm.tm_hour, tm.tm_min, tm.tm_sec);
}

Date Now() {
  return DateFromUnix(std::time(nullptr));
}

std::string CStrDate(Date d) {
  Parts p = Split(d);
  std::string date = FormatDate(d, "m/d/yyyy");
  std::string time = FormatDate(d, "h:nn:ss AM/PM");
  if (std::trunc(d) == 0) return time;
  if (p.seconds == 0) return date;
  return date + " " + time;
}

std::string FormatDate(Date d, std::string_view p) {
  Parts parts = Split(d);
  int y, m, day;
  CivilFromDays(parts.serialDay + kEpoch, y, m, day);
  int hour = parts.seconds / 3600, minute = parts.seconds / 60 % 60, second = parts.seconds % 60;
  bool twelve =
      p.find("AM/PM") != std::string_view::npos || p.find("am/pm") != std::string_view::npos;
  int shownHour = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
  std::string out;
  bool afterHour = false;
  for (std::size_t i = 0; i < p.size();) {
    char c = static_cast<char>(p[i] | 0x20);
    std::size_t n = Run(p, i);
    if (StartsNoCase(p, i, "am/pm")) {
      bool upper = p[i] == 'A';
      out += hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      i += 5;
      continue;
    }
    if (c == 'y') {
      out += n >= 3 ? Num(y, 4) : Num(y % 100, 2);
    } else if (c == 'm' && afterHour && n <= 2) {
      out += Num(minute, static_cast<int>(n));
    } else if (c == 'm') {
      out += n >= 4   ? kMonths[m - 1]
             : n == 3 ? std::string(kMonths[m - 1], 3)
                      : Num(m, static_cast<int>(n));
    } else if (c == 'd') {
      int w = Weekday(d) - 1;
      out += n >= 4 ? kDays[w] : n == 3 ? std::string(kDays[w], 3) : Num(day, static_cast<int>(n));
    } else if (c == 'h') {
      out += Num(shownHour, n >= 2 ? 2 : 1);
    } else if (c == 'n') {
      out += Num(minute, n >= 2 ? 2 : 1);
    } else if (c == 's') {
      out += Num(second, n >= 2 ? 2 : 1);
    } else if (p[i] == '\\' && i + 1 < p.size()) {
      out.push_back(p[i + 1]);
      i += 2;
      continue;
    } else if (p[i] == '"') {
      std::size_t close = p.find('"', i + 1);
      if (close == std::string_view::npos) close = p.size();
      out.append(p.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    } else {
      out.push_back(p[i]);
      i += 1;
      continue;
    }
    if (c == 'h')
      afterHour = true;
    else if (c != 'm')
      afterHour = false;
    i += n;
  }
  return out;
}

}  // namespace vb
