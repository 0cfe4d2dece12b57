// The list views against their models: long fills, edits anywhere in the list, the
// painted selection and the top entry stay what the model holds.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/App.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/PaintPacer.h"
#include "platform/qtui/QtApp.h"

namespace {

using namespace forms;

constexpr int kSelectedRole = Qt::UserRole + 1;

class ListForm : public Form {
 public:
  ListForm() : Form("frmListTest", "-") {
    SetCaption("Lists");
    Move(0, 0, 7200, 5400);
    lstFound.Move(120, 120, 4000, 3000);
    lstMulti.Move(4200, 120, 2800, 1500);
    cboPick.Move(120, 3300, 3000, 315);
    lblStatus.Move(3300, 3300, 3800, 315);
  }
  ListBox lstFound{*this, "lstFound"};
  ListBox lstMulti{*this, "lstMulti"};
  ComboBox cboPick{*this, "cboPick"};
  Label lblStatus{*this, "lblStatus"};
};

class ListViews : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<ListForm>();
    form->lstMulti.SetDesignProperty("MultiSelect", "1");
    form->Show();
    window = qtui::FormWindow::For(*form, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    list = qobject_cast<QListWidget*>(window->WidgetOf(&form->lstFound));
    multi = qobject_cast<QListWidget*>(window->WidgetOf(&form->lstMulti));
    combo = qobject_cast<QComboBox*>(window->WidgetOf(&form->cboPick));
    ASSERT_TRUE(list && multi && combo);
  }
  void TearDown() override {
    qtui::FormWindow::Release(*form);
    form.reset();
  }

  // Every row shows the model's entry and is painted selected exactly when the model says so.
  static ::testing::AssertionResult Matches(const QListWidget* w, const ListBox& m) {
    if (w->count() != m.ListCount())
      return ::testing::AssertionFailure()
             << "rows " << w->count() << ", entries " << m.ListCount();
    for (int i = 0; i < w->count(); ++i) {
      if (w->item(i)->text().toStdString() != m.List(i))
        return ::testing::AssertionFailure()
               << "row " << i << " shows " << w->item(i)->text().toStdString();
      const bool on = m.Selected(i) || (m.MultiSelect() == 0 && i == m.ListIndex());
      if (w->item(i)->data(kSelectedRole).toBool() != on)
        return ::testing::AssertionFailure() << "row " << i << " selected " << !on;
    }
    return ::testing::AssertionSuccess();
  }
  static ::testing::AssertionResult Matches(const QComboBox* w, const ComboBox& m) {
    if (w->count() != m.ListCount())
      return ::testing::AssertionFailure()
             << "rows " << w->count() << ", entries " << m.ListCount();
    for (int i = 0; i < w->count(); ++i) {
      if (w->itemText(i).toStdString() != m.List(i))
        return ::testing::AssertionFailure() << "row " << i;
    }
    if (w->currentIndex() != m.ListIndex()) return ::testing::AssertionFailure() << "current";
    return ::testing::AssertionSuccess();
  }

  std::unique_ptr<ListForm> form;
  qtui::FormWindow* window = nullptr;
  QListWidget* list = nullptr;
  QListWidget* multi = nullptr;
  QComboBox* combo = nullptr;
};

TEST_F(ListViews, ALongFillShowsEveryEntryAndKeepsTheSelectionAndTopEntry) {
  ListBox& lst = form->lstFound;
  lst.AddItem("first");
  lst.SetListIndex(0);
  for (int i = 1; i < 20000; ++i) lst.AddItem("  (" + std::to_string(i) + " Images) - C:\\F");
  EXPECT_TRUE(Matches(list, lst));
  EXPECT_EQ(list->currentRow(), 0);

  lst.SetTopIndex(500);
  EXPECT_EQ(list->verticalScrollBar()->value(), 500);
  lst.AddItem("last");
  EXPECT_EQ(list->verticalScrollBar()->value(), 500);
  EXPECT_EQ(lst.TopIndex(), 500);
  lst.SetListIndex(19000);
  EXPECT_TRUE(Matches(list, lst));
  EXPECT_EQ(list->currentRow(), 19000);

  lst.Clear();
  EXPECT_EQ(list->count(), 0);
  lst.AddItem("again");
  EXPECT_TRUE(Matches(list, lst));
}

