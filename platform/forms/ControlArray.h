#pragma once
// Control arrays: elements by index, with gaps (imaGeneral 0..36 and 40).
//
//   forms::ControlArray<forms::Gear> GeaThumb{*this, "GeaThumb"};
//   ...
//   GeaThumb.Bind(&Gear::DblClick, [this](int Index) { GeaThumb_DblClick(Index); });
//   GeaThumb.Bind(&Gear::DragDrop, [this](int Index, Control& Source, float X, float Y) {...});
//   GeaThumb[3].SetVisible(false);          // 340 when element 3 does not exist
//
// Elements are created by the window's layout file (or by Load(i), VB's Load
// statement); handlers bound with Bind() reach elements created later too.

#include <concepts>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Control.h"
#include "platform/vbrt/VbError.h"

namespace forms {

class ControlArrayBase {
 public:
  ControlArrayBase(Form& form, std::string name, std::string elementType);
  virtual ~ControlArrayBase();
  ControlArrayBase(const ControlArrayBase&) = delete;
  ControlArrayBase& operator=(const ControlArrayBase&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& ElementType() const { return elementType_; }
  Form& Parent() const { return form_; }

  virtual Control* Find(int index) const = 0;
  // The element, created when missing (layout loader).
  virtual Control& Ensure(int index) = 0;
  virtual std::vector<int> Indexes() const = 0;

  // Raises 340 "Control array element 'n' doesn't exist".
  [[noreturn]] static void RaiseMissing(int index);

 private:
  Form& form_;
  std::string name_;
  std::string elementType_;
};

template <class T>
requires std::derived_from<T, Control>
class ControlArray final : public ControlArrayBase {
 public:
  ControlArray(Form& form, std::string name) : ControlArrayBase(form, name, T::kTypeName) {}
  ~ControlArray() override { elements_.clear(); }

  T& operator[](int index) const { return At(index); }
  T& operator()(int index) const { return At(index); }
  T& At(int index) const {
    auto it = elements_.find(index);
    if (it == elements_.end()) RaiseMissing(index);
    return *it->second;
  }
  bool Exists(int index) const { return elements_.count(index) != 0; }
  int Count() const { return static_cast<int>(elements_.size()); }
  // VB raises 340 for LBound/UBound of an empty array; so do these.
  int LBound() const {
    if (elements_.empty()) RaiseMissing(0);
    return elements_.begin()->first;
  }
  int UBound() const {
    if (elements_.empty()) RaiseMissing(0);
    return elements_.rbegin()->first;
  }

  // VB's `Load arr(i)`: a new element, hidden as VB creates it, taking the
  // design-time properties of the lowest element.  360 when it exists, 341
  // for a negative index.
  T& Load(int index);
  // VB's `Unload arr(i)`; 340 when missing.
  void Unload(int index);

  // Binds an event of every element (present and future) to f(Index, args...).
  template <class E, class C, class F>
  requires std::derived_from<T, C>
  void Bind(E C::*event, F f) {
    auto binder = [event, f](T& el) {
      int index = el.Index();
      (el.*event) = [f, index](auto&&... args) { f(index, std::forward<decltype(args)>(args)...); };
    };
    for (auto& [i, el] : elements_) binder(*el);
    binders_.push_back(std::move(binder));
  }

  Control* Find(int index) const override {
    auto it = elements_.find(index);
    return it == elements_.end() ? nullptr : it->second.get();
  }
  Control& Ensure(int index) override {
    if (auto* c = Find(index)) return *c;
    return Create(index);
  }
  std::vector<int> Indexes() const override {
    std::vector<int> out;
    for (auto& [i, el] : elements_) out.push_back(i);
    return out;
  }

  // Iteration in index order: for (Gear& g : GeaThumb) ...
  class iterator {
   public:
    using Base = typename std::map<int, std::unique_ptr<T>>::const_iterator;
    explicit iterator(Base b) : b_(b) {}
    T& operator*() const { return *b_->second; }
    T* operator->() const { return b_->second.get(); }
    iterator& operator++() {
      ++b_;
      return *this;
    }
    bool operator==(const iterator& o) const { return b_ == o.b_; }

   private:
    Base b_;
  };
  iterator begin() const { return iterator(elements_.begin()); }
  iterator end() const { return iterator(elements_.end()); }

 private:
  T& Create(int index) {
    if (index < 0) vb::Raise(341);
    auto el = std::make_unique<T>(Parent(), Name(), index);
    T& ref = *el;
    elements_.emplace(index, std::move(el));
    for (auto& b : binders_) b(ref);
    return ref;
  }

  std::map<int, std::unique_ptr<T>> elements_;
  std::vector<std::function<void(T&)>> binders_;
};

template <class T>
requires std::derived_from<T, Control> T& ControlArray<T>::Load(int index) {
  if (Exists(index)) vb::Raise(360);
  const T* model = elements_.empty() ? nullptr : elements_.begin()->second.get();
  T& el = Create(index);
  if (model) el.CopyDesignFrom(*model);
  el.SetVisible(false);
  return el;
}

template <class T>
requires std::derived_from<T, Control>
void ControlArray<T>::Unload(int index) {
  auto it = elements_.find(index);
  if (it == elements_.end()) RaiseMissing(index);
  elements_.erase(it);
}

}  // namespace forms
