#include "platform/qtui/Keys.h"

#include <QKeyEvent>

namespace qtui {

int VbKeyCode(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F16) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    default:
      return 0;
  }
}

int VbKeyAscii(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.size() != 1) return 0;
  const int c = text.at(0).unicode();
  if (c == 127) return 0;  // Delete gives no KeyPress in VB
  if (c >= 1 && c < 256) return c;
  return 0;
}

QKeySequence ShortcutKeys(const std::string& vb) {
  if (vb.empty()) return {};
  QString text;
  std::size_t i = 0;
  for (; i < vb.size() && (vb[i] == '^' || vb[i] == '+' || vb[i] == '%'); ++i) {
    text += vb[i] == '^' ? "Ctrl+" : vb[i] == '+' ? "Shift+" : "Alt+";
  }
  std::string key = vb.substr(i);
  if (key.size() > 2 && key.front() == '{' && key.back() == '}')
    key = key.substr(1, key.size() - 2);
  if (key == "DEL" || key == "DELETE") key = "Del";
  if (key == "INSERT") key = "Ins";
  if (key == "BKSP") key = "Backspace";
  text += QString::fromStdString(key);
  return QKeySequence(text, QKeySequence::PortableText);
}

}  // namespace qtui
