#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/vbrt/Dates.h"
#include "platform/vbrt/VbError.h"

namespace {

std::string Ymd(vb::Date d) {
  return vb::FormatDate(d, "yyyy-mm-dd");
}

TEST(Dates, DateSerialCarriesOutOfRangeParts) {
  EXPECT_EQ(vb::DateSerial(1899, 12, 30), 0);
  EXPECT_EQ(vb::DateSerial(2000, 1, 1), 36526);
  EXPECT_EQ(Ymd(vb::DateSerial(2023, 3 - 1, 31)), "2023-03-03");
  EXPECT_EQ(Ymd(vb::DateSerial(2024, 2, 31)), "2024-03-02");
  EXPECT_EQ(Ymd(vb::DateSerial(2023, 0, 15)), "2022-12-15");
  EXPECT_EQ(Ymd(vb::DateSerial(2023, 13, 15)), "2024-01-15");
  EXPECT_EQ(Ymd(vb::DateSerial(2023, 3, 0)), "2023-02-28");
  EXPECT_EQ(Ymd(vb::DateSerial(1990 - 10, 8 - 2, 1 - 1)), "1980-05-31");
  EXPECT_EQ(Ymd(vb::DateSerial(2023, -1, 1)), "2022-11-01");
  EXPECT_EQ(Ymd(vb::DateSerial(5, 6, 7)), "2005-06-07");
  EXPECT_EQ(Ymd(vb::DateSerial(75, 6, 7)), "1975-06-07");
  try {
    vb::DateSerial(10000, 1, 1);
    FAIL();
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 5);
  }
}

TEST(Dates, PartsOfSerialsIncludingNegativeOnes) {
  vb::Date d = vb::DateSerial(2026, 12, 9) + vb::TimeSerial(15, 4, 5);
  EXPECT_EQ(vb::FormatDate(d, "yyyy-mm-dd hh:nn:ss"), "2026-12-09 15:04:05");
  EXPECT_EQ(vb::FormatDate(-1.25, "yyyy-mm-dd hh:nn"), "1899-12-29 06:00");
  EXPECT_EQ(vb::FormatDate(vb::DateSerial(2024, 1, 1) - 1e-9, "yyyy-mm-dd hh:nn:ss"),
            "2024-01-01 00:00:00");
  EXPECT_EQ(vb::TimeSerial(25, 0, 0), 25.0 / 24.0);
}

TEST(Dates, DateDiffCountsMidnights) {
  vb::Date late = vb::DateSerial(2023, 5, 1) + vb::TimeSerial(23, 59, 0);
  vb::Date early = vb::DateSerial(2023, 5, 2) + vb::TimeSerial(0, 1, 0);
  EXPECT_EQ(vb::DateDiffDays(late, early), 1);
  EXPECT_EQ(vb::DateDiffDays(early, late), -1);
  EXPECT_EQ(vb::DateDiffDays(vb::DateSerial(2023, 5, 1), late), 0);
  EXPECT_EQ(vb::DateDiffDays(vb::DateSerial(2023, 1, 1), vb::DateSerial(2024, 1, 1)), 365);
  EXPECT_EQ(vb::DateDiffDays(-1.25, 0.5), 1);
}

TEST(Dates, GeneralDateAndPatterns) {
  vb::Date day = vb::DateSerial(2026, 12, 9);
  vb::Date time = vb::TimeSerial(15, 4, 5);
  EXPECT_EQ(vb::CStrDate(day + time), "12/9/2026 3:04:05 PM");
  EXPECT_EQ(vb::CStrDate(day), "12/9/2026");
  EXPECT_EQ(vb::CStrDate(time), "3:04:05 PM");
  EXPECT_EQ(vb::CStrDate(0), "12:00:00 AM");
  EXPECT_EQ(vb::CStrDate(vb::DateSerial(2026, 1, 2) + vb::TimeSerial(0, 30, 0)),
            "1/2/2026 12:30:00 AM");
  vb::Date d = vb::DateSerial(2026, 3, 7) + vb::TimeSerial(8, 9, 10);
  EXPECT_EQ(vb::FormatDate(d, "mm/dd/yyyy"), "03/07/2026");
  EXPECT_EQ(vb::FormatDate(d, "m/d/yy hh:mm:ss"), "3/7/26 08:09:10");
  EXPECT_EQ(vb::FormatDate(d, "dddd, mmmm d"), "Saturday, March 7");
  EXPECT_EQ(vb::FormatDate(d, "yyyymmdd_hhnnss"), "20260307_080910");
  EXPECT_EQ(vb::FormatDate(d, "h:nn am/pm"), "8:09 am");
}

TEST(Dates, UnixTimeIsReadInLocalTime) {
  setenv("TZ", "America/New_York", 1);
  tzset();
  // 2021-07-01 16:30:00 UTC = 12:30 EDT.
  EXPECT_EQ(vb::CStrDate(vb::DateFromUnix(1625157000)), "7/1/2021 12:30:00 PM");
  unsetenv("TZ");
  tzset();
  vb::Date now = vb::Now();
  EXPECT_GT(now, vb::DateSerial(2020, 1, 1));
}

}  // namespace
