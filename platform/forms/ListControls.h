#pragma once
// List boxes and combo boxes, and the list model the file, folder and drive
// lists share.

#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Control.h"

namespace forms {

enum MultiSelectKind : int {
  vbMultiSelectNone = 0,
  vbMultiSelectSimple = 1,
  vbMultiSelectExtended = 2
};
enum ComboStyleKind : int { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };

// Entries, selection and scrolling of a list.  Raising the events is the
// owner's: these members only keep the state consistent.
class ListModel {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Item(int i) const;  // "" out of range
  void SetItem(int i, std::string text);
  int Insert(int at, std::string text);  // returns the index used
  int InsertSorted(std::string text);    // list-box order (case-insensitive)
  void Remove(int i);
  void Clear();
  // Replaces all entries and clears the selection; the same entries again count as no edit.
  void Assign(std::vector<std::string> items);
  int Index() const { return index_; }
  void SetIndex(int i) { index_ = i; }
  bool Selected(int i) const;
  void SetSelected(int i, bool v);
  int SelCount() const;
  void ClearSelection();
  int Top() const { return top_; }
  void SetTop(int t) { top_ = t; }
  const std::vector<std::string>& Items() const { return items_; }
  // Counts every change of the entries other than one added at the end: a view that showed
  // the first n entries at the same count only has to add the entries after them.
  unsigned long Edits() const { return edits_; }
  // The entries whose marks changed since the last call, as the range [first, last] (first >
  // last when none did): a view repaints only those.
  std::pair<int, int> TakeMarkChanges();

 private:
  void MarksChanged(int first, int last);
  std::vector<std::string> items_;
  std::vector<char> selected_;
  int index_ = -1;
  int top_ = 0;
  unsigned long edits_ = 0;
  int markedFirst_ = 0, markedLast_ = -1;
};

// ListBox.  Events raised from code: setting ListIndex raises Click (also
// when it does not change); setting Selected(i) raises Click; a TopIndex
// change raises Scroll.
class ListBox : public Control {
 public:
  static constexpr const char* kTypeName = "ListBox";
  ListBox(Form& f, std::string name, int index = -1, const char* typeName = kTypeName);

  int ListCount() const { return list_.Count(); }
  unsigned long ListEdits() const { return list_.Edits(); }                  // see ListModel::Edits
  std::pair<int, int> TakeMarkChanges() { return list_.TakeMarkChanges(); }  // see ListModel
  // "" for an index out of range.
  const std::string& List(int i) const { return list_.Item(i); }
  void SetList(int i, std::string text);  // out of range: 381
  int ListIndex() const { return list_.Index(); }
  // -1 clears the selection; < -1 or >= ListCount: 380.  Raises Click.
  void SetListIndex(int i);
  bool Selected(int i) const;
  // Out of range: 381.  Single-select lists move ListIndex; multi-select lists
  // set the entry's mark and move ListIndex to it.  Raises Click.
  void SetSelected(int i, bool v);
  int SelCount() const { return list_.SelCount(); }
  int MultiSelect() const { return multiSelect_; }
  bool Sorted() const { return sorted_; }
  int NewIndex() const { return newIndex_; }
  // Text of the selected entry ("" when none).
  std::string Text() const;

  int TopIndex() const { return list_.Top(); }
  // Clamped to 0 .. ListCount - VisibleRows(); raises Scroll when it changes.
  void SetTopIndex(int t);
  // Entries that fit the control's height (at least 1).
  int VisibleRows() const;
  // Height of one entry in twips for the control's font.
  int ItemHeight() const;

  // AddItem item[, index]: index beyond ListCount or negative: 5.
  void AddItem(const std::string& item, int index = -1);
  void RemoveItem(int index);  // out of range: 5
  void Clear();                // no Click

  Event<> Scroll;
  Event<int /*Index*/> ItemCheck;

  bool CanFocus() const override { return true; }
  // A click on entry i: single-select lists select it; simple multi-select
  // toggles it; extended multi-select selects only it (Ctrl toggles, Shift
  // extends from ListIndex).  Raises Click.
  void UserSelect(int i, int shift = 0);
  // A navigation key (arrows, Home, End, pages) moved to entry i: as a click there with Shift
  // extending; a simple multi-select list, and Ctrl in an extended one, move only the focus
  // (ListIndex).  Raises Click.
  void UserMoveTo(int i, int shift = 0);
  // Space (Ctrl+Space in an extended list) turns the focused entry's mark over.
  void UserToggleCaret(int shift = 0);
  void UserSetTopIndex(int t);
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 protected:
  // Replaces the entries (file lists); the selection and the top entry go
  // back to none and 0, without events.
  void ReplaceItems(std::vector<std::string> items);
  int MaxTop() const;
  ListModel list_;
  int multiSelect_ = vbMultiSelectNone;
  bool sorted_ = false;
  int newIndex_ = -1;
  int anchor_ = -1;  // where a Shift selection extends from
};

// ComboBox: an editable text with a list (Style 0/1) or a drop-down list
// (Style 2).  Setting Text raises Change (style 0/1, when it differs); setting
// ListIndex puts the entry into Text and raises Click.
class ComboBox : public Control {
 public:
  static constexpr const char* kTypeName = "ComboBox";
  ComboBox(Form& f, std::string name, int index = -1);

  int Style() const { return style_; }
  const std::string& Text() const { return text_; }
  // Style 2: a text that is an entry selects it (Click); any other text: 383.
  void SetText(std::string t);
  int ListCount() const { return list_.Count(); }
  unsigned long ListEdits() const { return list_.Edits(); }  // see ListModel::Edits
  const std::string& List(int i) const { return list_.Item(i); }
  void SetList(int i, std::string text);
  int ListIndex() const { return list_.Index(); }
  void SetListIndex(int i);  // < -1 or >= ListCount: 380; raises Click
  bool Sorted() const { return sorted_; }
  int NewIndex() const { return newIndex_; }
  void AddItem(const std::string& item, int index = -1);
  void RemoveItem(int index);
  void Clear();  // empties the list and, for style 0/1, the text
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelStart(int v);
  void SetSelLength(int v);
  int Locked() const { return locked_; }
  const std::vector<std::string>& Items() const { return list_.Items(); }

  Event<> Change;
  Event<> DropDown;

  bool CanFocus() const override { return true; }
  void UserSetText(const std::string& t);  // typed: Change; ListIndex back to -1
  void UserSelect(int i);                  // picked from the list: Text, Click
  void UserDropDown();
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  ListModel list_;
  int style_ = vbComboDropdown;
  std::string text_;
  bool sorted_ = false;
  int newIndex_ = -1;
  int selStart_ = 0, selLength_ = 0;
  bool locked_ = false;
};

}  // namespace forms
