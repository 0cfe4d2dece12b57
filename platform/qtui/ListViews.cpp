// Views of the list controls: list boxes (and file lists), combo boxes,
// folder lists and drive lists.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/forms/FileControls.h"
#include "platform/forms/ListControls.h"
#include "platform/qtui/Colors.h"
#include "platform/qtui/PaintPacer.h"
#include "platform/qtui/QtApp.h"
#include "platform/qtui/Views.h"

namespace qtui {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

constexpr int kSelectedRole = Qt::UserRole + 1;

// A list widget whose rows are laid out again, when rows came while the program's code yields
// (a search adding a row per folder), at most once per frame: each layout goes over every row.
class PacedList : public QListWidget {
 public:
  using QListWidget::QListWidget;
  void doItemsLayout() override {
    if (inTimer_ && PaintPacer::TooSoon(this)) {
      scheduleDelayedItemsLayout();  // the next pass lays the rows out
      return;
    }
    QListWidget::doItemsLayout();
  }

 protected:
  // Only the layout Qt delays to the event loop waits; one asked for directly is done at once.
  void timerEvent(QTimerEvent* e) override {
    inTimer_ = true;
    QListWidget::timerEvent(e);
    inTimer_ = false;
  }

 private:
  bool inTimer_ = false;
};

// A list widget whose selection is the model's: the user's presses are sent to
// the model and the widget then shows what the model selected.
QListWidget* NewList(QWidget* parent) {
  auto* list = new PacedList(parent);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setUniformItemSizes(true);
  list->setFrameShape(QFrame::StyledPanel);
  return list;
}

// The model's selection painted with the highlight colours (the widget's own selection stays
// off so that only the model decides).  It remembers what each row shows, so that a change
// writes only the rows it changed: marking every entry one by one (Select All) stays linear.
class SelectionPainter {
 public:
  explicit SelectionPainter(QListWidget*& list) : list_(list) {}

  // The widget's rows from `from` on were just added and show no selection yet.
  void RowsAdded(int from) {
    shown_.resize(std::min<std::size_t>(shown_.size(), std::max(0, from)));
    shown_.resize(list_->count(), 0);
  }
  // Rows first .. last, the rows added from `added` on, and the rows of the old and the new
  // current entry show again whether `selected` says they are selected.
  void Show(const std::function<bool(int)>& selected, int current, int first, int last, int added) {
    Repaint(selected, std::max(0, first), last);
    Repaint(selected, added, list_->count() - 1);
    Repaint(selected, current_, current_);
    Repaint(selected, current, current);
    current_ = current;
  }
  // The widget's current row follows the model's entry (the list scrolls to show it).
  void ShowCurrent() {
    if (current_ >= 0 && current_ < list_->count() && current_ != list_->currentRow()) {
      list_->setCurrentRow(current_, QItemSelectionModel::NoUpdate);
    }
  }

 private:
  void Repaint(const std::function<bool(int)>& selected, int first, int last) {
    if (first < 0) return;
    shown_.resize(list_->count(), 0);
    const QPalette& pal = list_->palette();
    for (int i = first; i <= last && i < list_->count(); ++i) {
      const char on = selected(i) ? 1 : 0;
      if (on == shown_[i]) continue;
      shown_[i] = on;
      QListWidgetItem* item = list_->item(i);
      item->setData(kSelectedRole, static_cast<bool>(on));
      item->setBackground(on ? pal.brush(QPalette::Highlight) : QBrush());
      item->setForeground(on ? pal.brush(QPalette::HighlightedText) : QBrush());
    }
  }

