#include "platform/qtui/DragBridge.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/qtui/ControlView.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Pixmaps.h"
#include "platform/qtui/QtApp.h"

namespace qtui {

const char* const kDragMimeType = "application/x-velmora-control-drag";

QMimeData* NewDragMimeData() {
  auto* mime = new QMimeData;
  mime->setData(kDragMimeType, QByteArray("control"));
  return mime;
}

namespace {

// Without a DragIcon VB drags the control's outline.
QPixmap OutlineOf(QWidget* w) {
  QPixmap pix(w->size().boundedTo(QSize(256, 256)));
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setPen(QPen(Qt::black, 1, Qt::DotLine));
  p.drawRect(pix.rect().adjusted(0, 0, -1, -1));
  return pix;
}

void StartSystemDrag(forms::Control* source) {
  forms::DragDriver& driver = forms::DragDriver::Instance();
  if (!driver.Active() || driver.Source() != source) return;
  FormWindow* window = FormWindow::For(source->Parent(), false);
  QWidget* widget = window ? window->WidgetOf(source) : nullptr;
  if (!widget || !widget->isVisible()) return;  // the model's drag goes on without the mouse
  auto* drag = new QDrag(widget);
  drag->setMimeData(NewDragMimeData());
  QPixmap icon = ToPixmap(source->DragIcon());
  if (icon.isNull()) icon = OutlineOf(widget);
  drag->setPixmap(icon);
  drag->setHotSpot(QPoint(icon.width() / 2, icon.height() / 2));
  drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  // Released where nothing took the drop, or Escape: the drag ends without a drop.
  if (driver.Active() && driver.Source() == source) Dispatch([&] { driver.Cancel(); });
}

float Twips(int pixels) {
  return PixelsToTwipsF(pixels);
}

// A drag begun by a press waits until the pointer has moved past the
// platform's drag distance with the button still down, as Windows does with a
// manual drag: a press released in place ends the drag, so the clicks of a
// double-click reach the control and it gets its DblClick.
class PendingDrag : public QObject {
 public:
  static PendingDrag& Instance() {
    static auto* pending = [] {
      auto* p = new PendingDrag;
      qApp->installEventFilter(p);
      return p;
    }();
    return *pending;
  }
  void Arm(forms::Control* source) {
    source_ = source;
    origin_ = QCursor::pos();
  }
  void Disarm(const forms::Control* source) {
    if (source_ == source) source_ = nullptr;
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (!source_) return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) return false;
    const auto* me = static_cast<QMouseEvent*>(event);
    forms::Control* src = source_;
    if (type == QEvent::MouseMove) {
      if (!(me->buttons() & Qt::LeftButton)) return false;
      const QPoint moved = me->globalPosition().toPoint() - origin_;
      if (moved.manhattanLength() < QApplication::startDragDistance()) return false;
      source_ = nullptr;
      QTimer::singleShot(0, [src] { StartSystemDrag(src); });
    } else if (me->button() == Qt::LeftButton) {
      source_ = nullptr;
      forms::DragDriver& driver = forms::DragDriver::Instance();
      if (driver.Active() && driver.Source() == src) Dispatch([&] { driver.Cancel(); });
    }
    return false;
  }

 private:
  forms::Control* source_ = nullptr;
  QPoint origin_;
};

}  // namespace

void InstallDragBridge() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  forms::DragDriver::Instance().Subscribe(
      [](forms::DragDriver::Phase phase, forms::Control& source) {
        if (phase == forms::DragDriver::Phase::Ended) {
          PendingDrag::Instance().Disarm(&source);
          return;
        }
        // A drag begun from a mouse press follows the real pointer; a drag begun
        // by code with no button down is driven by its caller.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;
        PendingDrag::Instance().Arm(&source);
      });
}

bool HandleDragEvent(forms::Control* target, forms::Form* form, QWidget* area, QWidget* w,
                     QEvent* event) {
  forms::DragDriver& driver = forms::DragDriver::Instance();
  const QEvent::Type type = event->type();
  if (type == QEvent::DragLeave) {
    if (driver.Active()) {
      if (target && driver.Over() == target) Dispatch([&] { driver.MoveOver(nullptr, 0, 0); });
      if (!target) Dispatch([&] { driver.MoveOverForm(nullptr, 0, 0); });
    }
    return target != nullptr;
  }
  auto* drop = static_cast<QDropEvent*>(event);
  if (!drop->mimeData() || !drop->mimeData()->hasFormat(kDragMimeType) || !driver.Active()) {
    return false;
  }
  const QPoint pos = MapInto(area, w, drop->position().toPoint());
  const float x = Twips(pos.x());
  const float y = Twips(pos.y());
  if (type == QEvent::DragEnter || type == QEvent::DragMove) {
    if (target) {
      Dispatch([&] { driver.MoveOver(target, x, y); });
    } else {
      Dispatch([&] { driver.MoveOverForm(form, x, y); });
    }
    drop->acceptProposedAction();
    return true;
  }
  if (type == QEvent::Drop) {
    drop->acceptProposedAction();
    Dispatch([&] { driver.Drop(x, y); });
    return true;
  }
  return false;
}

}  // namespace qtui
