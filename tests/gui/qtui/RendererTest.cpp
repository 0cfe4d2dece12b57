// The renderer against a form built in code: model changes redraw, user input
// reaches the handlers in VB's order, drags reach DragOver and DragDrop, the
// resizer lays the window out, and the form renders to a PNG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/App.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"
#include "platform/qtui/DragBridge.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Offscreen.h"
#include "platform/qtui/Units.h"

namespace {

using namespace forms;

imaging::Picture Solid(int w, int h, std::uint32_t argb) {
  return imaging::Picture::FromPixels(w, h, std::vector<std::uint32_t>(w * h, argb));
}

class TestForm : public Form {
 public:
  TestForm() : Form("frmRenderTest", "-") {
    SetCaption("Render Test");
    Move(0, 0, 7200, 5400);
    cmdGo.Move(120, 120, 1500, 450);
    cmdGo.SetCaption("&Go");
    txtName.Move(1800, 120, 2400, 315);
    lstItems.Move(120, 720, 2400, 1500);
    for (const char* s : {"Subject", "Comp 1", "Comp 2"}) lstItems.AddItem(s);
    chkKeep.Move(2700, 720, 1800, 300);
    chkKeep.SetCaption("Keep");
    for (int i = 0; i < 3; ++i) {
      optSize[i].Move(120 + 1500 * i, 4400, 1400, 300);
      optSize[i].SetCaption(std::string(1, static_cast<char>('S' + i)));
    }
    tabMain.Move(120, 2400, 4500, 1800);
    tabMain.SetTabs(3);
    for (int t = 0; t < 3; ++t) tabMain.SetTabCaption(t, "Page " + std::to_string(t));
    lblPage1.SetContainer(&tabMain, 1);
    lblPage1.Move(240, 600, 2000, 300);
    lblPage1.SetCaption("On page one");
    tabInner.SetContainer(&tabMain, 2);
    tabInner.Move(240, 480, 3000, 1200);
    tabInner.SetTabs(2);
    lblInner.SetContainer(&tabInner, 1);
    lblInner.Move(120, 600, 1500, 255);
    lblInner.SetCaption("Inner page");
    geaPhoto.Move(4800, 2900, 900, 900);
    geaPhoto.SetPicture(StdPicture(Solid(30, 30, 0xFF808080), "photo"));
    geaPhoto.SetDisplayStretch(true);
    geaPhoto.SelectionDone = [this](int l, int t, int r, int b) {
      log.push_back("SelectionDone " + std::to_string(l) + "," + std::to_string(t) + "," +
                    std::to_string(r) + "," + std::to_string(b));
    };
    imgSource.Move(4800, 720, 900, 900);
    imgSource.SetPicture(StdPicture(Solid(30, 30, 0xFF3060C0), "test"));
    imgSource.SetStretch(true);
    imgTarget.Move(4800, 1800, 900, 900);
    imgTarget.SetPicture(StdPicture(Solid(30, 30, 0xFFC06030), "test"));
    imgTarget.SetStretch(true);
    // A picture button: its picture at its own size, a blue band at the right and bottom.
    std::vector<std::uint32_t> button(40 * 40, 0xFFD02020);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        if (x >= 32 || y >= 32) button[y * 40 + x] = 0xFF2020D0;
      }
    }
    imgButton.Move(6000, 120, 600, 600);
    imgButton.SetPicture(StdPicture(imaging::Picture::FromPixels(40, 40, button), "button"));

