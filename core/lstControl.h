#pragma once
// Helpers for list-like controls (forms::ListBox, forms::ComboBox and the file lists): anything
// with ListCount(), List(i), AddItem, RemoveItem, Clear and SetListIndex.  Entry texts are
// compared trimmed.

#include <concepts>
#include <cstdint>
#include <string>

#include "core/ErrTrap.h"
#include "platform/vbrt/Strings.h"

namespace core {

template <class L>
concept ListLike = requires(L& list, const std::string& text, int i) {
  { list.ListCount() } -> std::convertible_to<int>;
  { list.List(i) } -> std::convertible_to<std::string>;
  list.AddItem(text);
  list.RemoveItem(i);
  list.Clear();
  list.SetListIndex(i);
};

// Removes the first entry whose trimmed text equals the trimmed text (case-sensitive).
template <ListLike L>
void lstRemoveItem(L& list, const std::string& text) {
  const std::string wanted = vb::Trim(text);
  for (int i = 0; i < list.ListCount(); ++i) {
    if (vb::Trim(list.List(i)) == wanted) {
      list.RemoveItem(i);
      return;
    }
  }
}

// Index of the first entry equal to the text (both trimmed; case-sensitive when matchCase),
// -1 when none.
template <ListLike L>
std::int16_t lstFindIndex(L& list, const std::string& text, bool matchCase) {
  const std::string wanted = vb::Trim(text);
  for (int i = 0; i < list.ListCount(); ++i) {
    const std::string entry = vb::Trim(list.List(i));
    if (matchCase ? entry == wanted : vb::EqualsNoCase(entry, wanted)) {
      return static_cast<std::int16_t>(i);
    }
  }
  return -1;
}

// An entry equals the text, both trimmed and compared without regard to case.
template <ListLike L>
bool lstContains(L& list, const std::string& text) {
  return lstFindIndex(list, text, false) >= 0;
}

// Appends the text unchanged unless it is blank or already in the list.
template <ListLike L>
void lstAddUnique(L& list, const std::string& text) {
  if (vb::Trim(text).empty() || lstContains(list, text)) return;
  list.AddItem(text);
}

// Makes the target a copy of the source's entries.  The source's selection is left alone:
// selecting its first entry would raise its Click, and the caption and address boxes answer a
// Click by sending their texts to the report, so filling the lists would overwrite them.
template <ListLike S, ListLike T>
void lstCopy(S& source, T& target) {
  Trap trap("lstCopy");
  if (!trap.Step([&] { target.Clear(); })) return;
  for (int i = 0; i < source.ListCount(); ++i) {
    if (!trap.Step([&] { target.AddItem(source.List(i)); })) return;
  }
}

// Number of selected entries.
template <class L>
std::int16_t lstCountSelected(L& list) {
  Trap trap("lstCountSelected");
  std::int16_t count = 0;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (!trap.Step([&] {
          if (list.Selected(i)) ++count;
        })) {
      break;
    }
  }
  return count;
}

}  // namespace core