TEST_F(ListViews, EditsInsideTheListRebuildTheRows) {
  ListBox& lst = form->lstMulti;
  for (const char* s : {"a", "b", "c", "d"}) lst.AddItem(s);
  lst.SetSelected(2, true);
  lst.AddItem("front", 0);  // the selection moves down with its entry
  EXPECT_TRUE(Matches(multi, lst));
  lst.RemoveItem(1);
  lst.AddItem("e");  // back to as many rows as before the removal, other entries
  EXPECT_TRUE(Matches(multi, lst));
  lst.SetList(0, "renamed");
  lst.AddItem("f");
  EXPECT_TRUE(Matches(multi, lst));
  lst.SetSelected(4, true);
  lst.AddItem("g");
  EXPECT_TRUE(Matches(multi, lst));
  EXPECT_TRUE(multi->item(2)->data(kSelectedRole).toBool());  // "c" after the edits
  EXPECT_TRUE(multi->item(4)->data(kSelectedRole).toBool());
}

TEST_F(ListViews, AComboShowsLongFillsAndEditsInside) {
  ComboBox& cbo = form->cboPick;
  for (int i = 0; i < 5000; ++i) cbo.AddItem("Entry " + std::to_string(i));
  cbo.SetListIndex(4000);
  EXPECT_TRUE(Matches(combo, cbo));
  cbo.AddItem("appended");
  EXPECT_TRUE(Matches(combo, cbo));
  cbo.AddItem("inserted", 10);
  cbo.RemoveItem(0);
  cbo.SetList(3, "changed");
  cbo.AddItem("tail");
  EXPECT_TRUE(Matches(combo, cbo));
  cbo.Clear();
  cbo.AddItem("only");
  EXPECT_TRUE(Matches(combo, cbo));
}

// Marking every entry one by one in a handler (Select All) raises a Click for each, writes
// each row once, and moves the current row once the handler is done.
TEST_F(ListViews, MarkingEveryEntryWritesEachRowOnceAndRaisesAClickForEach) {
  ListBox& lst = form->lstMulti;
  for (int i = 0; i < 300; ++i) lst.AddItem("Entry " + std::to_string(i));
  std::vector<int> clicks;
  lst.Click = [&] { clicks.push_back(lst.ListIndex()); };
  int writes = 0, moves = 0;  // rows written, current row moved (the list scrolls)
  QObject::connect(multi->model(), &QAbstractItemModel::dataChanged, multi, [&] { ++writes; });
  QObject::connect(multi, &QListWidget::currentRowChanged, multi, [&] { ++moves; });
  auto selectAll = [&] {
    qtui::Dispatch([&] {
      for (int i = 0; i < lst.ListCount(); ++i) lst.SetSelected(i, true);
    });
    QCoreApplication::processEvents();
  };
  selectAll();
  ASSERT_EQ(clicks.size(), 300u);
  EXPECT_EQ(clicks.front(), 0);
  EXPECT_EQ(clicks.back(), 299);
  EXPECT_LE(writes, 3 * 300);  // the mark and the two highlight colours
  EXPECT_EQ(moves, 1);
  EXPECT_TRUE(Matches(multi, lst));
  EXPECT_EQ(multi->currentRow(), 299);
  writes = 0;
  selectAll();  // nothing changes on screen
  EXPECT_EQ(clicks.size(), 600u);
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(moves, 1);
}

