#pragma once
// What the benchmarks that drive the real windows share: one Qt application with the program's
// App services (offscreen unless QT_QPA_PLATFORM says otherwise; xvfb-run works too), waiting
// until a window has painted what a click did, and message boxes answered as they come.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <string>

#include "platform/forms/App.h"
#include "platform/forms/Form.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"

namespace bench {

inline int& OffscreenUnlessSet(int& argc) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return argc;
}

class QtWindows {
 public:
  QtWindows(int& argc, char** argv, const std::string& name)
      : app_(OffscreenUnlessSet(argc), argv),
        services_({"Velmora", "C:\\Velmora", 1, 0, 0, name, {}}) {
    forms::App::Install(&services_);
  }
  ~QtWindows() { Close(); }
  QtWindows(const QtWindows&) = delete;
  QtWindows& operator=(const QtWindows&) = delete;

  // Windows go before the forms they show, and both before the application.
  void Close() {
    std::fflush(stdout);
    for (qtui::FormWindow* window : qtui::FormWindow::All())
      qtui::FormWindow::Release(window->form());
    forms::ResetFormInstances();
    forms::App::Install(nullptr);
  }
  qtui::QtApp& Services() { return services_; }
  static const char* Platform() {
    static const QByteArray name = qgetenv("QT_QPA_PLATFORM");
    return name.constData();
  }

 private:
  QApplication app_;
  qtui::QtApp services_;
};

// Lets the window paint what the last action changed.
inline void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// The message boxes AnswerBoxes has answered.
inline int& BoxesAnswered() {
  static int boxes = 0;
  return boxes;
}

// From now on every message box is answered with its default button (else its first).
inline void AnswerBoxes() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++BoxesAnswered();
      QAbstractButton* b = box->defaultButton();
      (b != nullptr ? b : box->buttons().front())->click();
    }
  });
  timer->start(20);
}

}  // namespace bench