  QListWidget*& list_;
  std::vector<char> shown_;  // 1 where the row is painted selected
  int current_ = -1;         // the entry last shown as the current one
};

// The row a navigation key moves to from row `from` (-1: none) of `count` rows with `page` of
// them shown, as the Windows list boxes move; -1 for any other key.
int KeyTarget(int key, int from, int count, int page) {
  if (count <= 0) return -1;
  const int step = std::max(1, page - 1);
  switch (key) {
    case Qt::Key_Up:
      return std::max(0, from - 1);
    case Qt::Key_Down:
      return std::min(count - 1, from + 1);
    case Qt::Key_Home:
      return 0;
    case Qt::Key_End:
      return count - 1;
    case Qt::Key_PageUp:
      return std::max(0, from - step);
    case Qt::Key_PageDown:
      return std::min(count - 1, std::max(0, from) + step);
    default:
      return -1;
  }
}

// Scrolls the list so that row `top` is the first one shown.  Qt sets the
// scroll bar's range only when it lays the rows out, which it delays: a list
// just filled is laid out first, or the bar could not reach the row.
void ScrollTo(QListWidget* list, int top) {
  QScrollBar* bar = list->verticalScrollBar();
  if (bar->maximum() < top) list->doItemsLayout();
  bar->setValue(top);
}

// The entries a widget shows of its model.  Filling a list adds one entry at a
// time, so a model that only grew at the end keeps the rows shown and only
// the new entries are added; any other change fills the widget anew.
class ShownRows {
 public:
  // How many rows still show the model's entries; remembers the model's state.
  template <class Model>
  int Keep(const Model& m) {
    const int count = m.ListCount();
    const unsigned long edits = m.ListEdits();
    const int kept = edits == edits_ && count >= count_ ? count_ : 0;
    count_ = count;
    edits_ = edits;
    return kept;
  }

 private:
  int count_ = 0;
  unsigned long edits_ = 0;
};

// ---- ListBox and FileListBox
class ListBoxView : public ControlView {
 public:
  ListBoxView(forms::ListBox& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    list_ = NewList(parent);
    QObject::connect(list_, &QListWidget::pressed, this, [this](const QModelIndex& index) {
      const int shift = VbShift(QApplication::keyboardModifiers());
      User([this, index, shift] { m_.UserSelect(index.row(), shift); });
      Sync(forms::Prop::Selection);
    });
    QObject::connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this,
                     [this](int top) { User([this, top] { m_.UserSetTopIndex(top); }); });
    return list_;
  }
  QList<QWidget*> InputWidgets() override { return {list_, list_->viewport()}; }
  bool KeyAction(const QKeyEvent& key) override {
    const int shift = VbShift(key.modifiers());
    if (key.key() == Qt::Key_Space) {
      User([&] { m_.UserToggleCaret(shift); });
      return true;
    }
    const int to = KeyTarget(key.key(), m_.ListIndex(), m_.ListCount(), m_.VisibleRows());
    if (to < 0) return false;
    User([&] { m_.UserMoveTo(to, shift); });
    return true;
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    int added = list_->count();  // the first row added now
    if (p == Prop::List) {
      // An unchanged list (a refresh of a folder that did not change) keeps its rows.
      added = shown_.Keep(m_);
      if (added == 0) list_->clear();
      for (int i = added; i < m_.ListCount(); ++i) list_->addItem(Q(m_.List(i)));
      painter_.RowsAdded(added);
    }
    if (p == Prop::List || p == Prop::Selection) {
      const auto [first, last] = m_.TakeMarkChanges();
      painter_.Show(
          [this](int i) {
            return m_.Selected(i) || (m_.MultiSelect() == 0 && i == m_.ListIndex());
          },
          m_.ListIndex(), first, last, added);
      ShowCurrentRow();
    }
    if (p == Prop::List || p == Prop::TopIndex) ScrollTo(list_, m_.TopIndex());
    if (p == Prop::Color) {
      QPalette pal = list_->palette();
      pal.setColor(QPalette::Base, ToQColor(m_.BackColor()));
      pal.setColor(QPalette::Text, ToQColor(m_.ForeColor()));
      list_->setPalette(pal);
    }
  }