// Code that yields per entry (a search listing folder after folder) and asks for paced repaints
// gets every other event at every DoEvents, but the window is painted at most once per frame;
// once the code returns, the window shows the last caption and every entry.  Without the request
// every DoEvents paints what changed.
TEST_F(ListViews, AFillThatYieldsPerEntryPaintsAtAScreensPace) {
  ListBox& lst = form->lstFound;
  auto* label = qobject_cast<QLabel*>(window->WidgetOf(&form->lblStatus));
  ASSERT_NE(label, nullptr);
  int paints = 0;
  QString painted;  // the label's text at its last paint
  struct PaintCount : QObject {
    int& count;
    QString& text;
    PaintCount(int& c, QString& t) : count(c), text(t) {}
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() != QEvent::Paint) return false;
      ++count;
      text = qobject_cast<QLabel*>(o)->text();
      return false;
    }
  } counter{paints, painted};
  label->installEventFilter(&counter);
  constexpr int kEntries = 2000;
  int late = 0;  // timers not served by the DoEvents right after them
  QElapsedTimer clock;
  clock.start();
  std::optional<PacedRepaints> paced(std::in_place);
  for (int i = 0; i < kEntries; ++i) {
    lst.AddItem("  (3 Images) - D:\\Job\\Folder" + std::to_string(i) + "\\");
    form->lblStatus.SetCaption("Searching: D:\\Job\\Folder" + std::to_string(i));
    bool served = false;
    QTimer::singleShot(0, label, [&] { served = true; });
    App::Current().DoEvents();
    late += !served;
  }
  paced.reset();
  const qint64 ms = clock.elapsed();
  EXPECT_EQ(late, 0);
  EXPECT_LE(paints, ms / qtui::PaintPacer::kFrameMs + 2) << ms << " ms";
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(painted.toStdString(), "Searching: D:\\Job\\Folder1999");
  EXPECT_TRUE(Matches(list, lst));
  EXPECT_GE(list->verticalScrollBar()->maximum(), kEntries - 30);  // every row laid out

  paints = 0;
  for (int i = 0; i < 10; ++i) {
    form->lblStatus.SetCaption("Copying " + std::to_string(i));
    App::Current().DoEvents();
  }
  EXPECT_EQ(paints, 10);
}

// Leaving an edit combo whose text is one of its entries is no choice: no Click, the text
// and the model's selection stay.
TEST_F(ListViews, LeavingAComboWhoseTextIsAnEntryRaisesNoClick) {
  int clicks = 0;
  ComboBox& cbo = form->cboPick;
  cbo.Click = [&] { ++clicks; };
  cbo.AddItem("Kitchen");
  cbo.AddItem("Living Room");
  cbo.SetText("Living Room");
  window->activateWindow();
  combo->setFocus();
  list->setFocus();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(cbo.ListIndex(), -1);
  EXPECT_EQ(combo->currentText(), "Living Room");
}

// The keys of the Windows list boxes move the selection the model holds and raise Click.
TEST_F(ListViews, KeysSelectAsInWindowsListBoxes) {
  int clicks = 0;
  ListBox& lst = form->lstFound;
  lst.Click = [&] { ++clicks; };
  for (int i = 0; i < 40; ++i) lst.AddItem("Entry " + std::to_string(i));
  window->activateWindow();
  list->setFocus();
  const int page = lst.VisibleRows() - 1;
  const std::vector<std::pair<Qt::Key, int>> moves = {
      {Qt::Key_Down, 0}, {Qt::Key_Down, 1},        {Qt::Key_End, 39},  {Qt::Key_Up, 38},
      {Qt::Key_Home, 0}, {Qt::Key_PageDown, page}, {Qt::Key_PageUp, 0}};
  for (const auto& [key, index] : moves) {
    QTest::keyClick(list, key);
    EXPECT_EQ(lst.ListIndex(), index) << key;
    EXPECT_TRUE(Matches(list, lst));
  }
  EXPECT_EQ(clicks, static_cast<int>(moves.size()));
}

// Shift extends from where the plain move left the selection, Ctrl moves only the focus,
// Ctrl+Space marks.
TEST_F(ListViews, ShiftAndCtrlKeysExtendAndMarkInAnExtendedList) {
  ListBox& lst = form->lstFound;
  lst.SetDesignProperty("MultiSelect", "2");
  for (int i = 0; i < 10; ++i) lst.AddItem("Entry " + std::to_string(i));
  list->setFocus();
  for (auto mods : {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ShiftModifier,
                    Qt::ControlModifier}) {
    QTest::keyClick(list, Qt::Key_Down, mods);
  }
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(lst.SelCount(), 4);
  EXPECT_TRUE(lst.Selected(1) && lst.Selected(3) && lst.Selected(4) && !lst.Selected(0));
  EXPECT_TRUE(Matches(list, lst));
}

}  // namespace
