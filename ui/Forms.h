#pragma once
// The loaded forms of the process, in load order, and the count of modal
// showings in progress (a modal form or message box).
#include <vector>

namespace ui {

class Form;

class FormList {
 public:
  void Add(Form* form);
  void Remove(Form* form);
  std::vector<Form*> All() const { return forms_; }
  bool Contains(const Form* form) const;
  int ModalDepth() const { return modalDepth_; }
  void EnterModal() { ++modalDepth_; }
  void LeaveModal() { --modalDepth_; }

 private:
  std::vector<Form*> forms_;
  int modalDepth_ = 0;
};

FormList& Forms();

// The program's main message loop: runs messages until no form is loaded any
// more or WM_QUIT arrives; returns the quit code.
int RunMessageLoop();

}  // namespace ui
