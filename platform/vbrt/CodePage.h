#pragma once
// The ANSI code page: the one in which Windows programs of the prefix (KEP) write their text
// files and exchange CF_TEXT.  Velmora's own texts are UTF-8; texts of those files are
// converted at the edge.  Windows-1252 unless the prefix says otherwise (winfs sets it from
// the Wine prefix's registry).

#include <optional>
#include <string>
#include <string_view>

namespace vb {

int AnsiCodePage();
void SetAnsiCodePage(int codePage);

bool IsValidUtf8(std::string_view bytes);

// Bytes of the code page as UTF-8.  A byte the code page does not define stands for the
// character of the same number, as Windows reads it.
std::string AnsiToUtf8(std::string_view bytes, int codePage);

// UTF-8 text in the code page; nullopt when it holds a character the code page lacks (or is
// not UTF-8).
std::optional<std::string> Utf8ToAnsi(std::string_view text, int codePage);

}  // namespace vb
