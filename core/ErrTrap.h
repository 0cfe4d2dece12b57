#pragma once
// The error trap of a procedure, and the rule for an error that no procedure takes.
//
// A procedure that traps its errors names itself, then runs each of its statements through
// the trap.  When a statement raises vb::VbError, the trap first offers it to the expectations
// the procedure declared; otherwise it asks the common error report (gErrAction :=
// ErrReport(number)) and acts on the answer:
//
//   kRetry  (0)  the statement runs again;
//   kNext   (1)  the statement counts as done and the next one runs;
//   kLeave  (2)  the procedure is left: Step returns false and every later Step does nothing,
//                so the function returns what it has set so far;
//   anything else (kRaise, 3)  the same error is raised again to the caller, whose own trap
//                (or the event handler's RunEvent) takes it.
//
// Example:
//
//   bool FileExists(const std::string& path) {
//     core::Trap trap("FileExists");                 // gCurrentProc := "FileExists"
//     trap.Expect({vb::kFileNotFound, vb::kPathNotFound}, core::kLeave);  // no report for these
//     bool result = false;
//     trap.Step([&] { result = winfs::FileLen(path) >= 1; });             // one statement
//     return result;
//   }
//
//   Other forms: trap.Expect({75}, [&](const vb::VbError&) { ClearAttributes(); return
//   core::kRetry; }); trap.OnError(fn) where fn answers an action or std::nullopt (ask the
//   report); `if (!trap.Step(...)) return value;` where code between steps must not run once
//   the procedure was left; trap.Value(expression, fallback) for a statement with a value.
//
// A statement is one Step: when it is retried or skipped, it is retried or skipped as a whole,
// so keep a step to what the procedure would retry or skip together.  A function value set in
// a step is kept when a later step leaves.
//
// Exceptions other than vb::VbError raised inside a step are taken as VbError 7 (out of memory)
// for std::bad_alloc and VbError 51 (internal error) otherwise, so nothing else ever reaches a
// caller.  forms::ProgramEnded (the End statement) always passes straight through.
//
// RunEvent is the top of every chain: an event handler runs its body through it.  A VbError
// that every procedure on the way up handed on is shown once, in a box titled "Error" with the
// OK button and the exclamation icon:
//
//   Error # 53 in cmdOK_Click:
//   File not found
//
// and ends that event only; the program goes on.  RunEvent returns false in that case.

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/vbrt/VbError.h"

namespace core {

// The answers of ErrReport, kept in gErrAction.
enum ErrAction : int { kRetry = 0, kNext = 1, kLeave = 2, kRaise = 3 };

class Trap {
 public:
  // Sets gCurrentProc to the procedure's name (padded or cut to 20 characters).
  explicit Trap(std::string_view procName);

  Trap(const Trap&) = delete;
  Trap& operator=(const Trap&) = delete;

  // Errors with one of these numbers get this answer, without asking ErrReport.
  Trap& Expect(std::initializer_list<int> numbers, int action);
  // Errors with one of these numbers are given to the handler, whose answer is acted on.
  Trap& Expect(std::initializer_list<int> numbers, std::function<int(const vb::VbError&)> handler);
  // The general form: the handler answers an action, or nullopt to ask ErrReport.
  Trap& OnError(std::function<std::optional<int>(const vb::VbError&)> handler);

  // Runs one statement.  Returns true while the procedure goes on, false once it was left.
  template <class F>
  bool Step(F&& statement) {
    if (left_) return false;
    for (;;) {
      int action = kNext;
      try {
        std::forward<F>(statement)();
        return true;
      } catch (...) {
        action = Handle();  // rethrows for kRaise and for the End statement
      }
      if (action == kRetry) continue;
      if (action == kLeave) left_ = true;
      return !left_;
    }
  }

  // Runs an expression as one statement; its value, or `fallback` when the statement was
  // skipped or the procedure left.
  template <class F, class T>
  T Value(F&& expression, T fallback) {
    T value = std::move(fallback);
    Step([&] { value = std::forward<F>(expression)(); });
    return value;
  }

  // The procedure was left through kLeave.
  bool Left() const { return left_; }
  // Number of the last error the trap took (0 when none).
  int LastError() const { return lastError_; }

 private:
  int Handle();
  int Decide(const vb::VbError& err);

  struct Expectation {
    std::vector<int> numbers;
    std::function<int(const vb::VbError&)> handler;
  };
  std::vector<Expectation> expected_;
  std::vector<std::function<std::optional<int>(const vb::VbError&)>> general_;
  bool left_ = false;
  int lastError_ = 0;
};

// The current exception as a VbError (inside a catch block); rethrows forms::ProgramEnded.
vb::VbError CurrentError();

// Runs an event handler's body.  See above; returns false when an error ended the event.
bool RunEvent(std::string_view eventName, const std::function<void()>& body);

}  // namespace core
