#include "ui/Forms.h"

#include <algorithm>

#include "base/DoEvents.h"
#include "base/NoDestructor.h"

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

int RunMessageLoop() {
  MSG msg;
  while (!Forms().All().empty()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return got == 0 ? static_cast<int>(msg.wParam) : 1;
    twi::DispatchOne(msg);
  }
  return 0;
}

FormList& Forms() { return twi::SharedInstance<FormList>(); }

}  // namespace ui
