#include "platform/qtui/Fonts.h"

#include <fontconfig/fontconfig.h>

#include <QString>
#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace qtui {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Windows UI faces with no metric twin: fontconfig falls back to a much wider
// generic face for them, so a face of about their width is named instead.
std::string UiFallback(const std::string& family) {
  static const char* const kUiFaces[] = {"ms sans serif", "microsoft sans serif", "tahoma",
                                         "segoe ui", "system"};
  const std::string lower = Lower(family);
  for (const char* face : kUiFaces) {
    if (lower == face) return "Liberation Sans";
  }
  return {};
}

std::string FontconfigMatch(const std::string& family) {
  std::string result;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return result;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult status = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &status);
  if (match) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name) {
      result = reinterpret_cast<const char*>(name);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return result;
}

bool IsGenericFallback(const std::string& resolved) {
  const std::string lower = Lower(resolved);
  return lower == "dejavu sans" || lower.empty();
}

}  // namespace

std::string ResolveFamily(const std::string& family) {
  static std::mutex mutex;
  static std::map<std::string, std::string> cache;
  const std::string key = family.empty() ? std::string("MS Sans Serif") : family;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  std::string resolved = FontconfigMatch(key);
  if (IsGenericFallback(resolved)) {
    const std::string ui = UiFallback(key);
    if (!ui.empty()) {
      const std::string uiResolved = FontconfigMatch(ui);
      if (!uiResolved.empty()) resolved = uiResolved;
    }
  }
  if (resolved.empty()) resolved = key;
  cache.emplace(key, resolved);
  return resolved;
}

QFont MakeFont(const FontSpec& spec) {
  QFont font(QString::fromStdString(ResolveFamily(spec.name)));
  font.setPointSizeF(spec.size > 0.5 ? spec.size : 8.25);
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  font.setUnderline(spec.underline);
  font.setStrikeOut(spec.strikeout);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace qtui
