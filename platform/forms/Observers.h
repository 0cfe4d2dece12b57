#pragma once
// The callbacks an observed object (a control, a form, the drag) keeps.  Add
// answers the id Remove takes; Notify calls a copy of the list, so that a
// callback may subscribe or unsubscribe while it runs.

#include <functional>
#include <utility>
#include <vector>

namespace forms {

template <class... Args>
class Observers {
 public:
  using Fn = std::function<void(Args...)>;

  int Add(Fn fn) {
    const int id = next_++;
    list_.emplace_back(id, std::move(fn));
    return id;
  }
  void Remove(int id) {
    std::erase_if(list_, [id](const auto& entry) { return entry.first == id; });
  }
  void Notify(Args... args) const {
    if (list_.empty()) return;
    const auto copy = list_;
    for (const auto& entry : copy) entry.second(args...);
  }

 private:
  int next_ = 1;
  std::vector<std::pair<int, Fn>> list_;
};

}  // namespace forms
