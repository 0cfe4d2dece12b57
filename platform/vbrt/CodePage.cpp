#include "platform/vbrt/CodePage.h"

#include <iconv.h>
#include <atomic>
#include <cerrno>

#include "platform/vbrt/Strings.h"

namespace vb {
namespace {

std::atomic<int> gCodePage{1252};

// The code pages Windows uses as ANSI code pages, by their iconv names.
bool IsAnsiCodePage(int cp) {
  return cp == 874 || cp == 932 || cp == 936 || cp == 949 || cp == 950 ||
         (cp >= 1250 && cp <= 1258);
}

class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(::iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const {
    // iconv_open's failure value is (iconv_t)-1 by its interface.
    return cd_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  }

  // Converts as much as it can; returns false at input it cannot convert, with `in` there.
  bool Run(std::string_view& in, std::string& out) {
    char buffer[4096];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      std::size_t srcLeft = in.size();
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t r = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      const int err = errno;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      in.remove_prefix(in.size() - srcLeft);
      if (r != static_cast<std::size_t>(-1)) continue;
      if (err != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

std::string IconvName(int codePage) {
  return "CP" + std::to_string(IsAnsiCodePage(codePage) ? codePage : 1252);
}

}  // namespace

int AnsiCodePage() {
  return gCodePage.load();
}

void SetAnsiCodePage(int codePage) {
  gCodePage.store(IsAnsiCodePage(codePage) ? codePage : 1252);
}

bool IsValidUtf8(std::string_view bytes) {
  char32_t cp;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t n = DecodeUtf8(bytes, pos, cp);
    if (n == 0) return false;
    pos += n;
  }
  return true;
}

std::string AnsiToUtf8(std::string_view bytes, int codePage) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  Converter conv("UTF-8", IconvName(codePage));
  while (!bytes.empty()) {
    if (conv.ok() && conv.Run(bytes, out)) break;
    AppendUtf8(out, static_cast<unsigned char>(bytes.front()));
    bytes.remove_prefix(1);
  }
  return out;
}

std::optional<std::string> Utf8ToAnsi(std::string_view text, int codePage) {
  if (!IsValidUtf8(text)) return std::nullopt;
  std::string out;
  Converter conv(IconvName(codePage), "UTF-8");
  if (!conv.ok() || !conv.Run(text, out)) return std::nullopt;
  return out;
}

}  // namespace vb
