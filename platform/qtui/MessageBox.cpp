#include "platform/qtui/MessageBox.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "platform/forms/App.h"

namespace qtui {

using namespace forms;

std::vector<std::pair<std::string, int>> MsgBoxButtons(int buttons) {
  switch (buttons & 7) {
    case vbOKCancel:
      return {{"OK", vbOK}, {"Cancel", vbCancel}};
    case vbAbortRetryIgnore:
      return {{"&Abort", vbAbort}, {"&Retry", vbRetry}, {"&Ignore", vbIgnore}};
    case vbYesNoCancel:
      return {{"&Yes", vbYes}, {"&No", vbNo}, {"Cancel", vbCancel}};
    case vbYesNo:
      return {{"&Yes", vbYes}, {"&No", vbNo}};
    case vbRetryCancel:
      return {{"&Retry", vbRetry}, {"Cancel", vbCancel}};
    default:
      return {{"OK", vbOK}};
  }
}

VbMessageBox::VbMessageBox(const std::string& prompt, int buttons, const std::string& title,
                           QWidget* parent)
    : QMessageBox(parent) {
  setWindowTitle(QString::fromStdString(title));
  setText(QString::fromStdString(prompt));
  setTextFormat(Qt::PlainText);
  setWindowModality(Qt::ApplicationModal);
  AddButtons(buttons & 7);
  SetIcon(buttons & 0x70);
  SetDefault(buttons & 0xF00);
  if (buttons & vbSystemModal) setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void VbMessageBox::AddButtons(int set) {
  for (const auto& [text, result] : MsgBoxButtons(set)) {
    const ButtonRole role = result == vbCancel ? RejectRole : AcceptRole;
    QPushButton* button = addButton(QString::fromStdString(text), role);
    results_[button] = result;
    order_.push_back(button);
    if (result == vbCancel) escapeResult_ = vbCancel;
  }
  if (set == vbOKOnly) escapeResult_ = vbOK;
  if (escapeResult_ != 0) {
    for (auto& [button, result] : results_) {
      if (result == escapeResult_) setEscapeButton(button);
    }
  }
}

void VbMessageBox::SetIcon(int iconFlags) {
  switch (iconFlags) {
    case vbCritical:
      setIcon(Critical);
      break;
    case vbQuestion:
      setIcon(Question);
      break;
    case vbExclamation:
      setIcon(Warning);
      break;
    case vbInformation:
      setIcon(Information);
      break;
    default:
      setIcon(NoIcon);
  }
}

void VbMessageBox::SetDefault(int defaultFlags) {
  std::size_t index = static_cast<std::size_t>(defaultFlags >> 8);
  if (index >= order_.size()) index = 0;  // VB falls back to the first button
  if (auto* push = qobject_cast<QPushButton*>(order_[index])) setDefaultButton(push);
}

int VbMessageBox::ResultOf(QAbstractButton* button) const {
  auto it = results_.find(button);
  return it == results_.end() ? 0 : it->second;
}

int VbMessageBox::Run() {
  exec();
  const int result = ResultOf(clickedButton());
  if (result != 0) return result;
  return escapeResult_ != 0 ? escapeResult_ : ResultOf(order_.front());
}

void VbMessageBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && escapeResult_ == 0) {
    event->accept();  // VB ignores Escape on a box without Cancel
    return;
  }
  QMessageBox::keyPressEvent(event);
}

void VbMessageBox::closeEvent(QCloseEvent* event) {
  if (escapeResult_ == 0 && clickedButton() == nullptr) {
    event->ignore();
    return;
  }
  QMessageBox::closeEvent(event);
}

}  // namespace qtui
