#include "platform/qtui/PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace qtui {
namespace {

PaintPacer* gRunning = nullptr;  // the pacer whose pass runs

}  // namespace

PaintPacer::~PaintPacer() {
  if (gRunning == this) gRunning = nullptr;
}

void PaintPacer::Pass() {
  if (enabled_ <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  if (!clock_.isValid()) clock_.start();
  if (lastTurn_.size() > 256) lastTurn_.clear();  // windows and lists long gone
  const int outer = passLevel_;
  PaintPacer* const outerPacer = gRunning;
  passLevel_ = QThread::currentThread()->loopLevel();
  gRunning = this;
  if (outer < 0) QCoreApplication::instance()->installEventFilter(this);
  struct Restore {
    PaintPacer& pacer;
    int level;
    PaintPacer* running;
    ~Restore() {
      pacer.passLevel_ = level;
      gRunning = running;
      if (level < 0) QCoreApplication::instance()->removeEventFilter(&pacer);
    }
  } restore{*this, outer, outerPacer};
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A message box opened meanwhile runs a loop of its own and paints as any other loop does.
bool PaintPacer::Pacing() const {
  return passLevel_ >= 0 && QThread::currentThread()->loopLevel() == passLevel_;
}

bool PaintPacer::Wait(QObject* target) {
  if (!Pacing()) return false;
  const qint64 now = clock_.elapsed();
  const auto last = lastTurn_.constFind(target);
  if (last != lastTurn_.constEnd() && now - *last < kFrameMs) return true;
  lastTurn_.insert(target, now);
  return false;
}

bool PaintPacer::TooSoon(QObject* target) {
  return gRunning != nullptr && gRunning->Wait(target);
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::UpdateRequest || !Wait(watched)) return false;
  // Events posted during a pass wait for the next one, so this cannot come round again now.
  QCoreApplication::postEvent(watched, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  return true;
}

}  // namespace qtui
