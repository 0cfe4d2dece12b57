#pragma once
// Repaints at a steady pace while the program's code calls DoEvents in a long loop.
//
// A loop that yields per item (the picture search yields for every folder) would otherwise paint
// the window, and lay its lists out again, at every yield in which a caption or a list changed:
// thousands of times a second, each costing as much as the text shown, where a screen shows at
// most one frame in each interval.  While the code asks for it (forms::PacedRepaints) and a
// DoEvents pass runs, a window's repaint request (or a list's delayed layout) that comes sooner
// than one frame after the last one of that window (that list) is put back, so the next pass, or
// the event loop once the code returns, does it with the newest state.  Every other event (keys,
// clicks, timers, closes) is handled at every pass, so Stop and Cancel answer as before.  Without
// the request every pass paints all, so a caption shown before a long step is on screen during
// it.

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

namespace qtui {

class PaintPacer : public QObject {
 public:
  // At most one paint of a window (layout of a list) per this many milliseconds in DoEvents.
  static constexpr qint64 kFrameMs = 25;

  ~PaintPacer() override;

  // Runs one DoEvents pass (all pending events), with repaints paced while enabled.
  void Pass();
  // Pacing on (nests) or off again.
  void Enable(bool on) { enabled_ += on ? 1 : -1; }

  // True inside a pass (not in a loop a handler opened meanwhile) when `target` had its turn
  // less than a frame ago: the caller puts its work back.  Else `target` has its turn now.
  static bool TooSoon(QObject* target);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Pacing() const;
  bool Wait(QObject* target);

  QHash<QObject*, qint64> lastTurn_;  // a window's (list's) last paint (layout), on clock_
  QElapsedTimer clock_;
  int passLevel_ = -1;  // the event loop level of the running pass; -1 when none runs
  int enabled_ = 0;     // the scopes that asked for pacing
};

}  // namespace qtui
