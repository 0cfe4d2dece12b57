#pragma once
// View factories by group of control kinds (internal to the renderer).

#include <memory>

#include "platform/qtui/ControlView.h"

namespace qtui {

std::unique_ptr<ControlView> MakeSimpleView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeListView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeTabView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeDateView(forms::Control& c, FormWindow& w);
std::unique_ptr<ControlView> MakeGearView(forms::Control& c, FormWindow& w);

}  // namespace qtui