    cmdGo.MouseDown = [this](int, int, float, float) { log.push_back("cmdGo_MouseDown"); };
    cmdGo.MouseUp = [this](int, int, float, float) { log.push_back("cmdGo_MouseUp"); };
    cmdGo.Click = [this] { log.push_back("cmdGo_Click"); };
    txtName.KeyDown = [this](int& k, int) {
      log.push_back("txtName_KeyDown " + std::to_string(k));
    };
    txtName.KeyPress = [this](int& k) { log.push_back("txtName_KeyPress " + std::to_string(k)); };
    txtName.Change = [this] { log.push_back("txtName_Change " + txtName.Text()); };
    txtName.KeyUp = [this](int& k, int) { log.push_back("txtName_KeyUp " + std::to_string(k)); };
    lstItems.Click = [this] { log.push_back("lstItems_Click " + lstItems.Text()); };
    for (Control* c : {static_cast<Control*>(&txtName), static_cast<Control*>(&lstItems)}) {
      c->GotFocus = [this, c] { focusLog.push_back(c->Name() + "_GotFocus"); };
      c->LostFocus = [this, c] { focusLog.push_back(c->Name() + "_LostFocus"); };
    }
    // A refused value: a box, and the focus goes back into the box.
    txtName.LostFocus = [this] {
      focusLog.push_back("txtName_LostFocus");
      if (!refuseLeave) return;
      App::Current().MsgBox("Enter a number between 1 and 100");
      txtName.SetFocus();
    };
    tabMain.TabClick = [this](int previous) {
      log.push_back("tabMain_Click " + std::to_string(previous) + "->" +
                    std::to_string(tabMain.Tab()));
    };
    imgSource.MouseDown = [this](int, int, float, float) { imgSource.Drag(vbBeginDrag); };
    imgTarget.DragOver = [this](Control& src, float, float, int state) {
      log.push_back("DragOver " + src.Name() + " " + std::to_string(state));
    };
    imgTarget.DragDrop = [this](Control& src, float x, float) {
      log.push_back("DragDrop " + src.Name());
      dropX = x;
    };
  }

  CommandButton cmdGo{*this, "cmdGo"};
  TextBox txtName{*this, "txtName"};
  ListBox lstItems{*this, "lstItems"};
  CheckBox chkKeep{*this, "chkKeep"};
  OptionButton optSize[3] = {{*this, "optSize0"}, {*this, "optSize1"}, {*this, "optSize2"}};
  TabControl tabMain{*this, "tabMain"};
  Label lblPage1{*this, "lblPage1"};
  TabControl tabInner{*this, "tabInner"};
  Label lblInner{*this, "lblInner"};
  Gear geaPhoto{*this, "geaPhoto"};
  Image imgSource{*this, "imgSource"};
  Image imgTarget{*this, "imgTarget"};
  Image imgButton{*this, "imgButton"};
  std::vector<std::string> log;
  std::vector<std::string> focusLog;
  float dropX = -1;
  bool refuseLeave = false;
};

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TestForm>();
    form->Show();
    window = qtui::FormWindow::For(*form, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  void TearDown() override {
    qtui::FormWindow::Release(*form);
    form.reset();
  }
  template <class W>
  W* Widget(const Control& c) {
    return qobject_cast<W*>(window->WidgetOf(&c));
  }

  std::unique_ptr<TestForm> form;
  qtui::FormWindow* window = nullptr;
};

