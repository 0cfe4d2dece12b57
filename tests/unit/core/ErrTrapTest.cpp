// The error trap, the error report and the debug trace.

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>

#include "core/ErrTrap.h"
#include "core/modVBCommon.h"
#include "platform/winfs/WinFs.h"
#include "tests/support/CoreFixture.h"

namespace {

using core::Trap;

class ErrTrapTest : public CoreFixture {
 protected:
  // A procedure named "DelPict" whose second statement fails once with `number`; records which
  // statements ran.
  std::string RunFailingOnce(int number) {
    std::string ran;
    int failures = 0;
    Trap trap("DelPict");
    trap.Step([&] { ran += "a"; });
    trap.Step([&] {
      ran += "b";
      if (failures++ == 0) vb::Raise(number);
      ran += "B";
    });
    trap.Step([&] { ran += "c"; });
    return ran;
  }
};

TEST_F(ErrTrapTest, DiskNotReadyInDelPictIsRetriedSkippedOrLeftAsAnswered) {
  app.QueueAnswer(forms::vbRetry);
  EXPECT_EQ(RunFailingOnce(vb::kDiskNotReady), "abbBc");
  EXPECT_EQ(core::gErrAction, core::kRetry);

  app.QueueAnswer(forms::vbIgnore);
  EXPECT_EQ(RunFailingOnce(vb::kDiskNotReady), "abc");
  EXPECT_EQ(core::gErrAction, core::kNext);

  app.QueueAnswer(forms::vbAbort);
  EXPECT_EQ(RunFailingOnce(vb::kDiskNotReady), "ab");
  EXPECT_EQ(core::gErrAction, core::kLeave);

  ASSERT_EQ(app.Boxes().size(), 3u);
  for (const auto& box : app.Boxes()) {
    EXPECT_EQ(box.prompt, "Disk not ready.\r\nError # 71 in module DelPict.");
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.ButtonSet(), forms::vbAbortRetryIgnore);
  }
}

TEST_F(ErrTrapTest, DeviceErrorsAskAndOtherNumbersGoToTheCallerSilently) {
  for (int number : {57, 61, 68}) {
    app.QueueAnswer(forms::vbIgnore);
    EXPECT_EQ(RunFailingOnce(number), "abc");
  }
  EXPECT_EQ(app.Boxes().size(), 3u);
  EXPECT_EQ(app.Boxes()[1].prompt, "Disk full.\r\nError # 61 in module DelPict.");

  try {
    RunFailingOnce(vb::kInvalidProcedureCall);
    FAIL() << "error 5 must reach the caller";
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 5);
  }
  EXPECT_EQ(core::gErrAction, core::kRaise);
  EXPECT_EQ(app.Boxes().size(), 3u);
}

TEST_F(ErrTrapTest, LongProcedureNameIsCutToTwentyInTheBox) {
  app.QueueAnswer(forms::vbAbort);
  Trap trap("ThisNameHasTwentyFiveChrs");
  trap.Step([] { vb::Raise(vb::kDeviceIO); });
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "Device I/O error.\r\nError # 57 in module ThisNameHasTwentyFiv.");
  EXPECT_EQ(core::gCurrentProc.str(), "ThisNameHasTwentyFiv");
}

TEST_F(ErrTrapTest, CorruptDatabaseErrorShowsItsMessageAndEndsTheProgram) {
  Trap trap("Anything");
  EXPECT_THROW(trap.Step([] { vb::Raise(vb::kDatabaseLocked); }), forms::ProgramEnded);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt,
            "The databases may be corrupt.  Please run the rebuild programs. (Double Click on "
            "the icons) and restart Folio Manager.");
  EXPECT_EQ(app.Boxes()[0].title, "Velmora");
  EXPECT_EQ(app.EndCount(), 1);
}

TEST_F(ErrTrapTest, ExpectedNumbersAreHandledBeforeTheReport) {
  bool result = true;
  Trap trap("FileExists");
  trap.Expect({vb::kFileNotFound, vb::kPathNotFound}, core::kLeave);
  trap.Step([&] { result = false; });
  trap.Step([] { vb::Raise(vb::kPathNotFound); });
  bool ranAfterLeave = false;
  trap.Step([&] { ranAfterLeave = true; });
  EXPECT_FALSE(result);
  EXPECT_FALSE(ranAfterLeave);
  EXPECT_TRUE(trap.Left());
  EXPECT_TRUE(app.Boxes().empty());

  int tries = 0;
  Trap retrying("Retrying");
  retrying.OnError([&](const vb::VbError& e) -> std::optional<int> {
    if (e.Number() == vb::kBadFileName && tries < 3) return core::kRetry;
    return std::nullopt;
  });
  retrying.Step([&] {
    if (++tries < 3) vb::Raise(vb::kBadFileName);
  });
  EXPECT_EQ(tries, 3);
}

