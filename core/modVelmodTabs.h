#pragma once
// The photo tabs of the main window for the open report: which pages carry a caption and which
// show "N/A", which address labels are shown, and the exceptions for some report forms.
//
// "N/A" as a tab caption is the mark of a page the report lacks; the drop and tab-click
// handlers test for it.  Captions, Enabled and the label visibility stay as set until the next
// run for another report.  The procedures act on frmMain() (core/frmMainControls.h).

#include <string>

namespace forms {
class TabControl;
}

namespace core {

// Sets up every photo tab for the open report's form list.
void TabDisable(const std::string& sForms);
// The tab rules for every tab but the subject tab.
void TestOtherTabs(const std::string& sForms);
// Available: enables the tab control and captions the tab; otherwise captions it "N/A".
void HandleTabCaption(forms::TabControl& tabCtl, int nTab, const std::string& sCaption,
                      bool bAvailable);
// Shows or hides the address labels (general: caption boxes) of one page.
void HandleNALabel(forms::TabControl& tabCtl, int nTab, bool bAvailable);
// The first entry of the form list is exactly "ERS".
bool IsErsForm(const std::string& sForms);

// "1 - 6" ... "31 - 36" for n = 1 to 6; "" otherwise.
std::string ExtendedPageCaption(int n);
// sPrefix & "1 - 3" ... "34 - 36" for n = 1 to 12; "" otherwise.
std::string PageRangeCaption(const std::string& sPrefix, int n);
// "P1" to "P12".
std::string GeneralPageTag(int n);
// "P" for the general pages' keys ("GENE..."), "" for the others.
std::string TabCaptionPrefix(const std::string& sPageKey);

}  // namespace core
