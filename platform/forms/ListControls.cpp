#include "platform/forms/ListControls.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/forms/Design.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace forms {

using namespace design;

// ---- ListModel ---------------------------------------------------------------

const std::string& ListModel::Item(int i) const {
  static const std::string empty;
  return i >= 0 && i < Count() ? items_[i] : empty;
}

void ListModel::SetItem(int i, std::string text) {
  items_.at(i) = std::move(text);
  ++edits_;
}

int ListModel::Insert(int at, std::string text) {
  if (at != Count()) ++edits_;
  items_.insert(items_.begin() + at, std::move(text));
  selected_.insert(selected_.begin() + at, 0);
  if (index_ >= at) ++index_;
  return at;
}

int ListModel::InsertSorted(std::string text) {
  auto it = std::upper_bound(
      items_.begin(), items_.end(), text,
      [](const std::string& a, const std::string& b) { return winfs::CompareNames(a, b) < 0; });
  return Insert(static_cast<int>(it - items_.begin()), std::move(text));
}

void ListModel::Remove(int i) {
  items_.erase(items_.begin() + i);
  selected_.erase(selected_.begin() + i);
  ++edits_;
  if (index_ == i)
    index_ = -1;
  else if (index_ > i)
    --index_;
  if (top_ > 0 && top_ >= Count()) top_ = std::max(0, Count() - 1);
}

void ListModel::Clear() {
  Assign({});
}

void ListModel::Assign(std::vector<std::string> items) {
  if (items != items_) {
    items_ = std::move(items);
    selected_.assign(items_.size(), 0);
    ++edits_;
  } else {
    ClearSelection();
  }
  index_ = -1;
  top_ = 0;
}

bool ListModel::Selected(int i) const {
  return i >= 0 && i < Count() && selected_[i];
}

void ListModel::SetSelected(int i, bool v) {
  const char mark = v ? 1 : 0;
  if (selected_.at(i) == mark) return;
  selected_[i] = mark;
  MarksChanged(i, i);
}

int ListModel::SelCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), 1));
}

void ListModel::ClearSelection() {
  for (int i = 0; i < Count(); ++i) {
    if (selected_[i]) {
      selected_[i] = 0;
      MarksChanged(i, i);
    }
  }
}

void ListModel::MarksChanged(int first, int last) {
  if (markedFirst_ > markedLast_) {
    markedFirst_ = first;
    markedLast_ = last;
    return;
  }
  markedFirst_ = std::min(markedFirst_, first);
  markedLast_ = std::max(markedLast_, last);
}

std::pair<int, int> ListModel::TakeMarkChanges() {
  const std::pair<int, int> changed{markedFirst_, std::min(markedLast_, Count() - 1)};
  markedFirst_ = 0;
  markedLast_ = -1;
  return changed;
}

// ---- What ListBox and ComboBox share ----------------------------------------------

namespace {

// An entry index the List and Selected properties take; others raise 381.
void CheckEntry(const ListModel& list, int i) {
  if (i < 0 || i >= list.Count()) vb::Raise(381);
}

// AddItem item[, index]: at index, or at the end (in order in a sorted list).  Returns the
// index used (NewIndex); an index beyond the end or below -1 raises 5.
int AddEntry(ListModel& list, const std::string& item, int index, bool sorted) {
  if (index > list.Count() || index < -1) vb::Raise(vb::kInvalidProcedureCall);
  if (index != -1) return list.Insert(index, item);
  return sorted ? list.InsertSorted(item) : list.Insert(list.Count(), item);
}

// RemoveItem index: an index out of range raises 5.
void RemoveEntry(ListModel& list, int index) {
  if (index < 0 || index >= list.Count()) vb::Raise(vb::kInvalidProcedureCall);
  list.Remove(index);
}

}  // namespace

// ---- ListBox -------------------------------------------------------------------

ListBox::ListBox(Form& f, std::string name, int index, const char* typeName)
    : Control(f, typeName, std::move(name), index) {
  SetBackColor(vbWindowBackground);
  SetForeColor(vbWindowText);
}

void ListBox::SetList(int i, std::string text) {
  CheckEntry(list_, i);
  list_.SetItem(i, std::move(text));
  Notify(Prop::List);
}

