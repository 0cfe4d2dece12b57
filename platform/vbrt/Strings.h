#pragma once
// VB string functions over UTF-8 text.  Positions and lengths count characters
// (code points); a byte that is not part of valid UTF-8 counts as one character
// and is passed through unchanged.

#include <string>
#include <string_view>
#include <vector>

namespace vb {

std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);

std::string UCase(std::string_view s);
std::string LCase(std::string_view s);

// Upper / lower case of one code point (ASCII, Latin-1 supplement, Latin Extended-A).
char32_t UpperCodePoint(char32_t c);
char32_t LowerCodePoint(char32_t c);

// Decodes one UTF-8 sequence at s[pos].  Returns its length in bytes (1..4) and
// stores the code point; returns 0 when the bytes there are not valid UTF-8.
std::size_t DecodeUtf8(std::string_view s, std::size_t pos, char32_t& cp);
void AppendUtf8(std::string& out, char32_t cp);

// Number of characters.
long Len(std::string_view s);

// 1-based position of `find` in `s` from character `start`, 0 when absent.
// start < 1 raises 5; find "" gives start (0 when start is past the end + 1).
long InStr(long start, std::string_view s, std::string_view find);
long InStr(std::string_view s, std::string_view find);

std::string Mid(std::string_view s, long start);
std::string Mid(std::string_view s, long start, long length);
std::string Left(std::string_view s, long length);
std::string Right(std::string_view s, long length);

// Every occurrence of `find` replaced, left to right, without rescanning.
std::string Replace(std::string_view s, std::string_view find, std::string_view with);

// Pieces between delimiters; "" gives one empty piece, an empty delimiter gives
// the whole text as one piece.
std::vector<std::string> Split(std::string_view s, std::string_view delimiter);

// Case-insensitive equality with the same letter table as UCase.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace vb
