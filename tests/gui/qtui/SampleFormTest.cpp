// The runtime's sample window (one control of every kind) on the renderer:
// every control is drawn where its layout puts it, the PNG is kept among the
// test outputs, and whole flows run through real widgets: a thumbnail drag, the
// default and cancel keys, and a message box leading to a modal dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "platform/forms/Drag.h"
#include "platform/imaging/Imaging.h"
#include "platform/qtui/DragBridge.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/MessageBox.h"
#include "platform/qtui/Offscreen.h"
#include "platform/qtui/Units.h"
#include "tests/support/SampleForm.h"
#include "tests/support/TempPrefix.h"

namespace {

using namespace forms;

void WritePicture(TempPrefix& prefix, const std::string& winPath, std::uint32_t argb) {
  prefix.MakeDir("C:\\PICS");
  std::vector<std::uint32_t> px(160 * 120);
  for (std::size_t i = 0; i < px.size(); ++i) px[i] = (i % 160 < 80) ? argb : 0xFFF0F0F0;
  imaging::SaveJpeg(imaging::Picture::FromPixels(160, 120, std::move(px)), prefix.Host(winPath),
                    90);
}

class SampleOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix.MakeDir("C:\\GLENVUE\\Comps");
    prefix.MakeDir("C:\\GLENVUE\\Subject");
    WritePicture(prefix, "C:\\PICS\\front.jpg", 0xFF2050A0);
    WritePicture(prefix, "C:\\PICS\\rear.jpg", 0xFF20A050);
    form = std::make_unique<SampleForm>();
    form->Load();
    form->dirFind.SetPath("C:\\GLENVUE");
    form->GeaThumb[0].LoadImage("C:\\PICS\\front.jpg");
    form->GeaThumb[0].SetThumbPath("C:\\PICS\\front.jpg");
    form->GeaThumb[1].LoadImage("C:\\PICS\\rear.jpg");
    form->imaComp[1].LoadImage("C:\\PICS\\rear.jpg");
    form->Show();
    window = qtui::FormWindow::For(*form, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    form->log.clear();
  }
  void TearDown() override {
    DragDriver::Instance().Cancel();
    qtui::FormWindow::Release(*form);
    form.reset();
    ResetFormInstances();
  }
  QWidget* W(const Control& c) { return window->WidgetOf(&c); }
  bool Logged(const std::string& entry) const {
    return std::find(form->log.begin(), form->log.end(), entry) != form->log.end();
  }

  TempPrefix prefix;
  std::unique_ptr<SampleForm> form;
  qtui::FormWindow* window = nullptr;
};

TEST_F(SampleOnScreen, EveryControlIsDrawnWhereItsLayoutPutsItAndThePngIsSaved) {
  int drawn = 0;
  for (Control* c : form->Controls()) {
    if (c->TypeName() == "Menu") continue;
    QWidget* w = W(*c);
    ASSERT_NE(w, nullptr) << c->Name();
    EXPECT_EQ(w->isVisible(), c->IsShown()) << c->Name();
    if (c->TypeName() != "Line") {
      EXPECT_EQ(w->geometry(), qtui::TwipsToRect(c->Left(), c->Top(), c->Width(), c->Height()))
          << c->Name();
    }
    drawn += w->isVisible() ? 1 : 0;
  }
  EXPECT_GE(drawn, 20);
  // Pages: imaComp(1) lies on the current page, imaComp(4) on the next.
  EXPECT_TRUE(W(form->imaComp[1])->isVisible());
  EXPECT_FALSE(W(form->imaComp[4])->isVisible());
  // The frame holds its option buttons.
  EXPECT_EQ(W(form->optScreen[0])->parentWidget(), W(form->fraScreen));

  auto* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 1);
  EXPECT_EQ(bar->actions()[0]->text(), "&File");
  const QList<QAction*> entries = bar->actions()[0]->menu()->actions();
  ASSERT_EQ(entries.size(), 3);
  EXPECT_TRUE(entries[1]->isSeparator());
  entries[2]->trigger();
  EXPECT_TRUE(Logged("mnuFile_Entry_Click 2"));

  const char* dir = std::getenv("VELMORA_TEST_OUTPUT");
  if (!dir) dir = VELMORA_TEST_OUTPUT_DIR;
  const std::string png = std::string(dir) + "/sample.png";
  ASSERT_TRUE(qtui::RenderFormToPng(*form, png));
  const QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  // The first thumbnail's picture (blue on its left half) is on the PNG.
  const QRect thumb = W(form->GeaThumb[0])->geometry().translated(window->client()->pos());
  const QColor left = image.pixelColor(thumb.left() + thumb.width() / 4, thumb.center().y());
  EXPECT_GT(left.blue(), 120);
  EXPECT_LT(left.red(), 80);
}

