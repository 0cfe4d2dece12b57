#pragma once
// Dim s As String * N: always N bytes.  Assignment pads with blanks or cuts to N
// (a cut never splits a UTF-8 character: the partial character becomes blanks);
// a never-assigned value is N NUL characters.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vb {

template <std::size_t N>
class FixedString {
 public:
  FixedString() { text_.fill('\0'); }
  FixedString(std::string_view s) { Assign(s); }  // NOLINT: VB converts implicitly

  FixedString& operator=(std::string_view s) {
    Assign(s);
    return *this;
  }

  std::string str() const { return std::string(text_.data(), N); }
  operator std::string() const { return str(); }  // NOLINT
  static constexpr std::size_t size() { return N; }

  bool operator==(const FixedString& other) const { return text_ == other.text_; }

 private:
  void Assign(std::string_view s) {
    std::size_t n = s.size() < N ? s.size() : N;
    if (n < s.size()) n = CharBoundary(s, n);
    for (std::size_t i = 0; i < N; ++i) text_[i] = i < n ? s[i] : ' ';
  }

  // Largest cut <= n that does not fall inside a UTF-8 sequence (s[n] exists).
  static std::size_t CharBoundary(std::string_view s, std::size_t n) {
    std::size_t cut = n;
    while (cut > 0 && n - cut < 3 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    return (static_cast<unsigned char>(s[cut]) & 0xC0) == 0xC0 ? cut : n;
  }

  std::array<char, N> text_;
};

}  // namespace vb
