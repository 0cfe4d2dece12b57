#pragma once
// VB's MsgBox on a QMessageBox: the six button sets, the four icons, the
// default button and VB's Escape rules (Escape gives Cancel where a Cancel
// button exists, OK for an OK-only box, and does nothing for Yes/No and
// Abort/Retry/Ignore, whose close box is disabled too).

#include <QMessageBox>
#include <map>
#include <string>
#include <vector>

namespace qtui {

class VbMessageBox : public QMessageBox {
  Q_OBJECT
 public:
  VbMessageBox(const std::string& prompt, int buttons, const std::string& title,
               QWidget* parent = nullptr);

  // Runs the box modally; returns the VB result (vbOK .. vbNo).
  int Run();
  // The VB result a button of this box stands for (0 for a foreign button).
  int ResultOf(QAbstractButton* button) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddButtons(int set);
  void SetIcon(int iconFlags);
  void SetDefault(int defaultFlags);

  std::map<QAbstractButton*, int> results_;
  std::vector<QAbstractButton*> order_;
  int escapeResult_ = 0;
};

// The button texts and VB results of a button set, in the order shown.
std::vector<std::pair<std::string, int>> MsgBoxButtons(int buttons);

}  // namespace qtui
