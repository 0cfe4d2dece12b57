#pragma once
// Text between Velmora's UTF-8 and the ANSI code page in which Windows programs exchange
// CF_TEXT and DDE names.  ToAnsi turns characters the code page lacks into '?', as Windows
// does; ToAnsiExact refuses them, since a best-fit letter ("L" for "Ł") names another file.

// clang-format off
#include <windows.h>
// clang-format on

#include <cstdlib>
#include <string>

namespace winbridge {

inline bool IsAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
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

// UTF-16 of a UTF-8 text; false when the text is no UTF-8.
inline bool Widen(const std::string& utf8, std::wstring* wide) {
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (n <= 0) return false;
  wide->assign(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide->data(), n);
  return true;
}

inline std::string Narrow(const std::wstring& wide, UINT to, DWORD flags, BOOL* usedDefault) {
  const int n = static_cast<int>(wide.size());
  BOOL* used = to == CP_UTF8 ? nullptr : usedDefault;
  const int m = WideCharToMultiByte(to, flags, wide.data(), n, nullptr, 0, nullptr, used);
  std::string out(static_cast<std::size_t>(m > 0 ? m : 0), '\0');
  WideCharToMultiByte(to, flags, wide.data(), n, out.data(), m, nullptr, used);
  return out;
}

// True when the ANSI code page holds `wide` exactly: no default character, no best fit, and
// the bytes read back as the same text.
inline bool HoldsExactly(const std::wstring& wide, std::string* ansi) {
  const UINT acp = AnsiCodePage();
  BOOL usedDefault = FALSE;
  *ansi = Narrow(wide, acp, acp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (usedDefault) return false;
  const int size = static_cast<int>(ansi->size());
  std::wstring back(static_cast<std::size_t>(size), L'\0');
  back.resize(
      static_cast<std::size_t>(MultiByteToWideChar(acp, 0, ansi->data(), size, back.data(), size)));
  return back == wide;
}

// The ANSI bytes of a UTF-8 text, exactly; false when the code page lacks some of its
// characters, which then go to *missing (UTF-8, each once).  A text that is no UTF-8 is ANSI
// already (read from a file a Windows program wrote) and goes as it is.
inline bool ToAnsiExact(const std::string& utf8, std::string* ansi, std::string* missing) {
  std::wstring wide;
  if (IsAscii(utf8) || !Widen(utf8, &wide)) {
    *ansi = utf8;
    return true;
  }
  if (HoldsExactly(wide, ansi)) return true;
  missing->clear();
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size();
    const std::wstring one = wide.substr(i, pair ? 2 : 1);
    std::string bytes;
    const std::string letter = Narrow(one, CP_UTF8, 0, nullptr);
    if (!HoldsExactly(one, &bytes) && missing->find(letter) == std::string::npos) {
      *missing += letter;
    }
    if (pair) ++i;
  }
  return false;
}

// A text that is not valid in `from` (only UTF-8 can be invalid) is returned as it is.
inline std::string Recode(const std::string& text, UINT from, UINT to) {
  if (IsAscii(text)) return text;
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

// Velmora's texts are UTF-8, except bytes that came from elsewhere in the ANSI code page: those
// are ANSI already.
inline std::string ToAnsi(const std::string& utf8) {
  return Recode(utf8, CP_UTF8, AnsiCodePage());
}
inline std::string FromAnsi(const std::string& ansi) {
  return Recode(ansi, AnsiCodePage(), CP_UTF8);
}

}  // namespace winbridge
