#include "platform/qtui/Offscreen.h"

#include <QCoreApplication>
#include <QImage>

#include "platform/forms/Form.h"
#include "platform/qtui/FormWindow.h"

namespace qtui {

bool RenderFormToPng(forms::Form& form, const std::string& pngPath) {
  if (!form.Loaded()) form.Load();
  FormWindow* window = FormWindow::For(form);
  const bool wasVisible = window->isVisible();
  if (!wasVisible) {
    // Polishes and lays out every widget without putting the window on screen.
    window->setAttribute(Qt::WA_DontShowOnScreen, true);
    window->show();
  }
  QCoreApplication::processEvents();
  const QImage image = window->Render();
  if (!wasVisible) {
    window->hide();
    window->setAttribute(Qt::WA_DontShowOnScreen, false);
  }
  return !image.isNull() && image.save(QString::fromStdString(pngPath), "PNG");
}

}  // namespace qtui
