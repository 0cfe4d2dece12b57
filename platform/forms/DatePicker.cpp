#include "platform/forms/DatePicker.h"

#include <chrono>
#include <cstdio>

#include "platform/forms/Design.h"
#include "platform/vbrt/VbError.h"

namespace forms {

using namespace design;
namespace chr = std::chrono;

namespace {

CalendarDate FromDays(chr::sys_days d) {
  chr::year_month_day ymd(d);
  return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

// "yyyy-mm-dd" or "m/d/yyyy".
CalendarDate ParseDate(const std::string& v) {
  int a = 0, b = 0, c = 0;
  char s1 = 0, s2 = 0;
  if (std::sscanf(v.c_str(), "%d%c%d%c%d", &a, &s1, &b, &s2, &c) != 5 || s1 != s2)
    vb::Raise(vb::kInvalidPropertyValue);
  CalendarDate d = s1 == '-' ? CalendarDate{a, b, c} : CalendarDate{c, a, b};
  if (!d.Valid()) vb::Raise(vb::kInvalidPropertyValue);
  return d;
}

}  // namespace

bool CalendarDate::Valid() const {
  if (Year < 100 || Year > 9999) return false;
  return chr::year_month_day(chr::year(Year), chr::month(static_cast<unsigned>(Month)),
                             chr::day(static_cast<unsigned>(Day)))
             .ok() &&
         Month >= 1 && Day >= 1;
}

CalendarDate CalendarDate::Serial(int year, int month, int day) {
  // Months carry into years first, then the day counts from the first of the month.
  int m0 = month - 1;
  int y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
  int m = ((m0 % 12) + 12) % 12 + 1;
  chr::sys_days first =
      chr::year_month_day(chr::year(y), chr::month(static_cast<unsigned>(m)), chr::day(1));
  return FromDays(first + chr::days(day - 1));
}

CalendarDate CalendarDate::Today() {
  auto now = chr::system_clock::now();
  std::time_t t = chr::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string CalendarDate::ToString() const {
  return std::to_string(Month) + "/" + std::to_string(Day) + "/" + std::to_string(Year);
}

DatePicker::DatePicker(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {
  SetBackColor(vbWindowBackground);
  SetForeColor(vbWindowText);
}

void DatePicker::SetValue(const CalendarDate& d) {
  if (!d.Valid() || d < minDate_ || d > maxDate_) vb::Raise(vb::kInvalidPropertyValue);
  if (d == value_) return;
  value_ = d;
  Notify(Prop::Value);
}

void DatePicker::UserSetValue(const CalendarDate& d) {
  if (!Enabled() || !d.Valid() || d < minDate_ || d > maxDate_ || d == value_) return;
  value_ = d;
  Notify(Prop::Value);
  AsUser([this] { Change(); });
}

void DatePicker::UserDropDown() {
  if (!Enabled()) return;
  AsUser([this] { DropDown(); });
}

void DatePicker::UserCloseUp() {
  if (!Enabled()) return;
  AsUser([this] { CloseUp(); });
}

bool DatePicker::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Value"))
    value_ = ParseDate(value);
  else if (KeyIs(key, "MinDate"))
    minDate_ = ParseDate(value);
  else if (KeyIs(key, "MaxDate"))
    maxDate_ = ParseDate(value);
  else if (KeyIs(key, "Format"))
    format_ = Int(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

}  // namespace forms
