#pragma once
// Real drag and drop for the form runtime's manual drags.  When a control's
// Drag() begins a drag while a mouse button is down, a system drag (QDrag)
// starts from its widget, showing its DragIcon; the drag events that arrive on
// control widgets and form backgrounds drive forms::DragDriver (DragOver with
// States 0, 2, 1 and DragDrop with the Source control).

#include <QMimeData>

class QEvent;
class QWidget;

namespace forms {
class Control;
class Form;
}  // namespace forms

namespace qtui {

// The MIME type that marks a drag of this program.
extern const char* const kDragMimeType;
QMimeData* NewDragMimeData();

// Subscribes to the drag driver (once per process).
void InstallDragBridge();

// A drag event on w, which belongs to the target control (or to the form's
// background when target is null); area is the widget whose top-left is the
// origin of the target's X and Y.  True when the event was handled.
bool HandleDragEvent(forms::Control* target, forms::Form* form, QWidget* area, QWidget* w,
                     QEvent* event);

}  // namespace qtui
