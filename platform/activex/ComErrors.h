#pragma once
// The run-time errors (number and description) that COM failures become, so the
// scan shows and logs them as the program always has.
//
// Creation
//   - a control (created by ProgID because a window hosts it) that cannot be
//     created, whatever the cause (unknown ProgID CO_E_CLASSSTRING, class not
//     registered, server file missing, interface refused):
//       339 "Component '<FILE>' or one of its dependencies not correctly
//            registered: a file is missing or invalid"
//   - an object created by class id (not a control) that cannot be created:
//       429 "ActiveX component can't create object"
//
// IDispatch::Invoke
//   - DISP_E_EXCEPTION: the object's EXCEPINFO (completed through its deferred
//     fill-in first). Number: wCode when set; else the low word of an scode of
//     the control facility (0x800Axxxx); else the scode as a signed number.
//     Neither set: 440 "Automation error".
//     Description: bstrDescription; when empty, the text that the number has
//     in the rule for HRESULTs below.
//   - any other failure: the rule for HRESULTs below.
//
// HRESULTs (failed Invoke, GetIDsOfNames, vtable calls)
//   DISP_E_MEMBERNOTFOUND, DISP_E_UNKNOWNNAME  438 "Object doesn't support this property or method"
//   DISP_E_TYPEMISMATCH, DISP_E_BADVARTYPE     13  "Type mismatch"
//   DISP_E_OVERFLOW                            6   "Overflow"
//   DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTOPTIONAL, DISP_E_PARAMNOTFOUND,
//   DISP_E_NONAMEDARGS                         450 "Wrong number of arguments or invalid
//                                                   property assignment"
//   E_OUTOFMEMORY                              7   "Out of memory"
//   E_INVALIDARG                               5   "Invalid procedure call or argument"
//   0x800Axxxx (control facility)              xxxx with its standard text, else
//                                              "Application-defined or object-defined error"
//   anything else                              the HRESULT as a signed 32-bit number
//                                              (E_NOTIMPL is -2147467263) with the
//                                              system's text for it, else "Automation error"
#include <windows.h>
#include <oaidl.h>

#include <string_view>

#include "base/RuntimeError.h"

namespace twi::activex {

constexpr long kObjectDoesntSupport = 438;
constexpr long kWrongArguments = 450;
constexpr long kTypeMismatch = 13;
constexpr long kAutomationError = 440;

RuntimeError ControlCreationError(std::string_view componentFile);
RuntimeError ObjectCreationError();
// Takes over the EXCEPINFO's strings (frees them).
RuntimeError DispatchError(HRESULT hr, EXCEPINFO& info);
RuntimeError HResultError(HRESULT hr);

}  // namespace twi::activex
