#pragma once
// Layout checks on a window as the Qt renderer draws it: every visible control lies inside its
// container (a tab page below its tabs), the caption of every label, button, check box and
// option button fits its control in the font the renderer uses, and no two visible controls of
// one container (or tab page) overlap unless the layout file says they share the place.
//
// Faults() checks what the window shows now; FaultsOnEveryPage() chooses every page of every tab
// control in turn, as the user clicks the tabs (the window's click handlers run).  A control shares
// its place in the layout file with a comment inside its block:
//   Control ListBox lstHow2
//     # shares place with: fraInfo, lblSize
// (names as the file writes them, "imaComp(1)" for an array element).

#include <string>
#include <vector>

namespace forms {
class Form;
}

namespace layoutcheck {

// The faults found, one readable line each ("frmSetup: cmdOK caption ..."); empty when none.
// The form must have a renderer window (rendered or shown).
std::vector<std::string> Faults(forms::Form& form);
std::vector<std::string> FaultsOnEveryPage(forms::Form& form);

}  // namespace layoutcheck
