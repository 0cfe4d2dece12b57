#pragma once
// View factories by group of control kinds (internal to the renderer).

#include <QRect>
#include <memory>
#include <utility>
#include <vector>

#include "platform/qtui/ControlView.h"

namespace forms {
class TabControl;
}

namespace qtui {

std::unique_ptr<ControlView> MakeSimpleView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeListView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeTabView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeDateView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeGearView(forms::Control& c, FormWindow& w);

// The visible pages of a tab control in order, each with its tab's rectangle
// in a control widget of this width.
std::vector<std::pair<int, QRect>> TabHeaderRects(const forms::TabControl& m, int width);

}  // namespace qtui