void ListBox::SetListIndex(int i) {
  if (i < -1 || i >= ListCount()) vb::Raise(vb::kInvalidPropertyValue);
  list_.SetIndex(i);
  if (multiSelect_ == vbMultiSelectNone) {
    list_.ClearSelection();
    if (i >= 0) list_.SetSelected(i, true);
  }
  Notify(Prop::Selection);
  Click();
}

bool ListBox::Selected(int i) const {
  CheckEntry(list_, i);
  return list_.Selected(i);
}

void ListBox::SetSelected(int i, bool v) {
  CheckEntry(list_, i);
  if (multiSelect_ == vbMultiSelectNone) {
    if (v) {
      SetListIndex(i);
    } else if (list_.Index() == i) {
      SetListIndex(-1);
    }
    return;
  }
  list_.SetSelected(i, v);
  list_.SetIndex(i);
  Notify(Prop::Selection);
  Click();
}

std::string ListBox::Text() const {
  return list_.Item(list_.Index());
}

int ListBox::ItemHeight() const {
  // A line of the font in pixels (96 DPI) plus a little spacing, in twips.
  int px = static_cast<int>(std::lround(GetFont().Size * 96.0 / 72.0)) + 2;
  return std::max(1, px) * 15;
}

int ListBox::VisibleRows() const {
  return std::max(1, Height() / ItemHeight());
}

int ListBox::MaxTop() const {
  return std::max(0, ListCount() - VisibleRows());
}

void ListBox::SetTopIndex(int t) {
  if (t < 0 || (t >= ListCount() && ListCount() > 0)) vb::Raise(vb::kInvalidPropertyValue);
  t = std::min(t, MaxTop());
  if (t == list_.Top()) return;
  list_.SetTop(t);
  Notify(Prop::TopIndex);
  Scroll();
}

void ListBox::AddItem(const std::string& item, int index) {
  newIndex_ = AddEntry(list_, item, index, sorted_);
  Notify(Prop::List);
}

void ListBox::RemoveItem(int index) {
  RemoveEntry(list_, index);
  Notify(Prop::List);
}

void ListBox::Clear() {
  list_.Clear();
  newIndex_ = -1;
  Notify(Prop::List);
}

void ListBox::ReplaceItems(std::vector<std::string> items) {
  list_.Assign(std::move(items));
  Notify(Prop::List);
}

void ListBox::UserSelect(int i, int shift) {
  if (!Enabled() || i < 0 || i >= ListCount()) return;
  AsUser([&] {
    switch (multiSelect_) {
      case vbMultiSelectNone:
        SetListIndex(i);
        return;
      case vbMultiSelectSimple:
        SetSelected(i, !list_.Selected(i));
        return;
      default:
        break;
    }
    if (shift & vbCtrlMask) {
      anchor_ = i;
      SetSelected(i, !list_.Selected(i));
      return;
    }
    // Shift extends from where the last plain or Ctrl selection began.
    if (!(shift & vbShiftMask) || anchor_ < 0 || anchor_ >= ListCount()) {
      anchor_ = (shift & vbShiftMask) && list_.Index() >= 0 ? list_.Index() : i;
    }
    const int anchor = anchor_;
    list_.ClearSelection();
    for (int k = std::min(anchor, i); k <= std::max(anchor, i); ++k) list_.SetSelected(k, true);
    list_.SetIndex(i);
    Notify(Prop::Selection);
    Click();
  });
}

void ListBox::UserMoveTo(int i, int shift) {
  if (!Enabled() || i < 0 || i >= ListCount()) return;
  const bool caretOnly =
      multiSelect_ == vbMultiSelectSimple ||
      (multiSelect_ == vbMultiSelectExtended && (shift & vbCtrlMask) && !(shift & vbShiftMask));
  if (!caretOnly) {
    UserSelect(i, shift & vbShiftMask);
    return;
  }
  AsUser([&] {
    list_.SetIndex(i);
    Notify(Prop::Selection);
    Click();
  });
}

void ListBox::UserToggleCaret(int shift) {
  const bool toggles = multiSelect_ == vbMultiSelectSimple ||
                       (multiSelect_ == vbMultiSelectExtended && (shift & vbCtrlMask));
  if (toggles && ListIndex() >= 0) UserSelect(ListIndex(), vbCtrlMask);
}