TEST_F(Renderer, ModelChangesRedrawTheWidgets) {
  auto* button = Widget<QPushButton>(form->cmdGo);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "&Go");
  EXPECT_EQ(button->geometry(), qtui::TwipsToRect(120, 120, 1500, 450));
  form->cmdGo.SetCaption("&Stop");
  form->cmdGo.SetEnabled(false);
  form->cmdGo.Move(240, 240, 1500, 450);
  EXPECT_EQ(button->text(), "&Stop");
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(button->geometry().topLeft(), qtui::TwipsToRect(240, 240, 1, 1).topLeft());

  form->txtName.SetText("Main St");
  EXPECT_EQ(Widget<QLineEdit>(form->txtName)->text(), "Main St");
  form->chkKeep.SetValue(vbChecked);
  EXPECT_TRUE(Widget<QCheckBox>(form->chkKeep)->isChecked());
  form->lstItems.SetListIndex(2);
  auto* list = Widget<QListWidget>(form->lstItems);
  EXPECT_TRUE(list->item(2)->data(Qt::UserRole + 1).toBool());
  EXPECT_FALSE(list->item(0)->data(Qt::UserRole + 1).toBool());

  QWidget* onPage1 = window->WidgetOf(&form->lblPage1);
  EXPECT_FALSE(onPage1->isVisible());
  form->tabMain.SetTab(1);
  EXPECT_TRUE(onPage1->isVisible());
  form->tabMain.SetVisible(false);
  EXPECT_FALSE(onPage1->isVisible());
  form->SetCaption("Renamed");
  EXPECT_EQ(window->windowTitle(), "Renamed");

  // A label one line high keeps a long caption on one line, its middle left out.
  form->lblPage1.SetCaption("940 LINDEN AVENUE FRONT VIEW FROM THE STREET.JPG");
  auto* label = qobject_cast<QLabel*>(onPage1);
  EXPECT_FALSE(label->wordWrap());
  EXPECT_TRUE(label->text().startsWith("940 ") && label->text().endsWith(".JPG") &&
              label->text().contains(QChar(0x2026)))
      << label->text().toStdString();
  // A disabled text box is drawn greyed, whatever colours it has.
  form->txtName.SetEnabled(false);
  const QPalette standard = QApplication::palette(Widget<QLineEdit>(form->txtName));
  const QPalette shown = Widget<QLineEdit>(form->txtName)->palette();
  for (QPalette::ColorRole role : {QPalette::Base, QPalette::Text}) {
    EXPECT_EQ(shown.color(QPalette::Disabled, role), standard.color(QPalette::Disabled, role));
  }
}

TEST_F(Renderer, ClicksTypingSelectionTabsAndOptionsReachTheHandlersAsOnWindows) {
  QTest::mouseClick(Widget<QPushButton>(form->cmdGo), Qt::LeftButton);

  auto* edit = Widget<QLineEdit>(form->txtName);
  window->activateWindow();
  edit->setFocus();
  QTest::keyClicks(edit, "ab");

  auto* list = Widget<QListWidget>(form->lstItems);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(1)).center());

  QWidget* tabs = window->WidgetOf(&form->tabMain);
  const int tabWidth = (tabs->width() - 1) / 3;
  QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(tabWidth + tabWidth / 2, 5));

  const std::vector<std::string> expected = {
      "cmdGo_MouseDown",     "cmdGo_MouseUp",     "cmdGo_Click",      "txtName_KeyDown 65",
      "txtName_KeyPress 97", "txtName_Change a",  "txtName_KeyUp 65", "txtName_KeyDown 66",
      "txtName_KeyPress 98", "txtName_Change ab", "txtName_KeyUp 66", "lstItems_Click Comp 1",
      "tabMain_Click 0->1"};
  EXPECT_EQ(form->log, expected);
  EXPECT_EQ(form->txtName.Text(), "ab");
  EXPECT_EQ(form->lstItems.ListIndex(), 1);
  EXPECT_TRUE(window->WidgetOf(&form->lblPage1)->isVisible());

  // Options and check boxes behave as on Windows: a click right of the caption, inside the
  // control, counts.
  auto rightEnd = [&](const Control& c) {
    QWidget* w = window->WidgetOf(&c);
    return std::pair{w, QPoint(w->width() - 3, w->height() / 2)};
  };
  auto [keep, keepAt] = rightEnd(form->chkKeep);
  QTest::mouseClick(keep, Qt::LeftButton, {}, keepAt);
  EXPECT_EQ(form->chkKeep.Value(), vbChecked);
  auto [middle, middleAt] = rightEnd(form->optSize[1]);
  QTest::mouseClick(middle, Qt::LeftButton, {}, middleAt);
  EXPECT_TRUE(form->optSize[1].Value());

  // The arrows move through the group and select; only the selected option is a Tab stop.
  window->activateWindow();
  middle->setFocus();
  QCoreApplication::processEvents();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_TRUE(form->optSize[0].Value());
  EXPECT_EQ(form->ActiveControl(), &form->optSize[0]);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);  // round to the last
  EXPECT_TRUE(form->optSize[2].Value());
  EXPECT_EQ(QApplication::focusWidget(), window->WidgetOf(&form->optSize[2]));
  std::vector<Qt::FocusPolicy> policies;
  for (const auto& o : form->optSize) policies.push_back(window->WidgetOf(&o)->focusPolicy());
  EXPECT_EQ(policies, (std::vector{Qt::ClickFocus, Qt::ClickFocus, Qt::StrongFocus}));
}

