#include "core/ErrTrap.h"

#include <algorithm>
#include <exception>
#include <new>

#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Convert.h"

namespace core {

Trap::Trap(std::string_view procName) {
  gCurrentProc = std::string(procName);
}

Trap& Trap::Expect(std::initializer_list<int> numbers, int action) {
  return Expect(numbers, [action](const vb::VbError&) { return action; });
}

Trap& Trap::Expect(std::initializer_list<int> numbers,
                   std::function<int(const vb::VbError&)> handler) {
  expected_.push_back({std::vector<int>(numbers), std::move(handler)});
  return *this;
}

Trap& Trap::OnError(std::function<std::optional<int>(const vb::VbError&)> handler) {
  general_.push_back(std::move(handler));
  return *this;
}

vb::VbError CurrentError() {
  try {
    throw;
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const vb::VbError& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return vb::VbError(vb::kOutOfMemory, vb::ErrorText(vb::kOutOfMemory));
  } catch (const std::exception& e) {
    return vb::VbError(51, vb::ErrorText(51), e.what());
  } catch (...) {
    return vb::VbError(51, vb::ErrorText(51));
  }
}

int Trap::Handle() {
  const vb::VbError err = CurrentError();
  lastError_ = err.Number();
  const int action = Decide(err);
  if (action == kRetry || action == kNext || action == kLeave) return action;
  throw err;
}

int Trap::Decide(const vb::VbError& err) {
  for (const auto& e : expected_) {
    if (std::find(e.numbers.begin(), e.numbers.end(), err.Number()) != e.numbers.end()) {
      return e.handler(err);
    }
  }
  for (const auto& handler : general_) {
    if (auto action = handler(err)) return *action;
  }
  gErrAction = static_cast<std::int16_t>(ErrReport(err.Number(), err.Description()));
  return gErrAction;
}

bool RunEvent(std::string_view eventName, const std::function<void()>& body) {
  try {
    body();
    return true;
  } catch (...) {
    const vb::VbError err = CurrentError();  // the End statement passes through here
    std::string text =
        err.Description().empty() ? vb::ErrorText(err.Number()) : err.DescriptionAndFile();
    forms::App::Current().MsgBox(
        "Error #" + vb::Str(err.Number()) + " in " + std::string(eventName) + ":\r\n" + text,
        forms::vbOKOnly | forms::vbExclamation, "Error");
    return false;
  }
}

}  // namespace core
