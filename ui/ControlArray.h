#pragma once
// Control array: element 0 is created with the form; further elements are
// loaded at run time as hidden copies of element 0 (same container, size, look
// and caption). Loading an element that exists is error 360; using one that
// does not is error 340.
#include <functional>
#include <map>
#include <memory>

#include "base/RuntimeError.h"

namespace ui {

template <class T>
class ControlArray {
 public:
  T& operator[](int index) {
    auto it = items_.find(index);
    if (it == items_.end() || !it->second->Exists())
      throw twi::RuntimeError(twi::err::ControlArrayElementMissing,
                              "Control array element '" + std::to_string(index) +
                                  "' doesn't exist");
    return *it->second;
  }
  bool Exists(int index) const {
    auto it = items_.find(index);
    return it != items_.end() && it->second->Exists();
  }
  // Element 0, created by the form's design code.
  T& Design() { return *Slot(0); }
  // A further element that the form's design code creates itself.
  T& DesignElement(int index) { return *Slot(index); }
  void Load(int index) {
    if (Exists(index)) throw twi::RuntimeError::Numbered(twi::err::ObjectAlreadyLoaded);
    if (!Exists(0)) throw twi::RuntimeError(twi::err::ControlArrayElementMissing,
                                            "Control array element '0' doesn't exist");
    auto copy = std::make_unique<T>();
    copy->CreateCopyOf(*items_.at(0));
    T& element = *copy;
    items_[index] = std::move(copy);
    if (OnLoad) OnLoad(index, element);
  }
  void Unload(int index) {
    if (index != 0) items_.erase(index);
  }
  // Highest index of an existing element, -1 when none.
  int UBound() const {
    int top = -1;
    for (const auto& [index, item] : items_)
      if (item->Exists()) top = index;
    return top;
  }
  // Called for each element loaded at run time, with its index: where the form
  // gives the new element its event handlers (an array's events carry the index).
  std::function<void(int index, T& element)> OnLoad;

  template <class F>
  void ForEach(F f) {
    for (auto& [index, item] : items_)
      if (item->Exists()) f(index, *item);
  }

 private:
  T* Slot(int index) {
    auto& item = items_[index];
    if (!item) item = std::make_unique<T>();
    return item.get();
  }
  std::map<int, std::unique_ptr<T>> items_;
};

}  // namespace ui