TEST_F(Renderer, NestedTabPagesShowTheirControlsOnlyWhenEveryPageIsCurrent) {
  QWidget* inner = window->WidgetOf(&form->lblInner);
  EXPECT_EQ(inner->parentWidget(), window->WidgetOf(&form->tabInner));
  form->tabInner.SetTab(1);
  EXPECT_FALSE(inner->isVisible());  // the outer page is not current
  form->tabMain.SetTab(2);
  EXPECT_TRUE(inner->isVisible());
  form->tabInner.SetTab(0);
  EXPECT_FALSE(inner->isVisible());
}

TEST_F(Renderer, ARubberBandDragReportsTheSelectionInPicturePixels) {
  form->geaPhoto.SetRubberBand(true);
  QWidget* gear = window->WidgetOf(&form->geaPhoto);
  const double k = 30.0 / gear->width();  // picture pixels per widget pixel
  QTest::mousePress(gear, Qt::LeftButton, {}, QPoint(6, 6));
  QTest::mouseMove(gear, QPoint(20, 14));
  QTest::mouseMove(gear, QPoint(36, 30));
  QTest::mouseRelease(gear, Qt::LeftButton, {}, QPoint(36, 30));
  ASSERT_FALSE(form->log.empty());
  const std::string expected = "SelectionDone " + std::to_string(int(6 * k)) + "," +
                               std::to_string(int(6 * k)) + "," + std::to_string(int(36 * k)) +
                               "," + std::to_string(int(30 * k));
  EXPECT_EQ(form->log.back(), expected);
  EXPECT_TRUE(form->geaPhoto.SelectionVisible());

  // A press that moves less than the drag distance is a click: no selection.
  form->log.clear();
  form->geaPhoto.ClearSelection();
  QTest::mousePress(gear, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(gear, QPoint(12, 12));
  QTest::mouseRelease(gear, Qt::LeftButton, {}, QPoint(12, 12));
  EXPECT_TRUE(form->log.empty());
  EXPECT_FALSE(form->geaPhoto.SelectionVisible());

  // In the picture's shape, the band is drawn in shape while it is dragged.
  form->geaPhoto.SetKeepProportions(true);
  QTest::mousePress(gear, Qt::LeftButton, {}, QPoint(6, 6));
  QTest::mouseMove(gear, QPoint(40, 20));
  const forms::SelectionRect band = form->geaPhoto.Selection();
  EXPECT_EQ(band.Right - band.Left, band.Bottom - band.Top);
  EXPECT_GT(band.Right - band.Left, 10);
  QTest::mouseRelease(gear, Qt::LeftButton, {}, QPoint(40, 20));
  EXPECT_EQ(form->geaPhoto.Selection(), band);
}

TEST_F(Renderer, ADisabledTabControlIgnoresClicks) {
  form->tabMain.SetEnabled(false);
  QWidget* tabs = window->WidgetOf(&form->tabMain);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(tabs->width() / 2, 5));
  EXPECT_EQ(form->tabMain.Tab(), 0);
}

