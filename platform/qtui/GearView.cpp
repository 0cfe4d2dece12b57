// The imaging control: the displayed picture (stretched or at its size), and
// the rubber-band selection of the picture editor.
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

#include "platform/forms/Gear.h"
#include "platform/imaging/QtImage.h"
#include "platform/qtui/Views.h"

namespace qtui {
namespace {

class GearWidget : public QWidget {
 public:
  GearWidget(forms::Gear& m, QWidget* parent) : QWidget(parent), m_(m) {}
  QImage image;

  // Where the picture is drawn inside the widget.
  QRect PictureRect() const {
    if (image.isNull()) return {};
    if (!m_.DisplayStretch()) return QRect(QPoint(0, 0), image.size());
    if (!m_.DisplayKeepShape()) return rect();
    QRect fitted(QPoint(0, 0), image.size().scaled(size(), Qt::KeepAspectRatio));
    fitted.moveCenter(rect().center());
    return fitted;
  }
  QPoint ToImage(QPoint p) const {
    const QRect r = PictureRect();
    if (r.isEmpty()) return {};
    const int x =
        static_cast<int>(static_cast<long long>(p.x() - r.x()) * image.width() / r.width());
    const int y =
        static_cast<int>(static_cast<long long>(p.y() - r.y()) * image.height() / r.height());
    return {std::clamp(x, 0, image.width()), std::clamp(y, 0, image.height())};
  }
  QPoint FromImage(int x, int y) const {
    const QRect r = PictureRect();
    if (image.isNull()) return {};
    return {r.x() + static_cast<int>(static_cast<long long>(x) * r.width() / image.width()),
            r.y() + static_cast<int>(static_cast<long long>(y) * r.height() / image.height())};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (!image.isNull()) {
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(PictureRect(), image);
    }
    if (m_.SelectionVisible() && !band_) {
      const forms::SelectionRect& s = m_.Selection();
      p.setPen(QPen(Qt::white, 1, Qt::DashLine));
      p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      p.drawRect(
          QRect(FromImage(s.Left, s.Top), FromImage(s.Right, s.Bottom)).adjusted(0, 0, -1, -1));
    }
  }
  // The band starts once the mouse has moved the platform's drag distance: a press that moves
  // less is a click and selects nothing.
  void mousePressEvent(QMouseEvent* e) override {
    if (!m_.RubberBand() || e->button() != Qt::LeftButton || image.isNull()) return;
    origin_ = e->position().toPoint();
    pressed_ = true;
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!pressed_) return;
    const QPoint at = e->position().toPoint();
    if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, this);
    if (!band_->isVisible()) {
      if ((at - origin_).manhattanLength() < QApplication::startDragDistance()) return;
      band_->show();
    }
    const forms::SelectionRect s = Selection(at);
    band_->setGeometry(QRect(FromImage(s.Left, s.Top), FromImage(s.Right, s.Bottom)) & rect());
    onSelect(s, false);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (!pressed_) return;
    pressed_ = false;
    if (!band_ || !band_->isVisible()) return;
    band_->hide();
    onSelect(Selection(e->position().toPoint()), true);
    update();
  }

 public:
  std::function<void(const forms::SelectionRect&, bool done)> onSelect;

 private:
  forms::SelectionRect Selection(QPoint end) const {
    const QPoint a = ToImage(origin_);
    const QPoint b = ToImage(end);
    return m_.DraggedBand(a.x(), a.y(), b.x(), b.y());
  }
  forms::Gear& m_;
  QRubberBand* band_ = nullptr;
  QPoint origin_;
  bool pressed_ = false;
};

bool SamePicture(const imaging::Picture& a, const imaging::Picture& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() && a.Row(0) == b.Row(0);
}

// The on-screen copy of a picture is made once: a view repainted with the picture it already
// shows, and every slot showing the one shared placeholder, take the copy made before.  The
// last small picture converted is kept (holding it keeps its pixels, so an equal address is
// the same picture).
QImage OnScreen(const imaging::Picture& shown) {
  constexpr long long kMostKeptPixels = 1 << 20;
  static imaging::Picture lastPicture;
  static QImage lastImage;
  if (shown.IsNull()) return {};
  if (SamePicture(shown, lastPicture)) return lastImage;
  QImage image = imaging::ToQImage(shown);
  if (static_cast<long long>(shown.Width()) * shown.Height() <= kMostKeptPixels) {
    lastPicture = shown;
    lastImage = image;
  }
  return image;
}

class GearView : public ControlView {
 public:
  GearView(forms::Gear& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    gear_ = new GearWidget(m_, parent);
    gear_->onSelect = [this](const forms::SelectionRect& r, bool done) {
      if (done) {
        User([this, r] { m_.UserSelectionDone(r); });
      } else {
        User([this, r] { m_.UserSetSelection(r); });
      }
    };
    return gear_;
  }
  bool ClickOnRelease() const override { return true; }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Picture && !(SamePicture(m_.DisplayImage(), shown_) && !shown_.IsNull())) {
      shown_ = m_.DisplayImage();
      gear_->image = OnScreen(shown_);
    }
    if (p == Prop::Picture || p == Prop::Selection || p == Prop::Style) gear_->update();
  }

 private:
  forms::Gear& m_;
  GearWidget* gear_ = nullptr;
  imaging::Picture shown_;  // what gear_->image copies
};

}  // namespace

std::unique_ptr<ControlView> MakeGearView(forms::Control& c, FormWindow& w) {
  if (auto* m = dynamic_cast<forms::Gear*>(&c)) return std::make_unique<GearView>(*m, w);
  return nullptr;
}

}  // namespace qtui
