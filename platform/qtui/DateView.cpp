// The date picker: a date field with a drop-down calendar.
#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>

#include "platform/forms/DatePicker.h"
#include "platform/qtui/Views.h"

namespace qtui {
namespace {

class DateView : public ControlView {
 public:
  DateView(forms::DatePicker& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    edit_ = new QDateEdit(parent);
    edit_->setCalendarPopup(true);
    edit_->setDisplayFormat(m_.Format() == 0 ? "dddd, MMMM dd, yyyy" : "M/d/yyyy");
    QObject::connect(edit_, &QDateEdit::dateChanged, this, [this](QDate d) {
      const forms::CalendarDate date{d.year(), d.month(), d.day()};
      User([this, date] { m_.UserSetValue(date); });
    });
    // The calendar is a popup window of its own: its showing and hiding are
    // the DropDown and CloseUp events.
    if (QCalendarWidget* cal = edit_->calendarWidget()) {
      cal->window()->installEventFilter(this);
      popup_ = cal->window();
    }
    return edit_;
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == popup_ && watched != edit_->window()) {
      if (event->type() == QEvent::Show) User([this] { m_.UserDropDown(); });
      if (event->type() == QEvent::Hide) User([this] { m_.UserCloseUp(); });
      return false;
    }
    return ControlView::eventFilter(watched, event);
  }
  void SyncOwn(forms::Prop p) override {
    if (p != forms::Prop::Value && p != forms::Prop::Style) return;
    const forms::CalendarDate& lo = m_.MinDate();
    const forms::CalendarDate& hi = m_.MaxDate();
    edit_->setDateRange(QDate(lo.Year, lo.Month, lo.Day), QDate(hi.Year, hi.Month, hi.Day));
    const forms::CalendarDate& v = m_.Value();
    edit_->setDate(QDate(v.Year, v.Month, v.Day));
  }

 private:
  forms::DatePicker& m_;
  QDateEdit* edit_ = nullptr;
  QObject* popup_ = nullptr;
};

}  // namespace

std::unique_ptr<ControlView> MakeDateView(forms::Control& c, FormWindow& w) {
  if (auto* m = dynamic_cast<forms::DatePicker*>(&c)) return std::make_unique<DateView>(*m, w);
  return nullptr;
}

}  // namespace qtui
