#include <gtest/gtest.h>

#include <cmath>

#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Format.h"
#include "platform/vbrt/Val.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"

namespace {

TEST(Val, DecimalTextStopsAtFirstNonNumberAndSkipsBlanksEverywhere) {
  EXPECT_EQ(vb::Val("85abc"), 85);
  EXPECT_EQ(vb::Val(" 1 2"), 12);
  EXPECT_EQ(vb::Val(" 2 45 7"), 2457);
  EXPECT_EQ(vb::Val("    1615 198th Street N.E."), 1615198);
  EXPECT_EQ(vb::Val("\t1\n2"), 12);
  EXPECT_EQ(vb::Val("24 and 57"), 24);
  EXPECT_EQ(vb::Val(""), 0);
  EXPECT_EQ(vb::Val("$5"), 0);
  EXPECT_EQ(vb::Val("abc"), 0);
  EXPECT_EQ(vb::Val("1,234.5"), 1);
  EXPECT_EQ(vb::Val("3.75"), 3.75);
  EXPECT_EQ(vb::Val(".5"), 0.5);
  EXPECT_EQ(vb::Val("-12"), -12);
  EXPECT_EQ(vb::Val("+12"), 12);
  EXPECT_EQ(vb::Val("--1"), 0);
  EXPECT_EQ(vb::Val("1\r2"), 1);
}

TEST(Val, ExponentsAndTypeSuffixes) {
  EXPECT_EQ(vb::Val("1.5E2"), 150);
  EXPECT_DOUBLE_EQ(vb::Val("1e-2"), 0.01);
  EXPECT_EQ(vb::Val("2D3"), 2000);
  EXPECT_EQ(vb::Val("7E"), 7);
  EXPECT_EQ(vb::Val("7E+x"), 7);
  EXPECT_EQ(vb::Val("1e-400"), 0);
  EXPECT_EQ(vb::Val("50%"), 50);
  EXPECT_EQ(vb::Val("50.5#"), 50.5);
  EXPECT_EQ(ErrorOf([] { vb::Val("50.5%"); }), vb::kTypeMismatch);
  EXPECT_EQ(ErrorOf([] { vb::Val("40000%"); }), vb::kOverflow);
  EXPECT_EQ(ErrorOf([] { vb::Val("1E400"); }), vb::kOverflow);
}

TEST(Val, HexAndOctalUseSixteenThenThirtyTwoBitSignedValues) {
  EXPECT_EQ(vb::Val("&H1F"), 31);
  EXPECT_EQ(vb::Val("&hff"), 255);
  EXPECT_EQ(vb::Val("&HFFFF"), -1);
  EXPECT_EQ(vb::Val("&H8000"), -32768);
  EXPECT_EQ(vb::Val("&H10000"), 65536);
  EXPECT_EQ(vb::Val("&HFFFFFFFF"), -1);
  EXPECT_EQ(vb::Val("&HFFFF&"), 65535);
  EXPECT_EQ(vb::Val("&H1G"), 1);
  EXPECT_EQ(vb::Val("&O17"), 15);
  EXPECT_EQ(vb::Val("&O177777"), -1);
  EXPECT_EQ(vb::Val("&H"), 0);
  EXPECT_EQ(ErrorOf([] { vb::Val("&H100000000"); }), vb::kOverflow);
}

TEST(Convert, IntegerConversionsRoundHalfToEvenAndOverflow) {
  EXPECT_EQ(vb::CInt(2.5), 2);
  EXPECT_EQ(vb::CInt(3.5), 4);
  EXPECT_EQ(vb::CInt(0.5), 0);
  EXPECT_EQ(vb::CInt(1.5), 2);
  EXPECT_EQ(vb::CInt(-1.5), -2);
  EXPECT_EQ(vb::CInt(-2.5), -2);
  EXPECT_EQ(vb::CInt(2.6), 3);
  EXPECT_EQ(vb::CInt(-32768.4), -32768);
  EXPECT_EQ(ErrorOf([] { vb::CInt(40000); }), vb::kOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CInt(32767.5); }), vb::kOverflow);
  EXPECT_EQ(vb::CLng(2147483647.4), 2147483647);
  EXPECT_EQ(vb::CLng(-2147483648.5), -2147483648);
  EXPECT_EQ(vb::CLng(4.5), 4);
  EXPECT_EQ(ErrorOf([] { vb::CLng(2147483647.5); }), vb::kOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CLng(-3e9); }), vb::kOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CLng(std::nan("")); }), vb::kOverflow);
  EXPECT_EQ(vb::CSng(1.5), 1.5f);
  EXPECT_EQ(ErrorOf([] { vb::CSng(3.5e38); }), vb::kOverflow);
  EXPECT_EQ(vb::Int(-2.7), -3);
  EXPECT_EQ(vb::Int(2.7), 2);
}

TEST(Convert, StrHasRoomForSignAndCStrDoesNot) {
  EXPECT_EQ(vb::CStr(512.0), "512");
  EXPECT_EQ(vb::CStr(-512.0), "-512");
  EXPECT_EQ(vb::CStr(0.57), "0.57");
  EXPECT_EQ(vb::CStr(-0.5), "-0.5");
  EXPECT_EQ(vb::CStr(1e16), "1E+16");
  EXPECT_EQ(vb::CStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(vb::CStr(1.0f / 3.0f), "0.3333333");
  EXPECT_EQ(vb::CStr(42), "42");
  EXPECT_EQ(vb::Str(42), " 42");
}

TEST(Format, DigitPlaceholdersPointAndGrouping) {
  const char* p = "##,###,###,###.##";
  EXPECT_EQ(vb::Format(512, p), "512.");
  EXPECT_EQ(vb::Format(0.57, p), ".57");
  EXPECT_EQ(vb::Format(1234.5, p), "1,234.5");
  EXPECT_EQ(vb::Format(1234567.891, p), "1,234,567.89");
  EXPECT_EQ(vb::Format(-512, p), "-512.");
  EXPECT_EQ(vb::Format(0, p), ".");
  EXPECT_EQ(vb::Format(2.345, p), "2.35");
  EXPECT_EQ(vb::Format(0.125, p), ".13");
  EXPECT_EQ(vb::Format(999.999, p), "1,000.");
  EXPECT_EQ(vb::Format(3.14159, "0.00"), "3.14");
  EXPECT_EQ(vb::Format(0.5, "0.00"), "0.50");
  EXPECT_EQ(vb::Format(7, "000"), "007");
  EXPECT_EQ(vb::Format(1234567, "#,##0"), "1,234,567");
  EXPECT_EQ(vb::Format(0.256, "0.0%"), "25.6%");
  EXPECT_EQ(vb::Format(5, "$#,##0.00"), "$5.00");
}

}  // namespace