TEST_F(ErrTrapTest, ForeignExceptionsBecomeVbErrorsAndEndPassesThrough) {
  Trap trap("Foreign");
  try {
    trap.Step([] { throw std::runtime_error("boom"); });
    FAIL();
  } catch (const vb::VbError& e) {
    EXPECT_EQ(e.Number(), 51);
  }
  Trap ending("Ending");
  EXPECT_THROW(ending.Step([&] { app.End(); }), forms::ProgramEnded);
}

TEST_F(ErrTrapTest, ValueGivesTheFallbackWhenTheStatementIsSkipped) {
  app.QueueAnswer(forms::vbIgnore);
  Trap trap("Valued");
  EXPECT_EQ(trap.Value([] { return 7; }, 0), 7);
  EXPECT_EQ(trap.Value([]() -> int { vb::Raise(vb::kDiskNotReady); }, -1), -1);
}

TEST_F(ErrTrapTest, ErrorThatNobodyTakesIsReportedOnceAndEndsOnlyTheEvent) {
  bool after = false;
  auto callee = [] {
    Trap trap("Callee");
    trap.Step([] { vb::Raise(vb::kFileNotFound); });
  };
  auto caller = [&] {
    Trap trap("Caller");
    trap.Step(callee);
    after = true;  // not reached: the error went on to the event
  };
  EXPECT_FALSE(core::RunEvent("cmdOK_Click", caller));
  EXPECT_FALSE(after);
  ASSERT_EQ(app.Boxes().size(), 1u);
  EXPECT_EQ(app.Boxes()[0].prompt, "Error # 53 in cmdOK_Click:\r\nFile not found");
  EXPECT_EQ(app.Boxes()[0].title, "Error");

  // An error about a file names it here, where the message is the program's own.
  EXPECT_FALSE(core::RunEvent("cmdOK_Click", [] { winfs::RaiseFromErrno(ENOENT, "C:\\A.JPG"); }));
  EXPECT_EQ(app.Boxes().at(1).prompt, "Error # 53 in cmdOK_Click:\r\nFile not found: C:\\A.JPG");

  EXPECT_TRUE(core::RunEvent("cmdOK_Click", [] {}));
  EXPECT_THROW(core::RunEvent("mnuExit_Click", [&] { app.End(); }), forms::ProgramEnded);
  EXPECT_EQ(app.Boxes().size(), 2u);
}

// ---- Debug trace

class DebugTraceTest : public CoreFixture {};

TEST_F(DebugTraceTest, WithoutSwitchesOnlyCounts) {
  core::DebugTrace("ReadGlobals", "");
  core::DebugTrace("IniFile:", "C:\\APPRAISE\\VELMORA.INI");
  EXPECT_EQ(core::gTraceCount, 2);
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(app.DoEventsCount(), 0);
}

TEST_F(DebugTraceTest, SlashDShowsEveryStepAndSlashSHidesPictures) {
  winfs::SetCommandLine("/d /s");
  core::DebugTrace("Windows Directory:", "C:\\APPRAISE\\");
  core::DebugTrace("Pic", "c:\\glenvue\\house.jpg");
  core::DebugTrace("IniFile:", "C:\\APPRAISE\\VELMORA.INI");
  core::DebugTrace("Pic", "C:\\x\\A.Bmp");
  ASSERT_EQ(app.Boxes().size(), 2u);
  EXPECT_EQ(app.Boxes()[0].prompt, "1:Windows Directory:,C:\\APPRAISE\\");
  EXPECT_EQ(app.Boxes()[1].prompt, "3:IniFile:,C:\\APPRAISE\\VELMORA.INI");
  EXPECT_EQ(app.Boxes()[1].title, "Velmora");
  EXPECT_EQ(app.DoEventsCount(), 0);

  winfs::SetCommandLine("/D");
  core::DebugTrace("Pic", "house.JPG");
  EXPECT_EQ(app.Boxes().size(), 3u);
}

TEST_F(DebugTraceTest, SlashTwoLetsEventsRunWithoutBoxes) {
  winfs::SetCommandLine("/2");
  core::DebugTrace("SetTabs", "");
  core::DebugTrace("checkUpdate", "");
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(app.DoEventsCount(), 2);
  EXPECT_EQ(core::gbTraceDoEvents, core::vbTrue);
}

TEST_F(DebugTraceTest, CounterStartsAgainAfterItsLargestValue) {
  core::gTraceCount = 32767;
  core::DebugTrace("x", "");
  EXPECT_EQ(core::gTraceCount, 1);
}

}  // namespace
