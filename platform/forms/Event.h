#pragma once
// A VB event: one handler, assigned by the window that owns the control.
//
//   cmdOK.Click = [this] { cmdOK_Click(); };
//   filCapture.Scroll = [this] { filCapture_Scroll(); };
//   GeaThumb.Bind(&Gear::DblClick, [this](int Index) { GeaThumb_DblClick(Index); });
//
// Raising an event that has no handler does nothing, as in VB.

#include <functional>
#include <type_traits>
#include <utility>

namespace forms {

namespace detail {
// While positive, events are not raised (design-time properties are being set).
inline thread_local int eventsSuppressed = 0;
}  // namespace detail

// Holds events back while a layout sets design-time properties.
class SuppressEvents {
 public:
  SuppressEvents() { ++detail::eventsSuppressed; }
  ~SuppressEvents() { --detail::eventsSuppressed; }
  SuppressEvents(const SuppressEvents&) = delete;
  SuppressEvents& operator=(const SuppressEvents&) = delete;
};

template <class... Args>
class Event {
 public:
  Event() = default;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  template <class F>
  requires std::is_invocable_v<F&, Args...> Event& operator=(F handler) {
    fn_ = std::move(handler);
    return *this;
  }
  Event& operator=(std::nullptr_t) {
    fn_ = nullptr;
    return *this;
  }

  void operator()(Args... args) const {
    if (fn_ && detail::eventsSuppressed == 0) fn_(std::forward<Args>(args)...);
  }
  explicit operator bool() const { return static_cast<bool>(fn_); }

 private:
  std::function<void(Args...)> fn_;
};

}  // namespace forms
