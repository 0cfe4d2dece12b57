#include <gtest/gtest.h>

#include "platform/vbrt/FixedString.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"

namespace {

TEST(Strings, TrimRemovesOnlyAsciiSpaces) {
  EXPECT_EQ(vb::Trim("  a b  "), "a b");
  EXPECT_EQ(vb::LTrim("  a "), "a ");
  EXPECT_EQ(vb::RTrim("  a "), "  a");
  EXPECT_EQ(vb::Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(vb::RTrim(std::string("a\0\0", 3)), std::string("a\0\0", 3));
  EXPECT_EQ(vb::Trim("    "), "");
}

TEST(Strings, CaseMappingCoversLatinLettersAndKeepsInvalidBytes) {
  EXPECT_EQ(vb::UCase("niño"), "NIÑO");
  EXPECT_EQ(vb::LCase("NIÑO"), "niño");
  EXPECT_EQ(vb::UCase("crème brûlée ÿ"), "CRÈME BRÛLÉE Ÿ");
  EXPECT_EQ(vb::UCase("łódź žluťoučký ő"), "ŁÓDŹ ŽLUŤOUČKÝ Ő");
  EXPECT_EQ(vb::LCase("ŁÓDŹ ŽLUŤOUČKÝ Ő"), "łódź žluťoučký ő");
  EXPECT_EQ(vb::UCase("÷ß1"), "÷ß1");
  EXPECT_EQ(vb::LCase("×"), "×");
  std::string invalid = "a\xff\xc3(b\xe2\x82";
  EXPECT_EQ(vb::UCase(invalid), "A\xff\xc3(B\xe2\x82");
  EXPECT_TRUE(vb::EqualsNoCase("C:\\Glenvue\\Señor", "c:\\GLENVUE\\SEÑOR"));
  EXPECT_FALSE(vb::EqualsNoCase("abc", "abd"));
}

TEST(Strings, PositionsCountCharactersFromOne) {
  EXPECT_EQ(vb::InStr(1, "abcabc", "c"), 3);
  EXPECT_EQ(vb::InStr(4, "abcabc", "c"), 6);
  EXPECT_EQ(vb::InStr("abc", "x"), 0);
  EXPECT_EQ(vb::InStr(2, "abc", ""), 2);
  EXPECT_EQ(vb::InStr(9, "abc", "a"), 0);
  EXPECT_EQ(vb::InStr(1, "", "a"), 0);
  EXPECT_EQ(vb::InStr("añb", "b"), 3);
  EXPECT_EQ(vb::Mid("añbc", 2, 2), "ñb");
  EXPECT_EQ(vb::Mid("abc", 2), "bc");
  EXPECT_EQ(vb::Mid("abc", 5), "");
  EXPECT_EQ(vb::Mid("abc", 2, 99), "bc");
  EXPECT_EQ(vb::Left("ñandu", 1), "ñ");
  EXPECT_EQ(vb::Left("abc", 9), "abc");
  EXPECT_EQ(vb::Right("abcñ", 2), "cñ");
  EXPECT_EQ(vb::Right("abc", 0), "");
  EXPECT_EQ(vb::Len("niño"), 4);
}

TEST(Strings, InvalidArgumentsRaiseFive) {
  EXPECT_EQ(ErrorOf([] { vb::InStr(0, "abc", "a"); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Mid("abc", 0); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Mid("abc", 1, -1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Left("abc", -1); }), 5);
  EXPECT_EQ(ErrorOf([] { vb::Right("abc", -1); }), 5);
}

TEST(Strings, ReplaceAndSplit) {
  EXPECT_EQ(vb::Replace("a.b.c", ".", "\\"), "a\\b\\c");
  EXPECT_EQ(vb::Replace("aaa", "aa", "a"), "aa");
  EXPECT_EQ(vb::Replace("abc", "", "x"), "abc");
  EXPECT_EQ(vb::Split("a|b||c", "|"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(vb::Split("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(vb::Split("a, b", ", "), (std::vector<std::string>{"a", "b"}));
}

TEST(FixedString, PadsCutsAndStartsAsNuls) {
  vb::FixedString<5> s;
  EXPECT_EQ(std::string(s), std::string(5, '\0'));
  s = "ab";
  EXPECT_EQ(std::string(s), "ab   ");
  s = "abcdefgh";
  EXPECT_EQ(s.str(), "abcde");
  s = "abcdñ";  // ñ would need bytes 5 and 6
  EXPECT_EQ(s.str(), "abcd ");
  vb::FixedString<3> t("xy");
  EXPECT_EQ(t.str() + "|", "xy |");
}

}  // namespace
