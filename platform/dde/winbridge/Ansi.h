#pragma once
// Text between Velmora's UTF-8 and the ANSI code page in which Windows programs exchange
// CF_TEXT and DDE names.  Characters the code page lacks become '?', as on Windows.

// clang-format off
#include <windows.h>
// clang-format on

#include <cstdlib>
#include <string>

namespace winbridge {

// A text that is not valid in `from` (only UTF-8 can be invalid) is returned as it is.
inline std::string Recode(const std::string& text, UINT from, UINT to) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii) return text;
  const int size = static_cast<int>(text.size());
  const DWORD strict = from == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
  const int n = MultiByteToWideChar(from, strict, text.data(), size, nullptr, 0);
  if (n <= 0) return text;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(from, 0, text.data(), size, wide.data(), n);
  const int m = WideCharToMultiByte(to, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(m), '\0');
  WideCharToMultiByte(to, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
  return out;
}

// The prefix's ANSI code page as Velmora reads the prefix's files in it (VELMORA_ANSI_CODEPAGE,
// set by the Wine transport), else Wine's own.
inline UINT AnsiCodePage() {
  static const UINT cp = [] {
    char text[16] = {};
    const DWORD n = GetEnvironmentVariableA("VELMORA_ANSI_CODEPAGE", text, sizeof text);
    const UINT given = n > 0 && n < sizeof text ? std::strtoul(text, nullptr, 10) : 0;
    return given && IsValidCodePage(given) ? given : GetACP();
  }();
  return cp;
}

// Velmora's texts are UTF-8, except bytes that came from elsewhere in the ANSI code page: those
// are ANSI already.
inline std::string ToAnsi(const std::string& utf8) {
  return Recode(utf8, CP_UTF8, AnsiCodePage());
}
inline std::string FromAnsi(const std::string& ansi) {
  return Recode(ansi, AnsiCodePage(), CP_UTF8);
}

}  // namespace winbridge