void ListBox::UserSetTopIndex(int t) {
  if (ListCount() == 0) return;
  AsUser([&] { SetTopIndex(std::clamp(t, 0, ListCount() - 1)); });
}

bool ListBox::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "List"))
    AddItem(value);
  else if (KeyIs(key, "MultiSelect")) {
    int m = Int(value);
    if (m < 0 || m > 2) vb::Raise(vb::kInvalidPropertyValue);
    multiSelect_ = m;
  } else if (KeyIs(key, "Sorted"))
    sorted_ = Bool(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void ListBox::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const ListBox*>(&model)) {
    multiSelect_ = m->multiSelect_;
    sorted_ = m->sorted_;
  }
}

// ---- ComboBox ------------------------------------------------------------------

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

ComboBox::ComboBox(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {
  SetBackColor(vbWindowBackground);
  SetForeColor(vbWindowText);
}

void ComboBox::SetText(std::string t) {
  if (style_ == vbComboDropdownList) {
    for (int i = 0; i < ListCount(); ++i) {
      if (EqualsNoCase(list_.Item(i), t)) {
        SetListIndex(i);
        return;
      }
    }
    if (t.empty() && list_.Index() == -1) return;
    vb::Raise(383);
  }
  if (t == text_) return;
  text_ = std::move(t);
  selStart_ = selLength_ = 0;
  Notify(Prop::Text);
  Change();
}

void ComboBox::SetList(int i, std::string text) {
  CheckEntry(list_, i);
  list_.SetItem(i, std::move(text));
  Notify(Prop::List);
}

// Selecting an entry puts it into Text without a Change event (as Windows
// does when the selection changes), then raises Click.
void ComboBox::SetListIndex(int i) {
  if (i < -1 || i >= ListCount()) vb::Raise(vb::kInvalidPropertyValue);
  list_.SetIndex(i);
  text_ = i >= 0 ? list_.Item(i) : std::string();
  Notify(Prop::Selection);
  Notify(Prop::Text);
  Click();
}

void ComboBox::AddItem(const std::string& item, int index) {
  newIndex_ = AddEntry(list_, item, index, sorted_);
  Notify(Prop::List);
}

void ComboBox::RemoveItem(int index) {
  const bool wasSelected = list_.Index() == index;
  RemoveEntry(list_, index);
  if (wasSelected && style_ == vbComboDropdownList) text_.clear();
  Notify(Prop::List);
}

void ComboBox::Clear() {
  list_.Clear();
  newIndex_ = -1;
  text_.clear();
  Notify(Prop::List);
  Notify(Prop::Text);
}

void ComboBox::SetSelStart(int v) {
  if (v < 0) vb::Raise(vb::kInvalidPropertyValue);
  selStart_ = std::min<int>(v, static_cast<int>(text_.size()));
  selLength_ = 0;
  Notify(Prop::Selection);
}

void ComboBox::SetSelLength(int v) {
  if (v < 0) vb::Raise(vb::kInvalidPropertyValue);
  selLength_ = std::min<int>(v, static_cast<int>(text_.size()) - selStart_);
  Notify(Prop::Selection);
}

void ComboBox::UserSetText(const std::string& t) {
  if (!Enabled() || locked_ || style_ == vbComboDropdownList) return;
  AsUser([&] {
    list_.SetIndex(-1);
    if (t == text_) return;
    text_ = t;
    Notify(Prop::Text);
    Change();
  });
}

void ComboBox::UserSelect(int i) {
  if (!Enabled() || i < 0 || i >= ListCount()) return;
  AsUser([&] { SetListIndex(i); });
}

void ComboBox::UserDropDown() {
  if (!Enabled()) return;
  AsUser([this] { DropDown(); });
}

bool ComboBox::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "List"))
    AddItem(value);
  else if (KeyIs(key, "Text"))
    text_ = value;
  else if (KeyIs(key, "Style")) {
    int s = Int(value);
    if (s < 0 || s > 2) vb::Raise(vb::kInvalidPropertyValue);
    style_ = s;
  } else if (KeyIs(key, "Sorted"))
    sorted_ = Bool(value);
  else if (KeyIs(key, "Locked"))
    locked_ = Bool(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void ComboBox::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const ComboBox*>(&model)) {
    style_ = m->style_;
    sorted_ = m->sorted_;
    locked_ = m->locked_;
    text_ = m->text_;
  }
}

}  // namespace forms
