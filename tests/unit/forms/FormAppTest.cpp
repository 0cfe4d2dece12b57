// The sample window driven headless: form life cycle, drag and drop, a modal
// dialog, message boxes, End, the single-instance lock.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/forms/HeadlessApp.h"
#include "platform/forms/SingleInstance.h"
#include "tests/support/SampleForm.h"
#include "tests/support/TempPrefix.h"

using namespace forms;

namespace {

struct FormAppTest : ::testing::Test {
  TempPrefix prefix;
  HeadlessApp app;
  void TearDown() override { ResetFormInstances(); }
};

TEST_F(FormAppTest, LifeCycleEventsComeInVbOrder) {
  SampleForm f;
  f.Show();
  EXPECT_EQ(f.log, (std::vector<std::string>{"Form_Load", "Form_Resize", "Form_Activate"}));
  EXPECT_EQ(Forms(), std::vector<Form*>{&f});
  f.Move(0, 0, 9000, 7000);
  EXPECT_EQ(f.log.back(), "Form_Resize");

  f.refuseClose = true;
  f.UserClose();
  EXPECT_TRUE(f.Loaded());
  EXPECT_EQ(f.log.back(), "Form_QueryUnload 0");
  f.refuseClose = false;
  EXPECT_TRUE(f.Unload());
  EXPECT_EQ(f.log.back(), "Form_Unload");
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(Forms().empty());
  // Loading again raises Form_Load again; the layout is not applied twice.
  f.log.clear();
  f.Load();
  EXPECT_EQ(f.log, std::vector<std::string>{"Form_Load"});
  EXPECT_EQ(f.lstFavorites.ListCount(), 2);
}

TEST_F(FormAppTest, KeysFocusAndDefaultButtons) {
  SampleForm f;
  f.Show();
  f.txtName.SetFocus();
  EXPECT_EQ(f.ActiveControl(), &f.txtName);
  std::vector<std::string> keys;
  f.txtName.KeyDown = [&](int& KeyCode, int) { keys.push_back(std::to_string(KeyCode)); };
  f.UserKeyDown(vbKeyR, vbCtrlMask);  // KeyPreview: the form sees it first
  EXPECT_EQ(f.log.back(), "Form_KeyDown 82 2");
  EXPECT_EQ(keys, std::vector<std::string>{"82"});
  f.UserKeyDown(vbKeyEscape, 0);
  EXPECT_EQ(f.log.back(), "cmdCancel_Click");
  // Enter on a button that has the focus presses that button.
  f.log.clear();
  f.cmdCancel.SetFocus();
  f.UserKeyDown(vbKeyReturn, 0);
  EXPECT_EQ(f.log.back(), "cmdCancel_Click");
  f.lblTitle.SetVisible(false);
  EXPECT_THROW(f.lblTitle.SetFocus(), vb::VbError);
}

TEST_F(FormAppTest, DragRaisesDragOverStatesAndDropsWithTheSource) {
  SampleForm f;
  f.Show();
  f.log.clear();
  DragDriver& d = DragDriver::Instance();
  std::vector<std::string> phases;
  int id = d.Subscribe([&](DragDriver::Phase p, Control& src) {
    phases.push_back((p == DragDriver::Phase::Began ? "began " : "ended ") + src.Name());
  });

  f.GeaThumb[0].UserMouseDown(vbLeftButton, 0, 10, 10);
  ASSERT_TRUE(d.Active());
  EXPECT_EQ(d.Source(), &f.GeaThumb[0]);
  EXPECT_FALSE(f.GeaThumb[0].DragIcon().Empty());
  d.MoveOver(&f.GeaThumb[0], 20, 20);  // over itself
  d.MoveOver(&f.GeaThumb[0], 30, 20);
  d.MoveOver(&f.GeaThumb[1], 10, 10);
  d.MoveOver(nullptr, 0, 0);
  d.MoveOver(&f.GeaThumb[1], 15, 10);
  d.Drop(15, 10);
  EXPECT_FALSE(d.Active());
  EXPECT_EQ(f.log, (std::vector<std::string>{
                       "GeaThumb_MouseDown 0", "GeaThumb_DragOver 0 GeaThumb 0",
                       "GeaThumb_DragOver 0 GeaThumb 2", "GeaThumb_DragOver 0 GeaThumb 1",
                       "GeaThumb_DragOver 1 GeaThumb 0", "GeaThumb_DragOver 1 GeaThumb 1",
                       "GeaThumb_DragOver 1 GeaThumb 0", "GeaThumb_DragDrop 1 <- GeaThumb(0)"}));

  // A drop on the trash picture; a cancelled drag leaves its target.
  f.log.clear();
  f.GeaThumb[1].UserMouseDown(vbLeftButton, 0, 1, 1);
  d.MoveOver(&f.imaTrash, 5, 5);
  d.Drop(5, 5);
  f.GeaThumb[0].UserMouseDown(vbLeftButton, 0, 1, 1);
  d.MoveOver(&f.GeaThumb[1], 5, 5);
  d.Cancel();
  EXPECT_EQ(f.log,
            (std::vector<std::string>{"GeaThumb_MouseDown 1", "imaTrash_DragDrop GeaThumb(1)",
                                      "GeaThumb_MouseDown 0", "GeaThumb_DragOver 1 GeaThumb 0",
                                      "GeaThumb_DragOver 1 GeaThumb 1"}));
  // The right button starts no drag.
  f.GeaThumb[0].UserMouseDown(vbRightButton, 0, 1, 1);
  EXPECT_FALSE(d.Active());
  d.Unsubscribe(id);
  EXPECT_EQ(phases.size(), 6u);
  EXPECT_EQ(phases[0], "began GeaThumb");
}

TEST_F(FormAppTest, ModalDialogReturnsAfterUnloadAndBoxesAreRecorded) {
  SampleForm f;
  f.Show();
  app.QueueAnswer(vbYes);
  app.QueueModal("FRMSAMPLEDIALOG", [](Form& dlgForm) {
    auto& dlg = dynamic_cast<SampleDialog&>(dlgForm);
    EXPECT_EQ(dlg.Caption(), "Sample Dialog");
    dlg.txtAnswer.UserSetText("typed");
    dlg.cmdDone.UserClick();
  });
  f.cmdOK.UserClick();
  EXPECT_EQ(f.dialogResult, "typed");
  EXPECT_EQ(f.log.back(), "dialog closed: typed");
  ASSERT_EQ(app.Boxes().size(), 1u);
  const MsgBoxRecord& box = app.Boxes()[0];
  EXPECT_EQ(box.title, "Sample");
  EXPECT_EQ(box.prompt, "Open the dialog?");
  EXPECT_EQ(box.ButtonSet(), vbYesNo);
  EXPECT_EQ(box.Icon(), vbQuestion);
  EXPECT_EQ(box.result, vbYes);
  ASSERT_EQ(app.ModalForms().size(), 1u);
  EXPECT_TRUE(app.ModalForms()[0].scripted);
  EXPECT_FALSE(app.ModalForms()[0].leftOpen);
  EXPECT_FALSE(FormInstance<SampleDialog>().IsModal());

  // Unscripted: the box's default button (No for vbDefaultButton2), and a
  // dialog nobody closes is closed by the harness.
  EXPECT_EQ(app.MsgBox("Sure?", vbYesNo + vbDefaultButton2), vbNo);
  EXPECT_EQ(app.Boxes().back().title, app.Title());
  app.QueueAnswer(vbYes);
  f.cmdOK.UserClick();
  EXPECT_TRUE(app.ModalForms().back().leftOpen);
  EXPECT_EQ(f.dialogResult, "default");  // a fresh instance after the unload
  // An answer the box has no button for is a scripting error.
  app.QueueAnswer(vbRetry);
  EXPECT_THROW(app.MsgBox("x", vbOKCancel), vb::VbError);
}

TEST_F(FormAppTest, EndStopsAtOnceWithoutUnloadEvents) {
  SampleForm f;
  f.Show();
  f.mnuFile_Entry[2].Click = [] { App::Current().End(); };
  f.log.clear();
  EXPECT_THROW(f.mnuFile_Entry[2].UserClick(), ProgramEnded);
  EXPECT_TRUE(app.Ended());
  EXPECT_EQ(app.EndCount(), 1);
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(app.ScreenWidth(), 15360);
  app.SetScreen(800, 600);
  EXPECT_EQ(app.ScreenHeight(), 9000);
  f.SetCaption("Corvane Velmora -  Version 1.0.0");
  EXPECT_TRUE(app.BringToFront("Corvane Velmora -  Version 1.0.0"));
  EXPECT_TRUE(app.BringToFront(app.Title()));  // the program's own title: its window
  EXPECT_FALSE(app.BringToFront("Other"));
  EXPECT_EQ(app.ShellOpen("C:\\Velmora\\Velmora.chm"), 42);
  EXPECT_EQ(app.ShellOpens().at(0).target, "C:\\Velmora\\Velmora.chm");
}

TEST_F(FormAppTest, SingleInstanceLockIsReleasedWhenItsProcessDies) {
  std::filesystem::path dir = prefix.Root();
  SingleInstance first("velmora", dir);
  EXPECT_FALSE(first.AnotherRunning());
  ASSERT_TRUE(first.Acquire());
  SingleInstance second("velmora", dir);
  EXPECT_TRUE(second.AnotherRunning());
  EXPECT_FALSE(second.Acquire());
  first.Release();
  EXPECT_FALSE(second.AnotherRunning());

  // A child takes the lock and dies without releasing it.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t pid = fork();
  if (pid == 0) {
    SingleInstance child("velmora", dir);
    char ok = child.Acquire() ? '1' : '0';
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, '1');
  EXPECT_TRUE(second.AnotherRunning());
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_FALSE(second.AnotherRunning());
  EXPECT_TRUE(second.Acquire());
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
