#pragma once
// INI files in UTF-16: a file that starts with a UTF-16 byte-order mark is read as Unicode and
// written back as Unicode, in the byte order it came in.  Its text is UTF-8 in between.

#include <string>
#include <string_view>

namespace profile::detail {

enum class Utf16Order { kNone, kLittleEndian, kBigEndian };

// The byte order the file's byte-order mark announces; kNone for a file of bytes.
Utf16Order Utf16OrderOf(std::string_view bytes);

// The text after the byte-order mark as UTF-8.  An unpaired surrogate reads as U+FFFD; an odd
// last byte is no character and is dropped.
std::string Utf16ToUtf8(std::string_view bytes, Utf16Order order);

// UTF-8 text as UTF-16 in `order`, byte-order mark first.  A byte that starts no UTF-8
// character is written as U+FFFD.
std::string Utf8ToUtf16(std::string_view text, Utf16Order order);

}  // namespace profile::detail