 private:
  // Moving the current row scrolls the list, which costs as much as the rows shown: while the
  // program's code runs (Select All marking entry after entry), the row moves once, at the next
  // pass of the event loop.
  void ShowCurrentRow() {
    if (!HandlerScope::Active() || flushing_) {
      painter_.ShowCurrent();
      return;
    }
    if (currentDue_) return;
    currentDue_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          currentDue_ = false;
          flushing_ = true;
          Sync(forms::Prop::Selection);  // under the view's guard: the scroll is no user's
          flushing_ = false;
        },
        Qt::QueuedConnection);
  }

  forms::ListBox& m_;
  QListWidget* list_ = nullptr;
  ShownRows shown_;
  SelectionPainter painter_{list_};
  bool currentDue_ = false;
  bool flushing_ = false;
};

// ---- ComboBox: editable (style 0, 1) or a drop-down list (style 2)

// Qt's editable combo selects the entry matching its text when its edit loses the focus and
// reports that as a choice; a Windows combo raises no Click then.  The edit says while it is
// leaving, so that the view can tell that choice from the user's.
class VbComboEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  bool Leaving() const { return leaving_; }

 protected:
  void focusOutEvent(QFocusEvent* e) override {
    leaving_ = true;
    QLineEdit::focusOutEvent(e);
    leaving_ = false;
  }

 private:
  bool leaving_ = false;
};

class VbCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> onDropDown;
  void showPopup() override {
    if (onDropDown) onDropDown();
    QComboBox::showPopup();
  }
};

class ComboView : public ControlView {
 public:
  ComboView(forms::ComboBox& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    combo_ = new VbCombo(parent);
    if (m_.Style() != forms::vbComboDropdownList) {
      edit_ = new VbComboEdit(combo_);
      combo_->setLineEdit(edit_);
    }
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setMaxVisibleItems(12);
    combo_->onDropDown = [this] { User([this] { m_.UserDropDown(); }); };
    QObject::connect(combo_, &QComboBox::activated, this, [this](int i) {
      if (edit_ != nullptr && edit_->Leaving()) {
        SyncOwn(forms::Prop::Text);
        return;
      }
      User([this, i] { m_.UserSelect(i); });
      Sync(forms::Prop::Text);
    });
    if (QLineEdit* edit = combo_->lineEdit()) {
      QObject::connect(edit, &QLineEdit::textEdited, this, [this](const QString& t) {
        User([this, t] { m_.UserSetText(t.toStdString()); });
      });
    }
    return combo_;
  }
  QList<QWidget*> InputWidgets() override {
    if (combo_->lineEdit()) return {combo_, combo_->lineEdit()};
    return {combo_};
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::List) {
      const int from = shown_.Keep(m_);
      if (from == 0) combo_->clear();
      for (int i = from; i < m_.ListCount(); ++i) combo_->addItem(Q(m_.List(i)));
    }
    if (p == Prop::List || p == Prop::Selection || p == Prop::Text) {
      combo_->setCurrentIndex(m_.ListIndex());
      if (combo_->isEditable() && combo_->currentText() != Q(m_.Text())) {
        combo_->setEditText(Q(m_.Text()));
      }
    }
  }

 private:
  forms::ComboBox& m_;
  VbCombo* combo_ = nullptr;
  VbComboEdit* edit_ = nullptr;
  ShownRows shown_;
};

