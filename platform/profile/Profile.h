#pragma once
// Reading and writing INI files with the behaviour of the Windows profile
// functions (GetPrivateProfileStringA / WritePrivateProfileStringA).  Paths are
// host paths; mapping Windows paths onto the host is the caller's business.
// Bytes pass through unchanged.  A file that starts with a UTF-16 byte-order
// mark is read as Unicode and written back as Unicode (Utf16.h).

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// Copies the value of `key` in `section` (or, when absent, `defaultValue` without
// its trailing spaces; nullptr means "") into buffer[0..size), NUL-terminated and
// cut to size-1 bytes.  Returns the number of bytes copied, so a value that fills
// the buffer returns size-1.  key == nullopt lists the section's key names and
// section == nullopt lists the section names, each NUL-terminated with one more NUL
// at the end; a list that does not fit is cut and returns size-2.
std::size_t GetPrivateProfileString(std::optional<std::string_view> section,
                                    std::optional<std::string_view> key, const char* defaultValue,
                                    char* buffer, std::size_t size,
                                    const std::filesystem::path& file);

// Sets key=value in section, creating the file and section as needed.
// value == nullopt deletes the key; key == nullopt deletes the section.  Every
// other line of the file keeps its bytes.  The file is replaced atomically; on
// any failure (read-only file, missing folder, I/O error) the old file is left
// as it was and the result is false.
bool WritePrivateProfileString(std::optional<std::string_view> section,
                               std::optional<std::string_view> key,
                               std::optional<std::string_view> value,
                               const std::filesystem::path& file);

// The whole value (or the default), as a caller growing its buffer by 256 bytes
// while the result fills it would get.
std::string ReadValue(const std::filesystem::path& file, std::string_view section,
                      std::string_view key, std::string_view defaultValue = {});

namespace testing {
// Called after the temporary file is written and synced, before it replaces the
// real file; returning false makes the write fail there.  Pass {} to remove.
void SetBeforeReplaceHook(std::function<bool()> hook);
}  // namespace testing

}  // namespace profile
