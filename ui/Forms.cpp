#include "ui/Forms.h"

#include <algorithm>

namespace ui {

void FormList::Add(Form* form) {
  if (!Contains(form)) forms_.push_back(form);
}

void FormList::Remove(Form* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

bool FormList::Contains(const Form* form) const {
  return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

FormList& Forms() {
  static FormList list;
  return list;
}

}  // namespace ui