// ---- DirListBox: the open folder's ancestors, then its sub-folders
class DirView : public ControlView {
 public:
  DirView(forms::DirListBox& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    list_ = NewList(parent);
    QObject::connect(list_, &QListWidget::pressed, this, [this](const QModelIndex& index) {
      User([this, index] { m_.UserSelect(index.row() - m_.Depth()); });
      Sync(forms::Prop::Selection);
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
      const int index = list_->row(item) - m_.Depth();
      User([this, index] { m_.UserOpen(index); });
    });
    return list_;
  }
  QList<QWidget*> InputWidgets() override { return {list_, list_->viewport()}; }
  // The open folder's ancestors are rows too.
  bool KeyAction(const QKeyEvent& key) override {
    const int depth = m_.Depth();
    const int page =
        std::max(1, list_->viewport()->height() / std::max(1, list_->sizeHintForRow(0)));
    const int to = KeyTarget(key.key(), m_.ListIndex() + depth, m_.ListCount() + depth, page);
    if (to < 0) return false;
    User([&] { m_.UserSelect(to - depth); });
    return true;
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::List) {
      Fill();
      painter_.RowsAdded(0);
    }
    if (p == Prop::List || p == Prop::Selection) {
      const int row = m_.ListIndex() + m_.Depth();
      painter_.Show([row](int i) { return i == row; }, row, 0, list_->count() - 1, 0);
      painter_.ShowCurrent();
    }
    if (p == Prop::TopIndex) ScrollTo(list_, m_.TopIndex() + m_.Depth());
  }

 private:
  static QString Leaf(const std::string& path) {
    const std::string::size_type cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut + 1 == path.size()) return Q(path);
    return Q(path.substr(cut + 1));
  }
  void Fill() {
    list_->clear();
    const QIcon open = list_->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = list_->style()->standardIcon(QStyle::SP_DirClosedIcon);
    const int depth = m_.Depth();
    for (int level = 0; level < depth; ++level) {
      const std::string path = m_.List(level - depth);
      auto* item = new QListWidgetItem(open, level == 0 ? Q(path).toLower() : Leaf(path));
      item->setData(Qt::UserRole, level);
      list_->addItem(item);
    }
    for (int i = 0; i < m_.ListCount(); ++i) {
      list_->addItem(new QListWidgetItem(closed, Leaf(m_.List(i))));
    }
    // Indent by level, as the Windows folder list does.
    for (int r = 0; r < list_->count(); ++r) {
      const int level = r < depth ? r : depth;
      list_->item(r)->setText(QString(level * 2, ' ') + list_->item(r)->text());
    }
  }
  forms::DirListBox& m_;
  QListWidget* list_ = nullptr;
  SelectionPainter painter_{list_};
};

// ---- DriveListBox
class DriveView : public ControlView {
 public:
  DriveView(forms::DriveListBox& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    combo_ = new QComboBox(parent);
    const QIcon drive = combo_->style()->standardIcon(QStyle::SP_DriveHDIcon);
    combo_->setProperty("driveIcon", drive);
    QObject::connect(combo_, &QComboBox::activated, this, [this](int i) {
      User([this, i] { m_.UserSelect(i); });
      Sync(forms::Prop::Selection);  // a drive that is not ready leaves the old one
    });
    return combo_;
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::List) {
      combo_->clear();
      const QIcon drive = combo_->property("driveIcon").value<QIcon>();
      for (int i = 0; i < m_.ListCount(); ++i) combo_->addItem(drive, Q(m_.List(i)));
    }
    if (p == Prop::List || p == Prop::Selection || p == Prop::Value) {
      combo_->setCurrentIndex(m_.ListIndex());
    }
  }

 private:
  forms::DriveListBox& m_;
  QComboBox* combo_ = nullptr;
};

}  // namespace

std::unique_ptr<ControlView> MakeListView(forms::Control& c, FormWindow& w) {
  if (auto* m = dynamic_cast<forms::ListBox*>(&c)) return std::make_unique<ListBoxView>(*m, w);
  if (auto* m = dynamic_cast<forms::ComboBox*>(&c)) return std::make_unique<ComboView>(*m, w);
  if (auto* m = dynamic_cast<forms::DirListBox*>(&c)) return std::make_unique<DirView>(*m, w);
  if (auto* m = dynamic_cast<forms::DriveListBox*>(&c)) return std::make_unique<DriveView>(*m, w);
  return nullptr;
}

}  // namespace qtui
