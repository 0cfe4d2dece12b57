#include "platform/forms/Design.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "platform/vbrt/VbError.h"

namespace forms::design {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

[[noreturn]] void Bad() {
  vb::Raise(vb::kInvalidPropertyValue);
}

}  // namespace

bool KeyIs(const std::string& key, const char* name) {
  return Upper(key) == Upper(name);
}

std::optional<int> IndexedKey(const std::string& key, const char* base) {
  std::string b = Upper(base);
  std::string k = Upper(key);
  if (k.size() < b.size() + 3 || k.compare(0, b.size(), b) != 0) return std::nullopt;
  if (k[b.size()] != '(' || k.back() != ')') return std::nullopt;
  std::string inner = k.substr(b.size() + 1, k.size() - b.size() - 2);
  int n = 0;
  auto [p, ec] = std::from_chars(inner.data(), inner.data() + inner.size(), n);
  if (ec != std::errc() || p != inner.data() + inner.size()) Bad();
  return n;
}

int Int(const std::string& v) {
  if (v.size() > 2 && v[0] == '&' && (v[1] == 'H' || v[1] == 'h'))
    return static_cast<int>(Color(v));
  int n = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || p != v.data() + v.size()) Bad();
  return n;
}

double Double(const std::string& v) {
  if (v.empty()) Bad();
  char* end = nullptr;
  double d = std::strtod(v.c_str(), &end);
  if (end != v.c_str() + v.size()) Bad();
  return d;
}

bool Bool(const std::string& v) {
  std::string u = Upper(v);
  if (u == "TRUE" || u == "-1" || u == "1") return true;
  if (u == "FALSE" || u == "0") return false;
  Bad();
}

OleColor Color(const std::string& v) {
  if (v.size() > 2 && v[0] == '&' && (v[1] == 'H' || v[1] == 'h')) {
    std::string hex = v.substr(2);
    if (!hex.empty() && hex.back() == '&') hex.pop_back();
    if (hex.empty() || hex.size() > 8) Bad();
    unsigned long n = 0;
    auto [p, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), n, 16);
    if (ec != std::errc() || p != hex.data() + hex.size()) Bad();
    return static_cast<OleColor>(n);
  }
  long long n = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || p != v.data() + v.size() || n < 0 || n > 0xFFFFFFFFLL) Bad();
  return static_cast<OleColor>(n);
}

StdPicture Picture(const std::string& v) {
  if (v.empty()) return {};
  return LoadResourcePicture(v);
}

bool FontProperty(Font& f, const std::string& key, const std::string& value) {
  if (KeyIs(key, "FontName"))
    f.Name = value;
  else if (KeyIs(key, "FontSize"))
    f.Size = Double(value);
  else if (KeyIs(key, "FontBold"))
    f.Bold = Bool(value);
  else if (KeyIs(key, "FontItalic"))
    f.Italic = Bool(value);
  else if (KeyIs(key, "FontUnderline"))
    f.Underline = Bool(value);
  else if (KeyIs(key, "FontStrikethru"))
    f.Strikethrough = Bool(value);
  else
    return false;
  return true;
}

}  // namespace forms::design
