#pragma once
// A date picker in the shape of DTPicker (short-date format, drop-down
// calendar).  Value is a calendar date.  Setting Value from code raises
// nothing; the user's changes raise Change, closing the calendar CloseUp.

#include <compare>
#include <string>

#include "platform/forms/Control.h"

namespace forms {

struct CalendarDate {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  auto operator<=>(const CalendarDate&) const = default;
  bool Valid() const;
  // DateSerial's carry: month 0 is December of the year before, day 0 the last
  // day of the month before, day 32 runs into the next month.
  static CalendarDate Serial(int year, int month, int day);
  static CalendarDate Today();
  std::string ToString() const;  // "m/d/yyyy"
};

class DatePicker : public Control {
 public:
  static constexpr const char* kTypeName = "DatePicker";
  DatePicker(Form& f, std::string name, int index = -1);

  const CalendarDate& Value() const { return value_; }
  // Outside MinDate..MaxDate or not a date: 380.
  void SetValue(const CalendarDate& d);
  const CalendarDate& MinDate() const { return minDate_; }
  const CalendarDate& MaxDate() const { return maxDate_; }
  int Format() const { return format_; }  // 0 long date, 1 short date

  Event<> Change;
  Event<> CloseUp;
  Event<> DropDown;

  bool CanFocus() const override { return true; }
  // The user picked a date: Value, then Change when it differs.
  void UserSetValue(const CalendarDate& d);
  void UserDropDown();
  void UserCloseUp();
  bool SetDesignProperty(const std::string& key, const std::string& value) override;

 private:
  CalendarDate value_ = CalendarDate::Today();
  CalendarDate minDate_{1601, 1, 1};
  CalendarDate maxDate_{9999, 12, 31};
  int format_ = 1;
};

}  // namespace forms
