#pragma once
// The size the imaging control's LoadImage decodes a file to, for pictures decoded ahead of the
// load (Gear::PrepareLoad).

#include "platform/forms/Gear.h"

namespace forms {

// The reduced load's size (ReducedLoadSize of AutoResizeX x AutoResizeY) when the control
// reduces while loading, else -1 x 0: the full size.
void GearLoadLimits(const Gear& gear, int& maxW, int& maxH);

}  // namespace forms