TEST_F(Renderer, DragEventsReachDragOverWithStatesAndDragDropWithTheSource) {
  form->imgSource.UserMouseDown(vbLeftButton, 0, 100, 100);  // its handler begins the drag
  ASSERT_TRUE(DragDriver::Instance().Active());
  QWidget* target = window->WidgetOf(&form->imgTarget);
  std::unique_ptr<QMimeData> mime(qtui::NewDragMimeData());

  QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
  QApplication::sendEvent(target, &enter);
  QDragMoveEvent move(QPoint(20, 12), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
  QApplication::sendEvent(target, &move);
  QDragLeaveEvent leave;
  QApplication::sendEvent(target, &leave);
  QDragEnterEvent back(QPoint(20, 12), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
  QApplication::sendEvent(target, &back);
  QDropEvent drop(QPointF(20, 12), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
  QApplication::sendEvent(target, &drop);

  const std::vector<std::string> expected = {"DragOver imgSource 0", "DragOver imgSource 2",
                                             "DragOver imgSource 1", "DragOver imgSource 0",
                                             "DragDrop imgSource"};
  EXPECT_EQ(form->log, expected);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_NEAR(form->dropX, 20 * qtui::TwipsPerPixel(), 0.01);
  EXPECT_FALSE(DragDriver::Instance().Active());
}

TEST_F(Renderer, ForeignDragsAreNotTakenForControlDrags) {
  form->imgSource.UserMouseDown(vbLeftButton, 0, 100, 100);
  QMimeData text;
  text.setText("not ours");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
  QApplication::sendEvent(window->WidgetOf(&form->imgTarget), &enter);
  EXPECT_TRUE(form->log.empty());
  DragDriver::Instance().Cancel();
}

TEST_F(Renderer, TheResizerKeepsControlsInProportionAndNotifies) {
  qtui::Resizer& resizer = window->EnableResizer();
  int notified = 0;
  resizer.onResized = [&] { ++notified; };
  const QSize before = window->client()->size();
  window->resize(window->width() * 2, window->height());
  QCoreApplication::processEvents();
  EXPECT_GE(notified, 1);
  EXPECT_NEAR(form->cmdGo.Width(), 1500.0 * window->client()->width() / before.width(), 20);
  EXPECT_EQ(form->cmdGo.Height(), 450);
  EXPECT_EQ(window->WidgetOf(&form->cmdGo)->width(), qtui::TwipsToPixels(form->cmdGo.Width()));
  EXPECT_NEAR(form->Width(),
              qtui::PixelsToTwips(window->width()) + (form->Width() - form->ScaleWidth()), 30);
}

TEST_F(Renderer, AShrunkWindowScalesPictureButtonsInsteadOfClippingThem) {
  window->EnableResizer();
  window->resize(window->width() / 2, window->height() / 2);
  QCoreApplication::processEvents();
  QWidget* button = window->WidgetOf(&form->imgButton);
  ASSERT_LT(button->width(), 30);
  const QImage shown = button->grab().toImage();
  const QColor corner = shown.pixelColor(shown.width() - 2, shown.height() - 2);
  EXPECT_GT(corner.blue(), 150) << "the picture's right and bottom edge are cut off";
  EXPECT_LT(corner.red(), 100);
  const QColor inside = shown.pixelColor(2, 2);
  EXPECT_GT(inside.red(), 150);
}

class OneValueStore : public qtui::SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& section, const std::string& key) override {
    if (section != "frmRenderTest") return std::nullopt;
    if (key == "Left") return "300";
    if (key == "Top") return "150";
    if (key == "Width") return "9000";
    if (key == "Height") return "6000";
    return std::nullopt;
  }
  void Write(const std::string&, const std::string&, const std::string&) override {}
};

TEST_F(Renderer, TheStoredPlacementAndMinimumSizeApplyToTheWindow) {
  OneValueStore store;
  qtui::Resizer& resizer = window->EnableResizer();
  resizer.minWidth = 6000;
  resizer.minHeight = 4500;
  resizer.SetStore(&store);
  window->ApplyResizerSettings();
  EXPECT_EQ(form->Left(), 300);
  EXPECT_EQ(form->Width(), 9000);
  EXPECT_GE(window->minimumWidth(), qtui::TwipsToPixels(6000) - 20);
  QCoreApplication::processEvents();
  // The controls grew with the window.
  EXPECT_GT(form->cmdGo.Width(), 1500);
}

TEST_F(Renderer, TheFormRendersToAPng) {
  const char* dir = std::getenv("VELMORA_TEST_OUTPUT");
  if (!dir) dir = VELMORA_TEST_OUTPUT_DIR;
  const std::string path = std::string(dir) + "/render-test.png";
  ASSERT_TRUE(qtui::RenderFormToPng(*form, path));
  QImage png(QString::fromStdString(path));
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(png.size(), window->size());
  // The target picture is drawn where its layout puts it.
  const QRect target = window->WidgetOf(&form->imgTarget)->geometry();
  EXPECT_EQ(png.pixelColor(target.center()), QColor(0xC0, 0x60, 0x30));
}

// Answers the next `count` message boxes with their first button, as a user would.
void AnswerBoxes(int count) {
  QTimer::singleShot(30, [count] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box) box->buttons().front()->click();
    if (!box || count > 1) AnswerBoxes(box ? count - 1 : count);
  });
}

