// MsgBox through the Qt services: every button set returns VB's value for the
// button pressed, the title defaults to the program's, and Escape follows VB.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/forms/App.h"
#include "platform/qtui/MessageBox.h"

namespace {

using namespace forms;

struct Seen {
  QString title;
  QString text;
  QStringList buttons;
  bool found = false;
};

// Acts as the user once the box is up: presses the button with this text, or
// Escape first when escapeFirst is set (and then the button if the box stays).
void AnswerNextBox(const QString& press, Seen* seen, bool escapeFirst = false) {
  QTimer::singleShot(20, [=] {
    auto* box = qobject_cast<qtui::VbMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      AnswerNextBox(press, seen, escapeFirst);  // not up yet
      return;
    }
    seen->found = true;
    seen->title = box->windowTitle();
    seen->text = box->text();
    for (QAbstractButton* b : box->buttons()) seen->buttons << b->text();
    if (escapeFirst) QTest::keyClick(box, Qt::Key_Escape);
    if (!box->isVisible()) return;
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == press) b->click();
    }
  });
}

TEST(MessageBox, EachButtonSetReturnsTheVbValueOfThePressedButton) {
  struct Case {
    int buttons;
    const char* press;
    int expected;
    QStringList all;
  } cases[] = {
      {vbOKOnly, "OK", vbOK, {"OK"}},
      {vbOKCancel, "Cancel", vbCancel, {"OK", "Cancel"}},
      {vbAbortRetryIgnore | vbCritical, "&Retry", vbRetry, {"&Abort", "&Retry", "&Ignore"}},
      {vbAbortRetryIgnore, "&Ignore", vbIgnore, {"&Abort", "&Retry", "&Ignore"}},
      {vbYesNoCancel | vbQuestion, "&No", vbNo, {"&Yes", "&No", "Cancel"}},
      {vbYesNo | vbExclamation, "&Yes", vbYes, {"&Yes", "&No"}},
      {vbRetryCancel | vbInformation, "&Retry", vbRetry, {"&Retry", "Cancel"}},
  };
  for (const Case& c : cases) {
    Seen seen;
    AnswerNextBox(c.press, &seen);
    const int result = App::Current().MsgBox("Continue?", c.buttons, "Question");
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(result, c.expected) << c.buttons;
    EXPECT_EQ(seen.buttons, c.all) << c.buttons;
    EXPECT_EQ(seen.title, "Question");
  }
}

TEST(MessageBox, EmptyTitleShowsTheProgramTitle) {
  Seen seen;
  AnswerNextBox("OK", &seen);
  EXPECT_EQ(App::Current().MsgBox("Saved.", vbOKOnly | vbInformation), vbOK);
  EXPECT_EQ(seen.title, QString::fromStdString(App::Current().Title()));
  EXPECT_EQ(seen.text, "Saved.");
}

TEST(MessageBox, EscapeAnswersCancelOrOkAndIsIgnoredWithoutThem) {
  Seen a;
  AnswerNextBox("OK", &a, true);
  EXPECT_EQ(App::Current().MsgBox("x", vbOKCancel), vbCancel);
  Seen b;
  AnswerNextBox("never", &b, true);
  EXPECT_EQ(App::Current().MsgBox("x", vbOKOnly), vbOK);
  Seen c;
  AnswerNextBox("&No", &c, true);  // Escape does nothing; then No is pressed
  EXPECT_EQ(App::Current().MsgBox("x", vbYesNo), vbNo);
  Seen d;
  AnswerNextBox("&Abort", &d, true);
  EXPECT_EQ(App::Current().MsgBox("x", vbAbortRetryIgnore), vbAbort);
}

TEST(MessageBox, DefaultButtonFollowsTheFlags) {
  qtui::VbMessageBox box("x", vbYesNoCancel | vbDefaultButton2, "t");
  ASSERT_NE(box.defaultButton(), nullptr);
  EXPECT_EQ(box.ResultOf(box.defaultButton()), vbNo);
  qtui::VbMessageBox third("x", vbYesNo | vbDefaultButton3, "t");  // no third button
  EXPECT_EQ(third.ResultOf(third.defaultButton()), vbYes);
}

}  // namespace
