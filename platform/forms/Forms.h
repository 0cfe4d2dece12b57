#pragma once
// Everything a window class needs.

#include "platform/forms/App.h"
#include "platform/forms/Control.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DatePicker.h"
#include "platform/forms/Drag.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Picture.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"
