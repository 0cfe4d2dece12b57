// Supported report forms: the built-in list, the KEP.INI extension and the substring rule.

#include <gtest/gtest.h>

#include "core/Approved.h"
#include "core/modVelmod.h"
#include "tests/support/CoreFixture.h"

namespace {

using namespace core;

class ApprovedTest : public CoreFixture {
 protected:
  ApprovedTest() { gKepIniPath = "C:\\APPRAISE\\KEP.INI"; }
  void SetExtraForms(const std::string& value) {
    prefix.WriteFile(gKepIniPath, "[FORMS]\nFORMS=" + value + "\n");
  }
};

TEST_F(ApprovedTest, BuiltInListIsMatchedUpperCasedAsSubstring) {
  EXPECT_TRUE(IsApprovedForm("UA5"));
  EXPECT_TRUE(IsApprovedForm("ua5"));
  EXPECT_FALSE(IsApprovedForm("UA5 "));  // the form type is not trimmed
  EXPECT_TRUE(IsApprovedForm("C3"));     // inside AUC3,
  EXPECT_TRUE(IsApprovedForm("R5"));     // inside ER5,
  EXPECT_TRUE(IsApprovedForm(""));       // a lone "," occurs
  EXPECT_TRUE(IsApprovedForm("704SUMRY"));
  EXPECT_TRUE(IsApprovedForm("CDI"));   // last entry of the list
  EXPECT_TRUE(IsApprovedForm("RELS"));  // first entry of the last group
  EXPECT_FALSE(IsApprovedForm("URAR"));
  EXPECT_FALSE(IsApprovedForm("ZZ1"));
}

TEST_F(ApprovedTest, KepIniExtendsTheListAtEveryCall) {
  SetExtraForms("zz1, zz2");
  EXPECT_TRUE(IsApprovedForm("ZZ1"));
  EXPECT_TRUE(IsApprovedForm("zz1"));
  EXPECT_TRUE(IsApprovedForm(" ZZ2"));  // stored with its leading blank
  // "ZZ2," still occurs inside ", ZZ2," (the rule is a plain substring test).
  EXPECT_TRUE(IsApprovedForm("ZZ2"));
  EXPECT_FALSE(IsApprovedForm("ZZ"));

  SetExtraForms("ZZ9");  // no trailing comma: one is appended
  EXPECT_TRUE(IsApprovedForm("ZZ9"));
  EXPECT_FALSE(IsApprovedForm("ZZ1"));

  SetExtraForms("  QQ1,QQ2,  ");
  EXPECT_TRUE(IsApprovedForm("QQ1"));
  EXPECT_TRUE(IsApprovedForm("qq2"));
}

TEST_F(ApprovedTest, MissingKepIniOnlyUsesTheBuiltInList) {
  gKepIniPath = "C:\\NOWHERE\\KEP.INI";
  EXPECT_TRUE(IsApprovedForm("DT3"));
  EXPECT_FALSE(IsApprovedForm("ZZ9"));
}

TEST(TrimUpper, TrimsBlanksAndUpperCases) {
  EXPECT_EQ(TrimUpper("  ua5, zz "), "UA5, ZZ");
  EXPECT_EQ(TrimUpper("   "), "");
}

}  // namespace
