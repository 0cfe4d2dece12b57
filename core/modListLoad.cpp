#include "core/modListLoad.h"

#include <cstddef>

namespace core {

std::string NumberedKey(const std::string& prefix, int n) {
  return vb::Trim(prefix + std::to_string(n));
}

namespace {

// The number n when key is exactly NumberedKey(prefix, n) (the case of letters aside),
// else 0.
long NumberOfKey(const std::string& key, const std::string& prefix) {
  const std::string head = vb::Trim(prefix);
  if (key.size() <= head.size() || !vb::EqualsNoCase(key.substr(0, head.size()), head)) return 0;
  const std::string digits = key.substr(head.size());
  if (digits.size() > 9 || digits[0] == '0') return 0;
  long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

void RemoveNumberedKeysAbove(const std::string& file, const std::string& section,
                             const std::string& prefix, int count) {
  for (const std::string& key : IniKeyNames(file, section)) {
    if (NumberOfKey(key, prefix) > count) DeleteIniKey(file, section, key);
  }
}

}  // namespace core
