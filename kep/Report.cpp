#include "kep/Report.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/winfs/WinFs.h"

namespace kep {
namespace {

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Blanks, tabs and stray CRs around a text; a CR kept in a value would end its line when the
// file is rewritten.
std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs::iterator Find(Pairs& pairs, const std::string& key) {
  return std::find_if(pairs.begin(), pairs.end(),
                      [&](const auto& kv) { return SameText(kv.first, key); });
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void ReportLine(Report& r, const std::string& key, const std::string& value, int line) {
  const std::string k = Upper(Trim(key));
  const std::string v = Trim(value);
  if (k == "NAME") {
    r.name = v;
  } else if (k == "USERID") {
    r.userid = v;
  } else if (k == "FORMS") {
    r.forms = v;
  } else if (k == "STORE") {
    r.store = v;
  } else {
    throw std::runtime_error("line " + std::to_string(line) + ": unknown key " + key);
  }
}

}  // namespace

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

std::string PercentEncode(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '%') {
      out += "%25";
    } else if (c == '\r') {
      out += "%0D";
    } else if (c == '\n') {
      out += "%0A";
    } else {
      out += c;
    }
  }
  return out;
}

std::string PercentDecode(const std::string& value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 &&
        HexDigit(value[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
      i += 2;
    } else {
      out += value[i];
    }
  }
  return out;
}

std::optional<std::string> Report::Field(const std::string& item) const {
  for (const auto& [k, v] : fields) {
    if (SameText(k, item)) return v;
  }
  return std::nullopt;
}

void Report::SetField(const std::string& item, const std::string& value) {
  auto it = Find(fields, item);
  if (it == fields.end()) {
    fields.emplace_back(item, value);
  } else {
    it->second = value;
  }
}

std::string Report::ImageList() const {
  std::string out;
  for (const auto& [object, path] : images) out += object + "|" + path + ";";
  return out;
}

void Report::SetImage(const std::string& object, const std::string& winPath) {
  auto it = Find(images, object);
  if (winPath.empty()) {
    if (it != images.end()) images.erase(it);
  } else if (it == images.end()) {
    images.emplace_back(object, winPath);
  } else {
    it->second = winPath;
  }
}

std::filesystem::path Report::StoreFolder() const {
  if (!store.empty()) return winfs::ToHost(store);
  return file.parent_path() / (file.filename().string() + ".images");
}

Report LoadReport(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  Report r;
  r.file = std::filesystem::absolute(file);
  std::string section;
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) {
    // Every CR before the LF goes, for the same reason.
    while (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = Trim(line);
    if (t.empty() || t[0] == '#' || t[0] == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      section = Upper(t.substr(1, t.size() - 2));
      if (section != "REPORT" && section != "FIELDS" && section != "IMAGES") {
        throw std::runtime_error("line " + std::to_string(n) + ": unknown section " + t);
      }
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos || section.empty()) {
      throw std::runtime_error("line " + std::to_string(n) + ": expected key=value in a section");
    }
    const std::string key = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    if (section == "REPORT") {
      ReportLine(r, key, value, n);
    } else if (section == "FIELDS") {
      r.SetField(key, PercentDecode(value));
    } else {
      r.SetImage(key, value);
    }
  }
  if (r.name.empty()) throw std::runtime_error(file.string() + ": no name= in [report]");
  return r;
}

void SaveReport(const Report& r) {
  std::ostringstream out;
  out << "# KEP stand-in report file\n[report]\nname=" << r.name << "\nuserid=" << r.userid
      << "\nforms=" << r.forms << "\n";
  if (!r.store.empty()) out << "store=" << r.store << "\n";
  out << "[fields]\n";
  for (const auto& [k, v] : r.fields) out << k << "=" << PercentEncode(v) << "\n";
  out << "[images]\n";
  for (const auto& [k, v] : r.images) out << k << "=" << v << "\n";

  std::filesystem::path tmp = r.file;
  tmp += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    f << out.str();
    f.flush();
    if (!f) {
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      throw std::runtime_error("cannot write " + tmp.string());
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, r.file, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    throw std::runtime_error("cannot replace " + r.file.string());
  }
}

}  // namespace kep