TEST_F(SampleOnScreen, AThumbnailDragReachesDragOverAndTheDropTarget) {
  form->GeaThumb[0].UserMouseDown(vbLeftButton, 0, 60, 60);
  ASSERT_TRUE(DragDriver::Instance().Active());
  EXPECT_FALSE(form->GeaThumb[0].DragIcon().Empty());  // the handler gave it the drag icon
  std::unique_ptr<QMimeData> mime(qtui::NewDragMimeData());
  auto send = [&](QWidget* target, QEvent::Type type, QPoint at) {
    if (type == QEvent::DragLeave) {
      QDragLeaveEvent e;
      QApplication::sendEvent(target, &e);
    } else if (type == QEvent::Drop) {
      QDropEvent e(at, Qt::MoveAction, mime.get(), Qt::LeftButton, {});
      QApplication::sendEvent(target, &e);
    } else {
      QDragMoveEvent e(at, Qt::MoveAction, mime.get(), Qt::LeftButton, {}, type);
      QApplication::sendEvent(target, &e);
    }
  };
  send(W(form->GeaThumb[1]), QEvent::DragEnter, {4, 4});
  send(W(form->GeaThumb[1]), QEvent::DragMove, {8, 6});
  send(W(form->GeaThumb[1]), QEvent::DragLeave, {});
  send(W(form->imaComp[1]), QEvent::DragEnter, {10, 10});
  send(W(form->imaComp[1]), QEvent::Drop, {10, 10});
  const std::vector<std::string> expected = {
      "GeaThumb_MouseDown 0", "GeaThumb_DragOver 1 GeaThumb 0", "GeaThumb_DragOver 1 GeaThumb 2",
      "GeaThumb_DragOver 1 GeaThumb 1", "imaComp_DragDrop 1 <- GeaThumb(0) C:\\PICS\\front.jpg"};
  EXPECT_EQ(form->log, expected);
  EXPECT_EQ(form->imaComp[1].ThumbPath(), "C:\\PICS\\front.jpg");
}

TEST_F(SampleOnScreen, EscapePressesCancelAndEnterOpensTheDialogThroughAMessageBox) {
  auto* edit = qobject_cast<QLineEdit*>(W(form->txtName));
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_TRUE(Logged("cmdCancel_Click"));

  // Enter: the default button asks "Open the dialog?"; the test answers Yes,
  // types into the modal dialog and presses its button.
  QTimer::singleShot(50, [] {
    auto* box = qobject_cast<qtui::VbMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == "&Yes") b->click();
    }
    QTimer::singleShot(50, [] {
      SampleDialog& dlg = FormInstance<SampleDialog>();
      qtui::FormWindow* dw = qtui::FormWindow::For(dlg, false);
      ASSERT_NE(dw, nullptr);
      EXPECT_TRUE(dw->isVisible());
      auto* answer = qobject_cast<QLineEdit*>(dw->WidgetOf(&dlg.txtAnswer));
      answer->selectAll();
      QTest::keyClicks(answer, "typed");
      // The dialog has no layout file, so its button has no size to click in.
      qobject_cast<QPushButton*>(dw->WidgetOf(&dlg.cmdDone))->click();
    });
  });
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(form->dialogResult, "typed");
  EXPECT_TRUE(Logged("dialog closed: typed"));
}

TEST_F(SampleOnScreen, ClosingAsksTheFormWhichMayRefuse) {
  form->refuseClose = true;
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(form->Loaded());
  form->refuseClose = false;
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(form->Loaded());
  EXPECT_TRUE(Logged("Form_QueryUnload 0"));
}

}  // namespace
