#pragma once
// Small pieces the tool windows share: a statement whose errors are skipped, the click of a
// button pair, letting queued events run, and placing a window over the main window.

#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "core/ErrTrap.h"
#include "platform/forms/App.h"
#include "platform/forms/Form.h"

namespace tools {

// Runs one statement of a procedure that skips its failing statements (the procedure goes on
// with its next step).  forms::ProgramEnded still passes.  Returns false when the statement
// failed.
template <class F>
bool IgnoreErrors(F&& statement) {
  try {
    std::forward<F>(statement)();
    return true;
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    return false;
  }
}

// Makes body the Click of a text button and of its picture button, run as the event procedure
// named proc.
template <class Button, class Picture>
void BindClick(Button& button, Picture& picture, const std::string& proc,
               std::function<void()> body) {
  const std::function<void()> click = [proc, body = std::move(body)] {
    core::RunEvent(proc, body);
  };
  button.Click = click;
  picture.Click = click;
}

// Lets the events queued meanwhile run.
void DoEvents();

// Centres the window over the main window (top first, then left).
void CentreOnMainWindow(forms::Form& form);

}  // namespace tools
