#pragma once
// Numbered key lists in an INI file: keys made of a prefix and 1, 2, ... in one section (the
// general-view captions "GENERALVIEW1"..., the favourite folders "1", "2"...).  A loader that
// reads until the first empty key ends there.

#include <string>

#include "core/lstControl.h"
#include "core/modOpSys.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"

namespace core {

// Key name of entry number n (1-based).
std::string NumberedKey(const std::string& prefix, int n);

// Removes the keys prefix + n for every n > count from the section, so that a list saved
// shorter than before does not get its old tail back on the next load.  Other keys stay.
void RemoveNumberedKeysAbove(const std::string& file, const std::string& section,
                             const std::string& prefix, int count);

// Appends entries to the list (which is not emptied first): count >= 0 reads keys 1 to count,
// empty values included; a negative count reads until the first empty or missing value.
// Values are trimmed.
template <ListLike L>
void LoadListFromIni(L& list, const std::string& file, const std::string& section,
                     const std::string& prefix, int count) {
  if (count >= 0) {
    for (int i = 1; i <= count; ++i) {
      list.AddItem(vb::Trim(ReadIni(file, section, NumberedKey(prefix, i), "")));
    }
    return;
  }
  for (int i = 1;; ++i) {
    const std::string value = vb::Trim(ReadIni(file, section, NumberedKey(prefix, i), ""));
    if (value.empty()) return;
    list.AddItem(value);
  }
}

// Writes every entry to keys 1 .. ListCount (each entry is selected first, which raises the
// list's Click), then removes the numbered keys beyond the list.  count is not used.
template <ListLike L>
void SaveListToIni(L& list, const std::string& file, const std::string& section,
                   const std::string& prefix, int count) {
  static_cast<void>(count);
  int written = 0;
  for (int i = 0; i < list.ListCount(); ++i) {
    list.SetListIndex(i);
    WriteIni(file, section, NumberedKey(prefix, i + 1), list.List(i));
    written = i + 1;
  }
  RemoveNumberedKeysAbove(file, section, prefix, written);
}

}  // namespace core
