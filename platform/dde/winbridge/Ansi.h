#pragma once
// Text between Velmora's UTF-8 and the ANSI code page in which Windows programs exchange
// CF_TEXT and DDE names.  Characters the code page lacks become '?', as on Windows.

// clang-format off
#include <windows.h>
// clang-format on

#include <string>

namespace winbridge {

inline std::string Recode(const std::string& text, UINT from, UINT to) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii) return text;
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(from, 0, text.data(), size, wide.data(), n);
  const int m = WideCharToMultiByte(to, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(m), '\0');
  WideCharToMultiByte(to, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
  return out;
}

inline std::string ToAnsi(const std::string& utf8) {
  return Recode(utf8, CP_UTF8, CP_ACP);
}
inline std::string FromAnsi(const std::string& ansi) {
  return Recode(ansi, CP_ACP, CP_UTF8);
}

}  // namespace winbridge
