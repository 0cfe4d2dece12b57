#pragma once
// Fonts named by window layouts, resolved to faces this system has.  Windows
// names ("Arial Narrow", "MS Sans Serif") go through fontconfig's substitution
// rules, which map them to metric-compatible faces where one is installed
// ("Liberation Sans Narrow" for "Arial Narrow").

#include <QFont>
#include <string>

namespace qtui {

struct FontSpec {
  std::string name = "MS Sans Serif";
  double size = 8.25;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
};

// The family fontconfig picks for a requested family (cached).
std::string ResolveFamily(const std::string& family);

// A QFont for the request, sized in points, with the resolved family.
QFont MakeFont(const FontSpec& spec);

}  // namespace qtui