TEST_F(Renderer, OnlyAFocusMoveBetweenTheFormsControlsRaisesLostAndGotFocus) {
  auto* edit = Widget<QLineEdit>(form->txtName);
  auto* list = Widget<QListWidget>(form->lstItems);
  const QPoint row = list->visualItemRect(list->item(1)).center();
  window->activateWindow();
  QTest::mouseClick(edit, Qt::LeftButton);
  QCoreApplication::processEvents();
  ASSERT_EQ(form->ActiveControl(), &form->txtName);
  form->focusLog.clear();

  // A message box, a press on a picture and a menu leave the focus where it was (the offscreen
  // platform has no window manager to give the window back its activation).
  auto backToTheWindow = [&] {
    window->activateWindow();
    QCoreApplication::processEvents();
  };
  AnswerBoxes(1);
  App::Current().MsgBox("Saved.");
  backToTheWindow();
  QTest::mouseClick(window->WidgetOf(&form->imgButton), Qt::LeftButton);
  QTimer::singleShot(50, [] { QApplication::activePopupWidget()->close(); });
  QMenu menu;
  menu.addAction("Refresh");
  menu.exec(window->mapToGlobal(QPoint(10, 10)));
  backToTheWindow();
  EXPECT_TRUE(form->focusLog.empty()) << form->focusLog.front();
  EXPECT_EQ(QApplication::focusWidget(), edit);

  // A refused value keeps the focus, shown and used, in its box; every leave is checked again.
  form->refuseLeave = true;
  for (int attempt = 0; attempt < 2; ++attempt) {
    AnswerBoxes(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    backToTheWindow();
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(form->ActiveControl(), &form->txtName);
  }
  // Leaving by the keyboard is checked every time as well.
  for (int attempt = 0; attempt < 2; ++attempt) {
    AnswerBoxes(1);
    QTest::keyPress(edit, Qt::Key_Tab);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
    backToTheWindow();
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(form->ActiveControl(), &form->txtName);
  }
  EXPECT_EQ(std::count(form->focusLog.begin(), form->focusLog.end(), "txtName_LostFocus"), 4);
  EXPECT_EQ(form->lstItems.ListIndex(), -1) << "the press went on to the list";
  QTest::keyClicks(edit, "7");
  EXPECT_EQ(form->txtName.Text(), "7");

  form->refuseLeave = false;
  form->focusLog.clear();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
  const std::vector<std::string> moved = {"txtName_LostFocus", "lstItems_GotFocus"};
  EXPECT_EQ(form->focusLog, moved);
  EXPECT_EQ(form->lstItems.ListIndex(), 1);
}

}  // namespace
