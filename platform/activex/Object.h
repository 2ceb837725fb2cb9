#pragma once
// An automation object (an ActiveX control or a speech object) driven the way
// the runtime scan drives it: created in-process by ProgID or by class id, then
// called by dispatch id, by member name or by vtable slot. Every failure is a
// twi::RuntimeError; the numbers and texts are listed in ComErrors.h.
// COM must be initialised on the calling thread (CoInitialize / OleInitialize).
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/activex/ComPtr.h"

namespace twi::activex {

// Vtable slots taken by IUnknown (3) and IDispatch (4): the first method that
// an IDispatch-derived interface adds is at this index.
constexpr unsigned kFirstSlotAfterIDispatch = 3 + 4;

// One argument of a call: a text (BSTR), a boolean (VARIANT_BOOL), a 32-bit
// integer (VT_I4), or an omitted optional argument (VT_ERROR holding
// DISP_E_PARAMNOTFOUND).
class Arg {
 public:
  static Arg Text(std::string_view text);
  static Arg Bool(bool value);
  static Arg Long(std::int32_t value);
  static Arg Missing();
  // Fills an empty VARIANT; the caller clears it.
  void ToVariant(VARIANT& variant) const;

 private:
  enum class Kind { Text, Bool, Long, Missing };
  explicit Arg(Kind kind) : kind_(kind) {}
  Kind kind_;
  std::string text_;
  std::int32_t number_ = 0;
};

class Object {
 public:
  Object() = default;
  explicit Object(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}

  // A control, as a window hosting it creates it: CLSIDFromProgID, then an
  // in-process instance through IDispatch. Any failure is error 339 naming
  // componentFile (for example "MSINET.OCX").
  static Object CreateControl(std::string_view progId, std::string_view componentFile);
  // An in-process object through the interface `iid`, which must derive from
  // IDispatch (the object is then driven through that very pointer). Any
  // failure is error 429.
  static Object CreateByClsid(const CLSID& clsid, const IID& iid);

  bool IsEmpty() const { return !dispatch_; }
  void Release() { dispatch_.Reset(); }
  IDispatch* Dispatch() const { return dispatch_.Get(); }

  // Property put (DISPATCH_PROPERTYPUT with the named argument DISPID_PROPERTYPUT).
  void PutProperty(DISPID id, const Arg& value);
  // Property get whose value is an object (a collection, for example).
  Object GetObjectProperty(DISPID id);
  // Method call; `args` in the order of the method's parameters. Trailing
  // omitted arguments may simply be left out.
  void CallMethod(DISPID id, std::initializer_list<Arg> args = {});
  // The dispatch id of a member name (GetIDsOfNames); unknown names are 438.
  DISPID IdOfName(std::string_view name);
  void CallMethod(std::string_view name, std::initializer_list<Arg> args);
  // Calls the method at vtable index `slot` of the interface the object was
  // created through, with one text argument: HRESULT (STDMETHODCALLTYPE *)(this, BSTR).
  // The caller vouches that the interface has such a method there.
  void CallSlotWithText(unsigned slot, std::string_view text);

 private:
  IDispatch& Target();
  ComPtr<IDispatch> dispatch_;
};

}  // namespace twi::activex
