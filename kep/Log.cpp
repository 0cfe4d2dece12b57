#include "kep/Log.h"

#include <cstdio>

namespace kep {

std::string EscapeForLog(const std::string& text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof(buf), "\\x%02X", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  return out;
}

std::string Quoted(const std::string& text) {
  return "\"" + EscapeForLog(text) + "\"";
}

TransactionLog::TransactionLog(const std::string& file) {
  if (!file.empty()) out_.open(file, std::ios::app | std::ios::binary);
}

void TransactionLog::Write(const std::string& line) {
  if (!out_.is_open()) return;
  out_ << line << '\n';
  out_.flush();
}

}  // namespace kep
