#include "platform/activex/ComErrors.h"

#include <string>
#include <utility>

#include "base/Bstr.h"
#include "base/TextConv.h"

namespace twi::activex {
namespace {

// Standard texts of the automation errors, beside those the program knows.
std::string TextOfNumber(long number) {
  switch (number) {
    case 91: return "Object variable or With block variable not set";
    case kObjectDoesntSupport: return "Object doesn't support this property or method";
    case kAutomationError: return "Automation error";
    case kWrongArguments: return "Wrong number of arguments or invalid property assignment";
    default: return RuntimeError::StandardDescription(number);
  }
}

long NumberOfHResult(HRESULT hr) {
  switch (hr) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME: return kObjectDoesntSupport;
    case DISP_E_TYPEMISMATCH:
    case DISP_E_BADVARTYPE: return kTypeMismatch;
    case DISP_E_OVERFLOW: return 6;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
    case DISP_E_PARAMNOTFOUND:
    case DISP_E_NONAMEDARGS: return kWrongArguments;
    case E_OUTOFMEMORY: return 7;
    case E_INVALIDARG: return 5;
    default: break;
  }
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) return HRESULT_CODE(hr);
  return static_cast<long>(hr);
}

std::string DescriptionOf(HRESULT hr, long number) {
  if (number != static_cast<long>(hr)) {
    std::string text = TextOfNumber(number);
    return text.empty() ? "Application-defined or object-defined error" : text;
  }
  std::string text = SystemMessageText(static_cast<unsigned long>(hr));
  return text.empty() ? "Automation error" : text;
}

// The text of a BSTR field of an exception record, which is freed and cleared.
std::string TakeBstr(BSTR& b) { return Bstr::Adopt(std::exchange(b, nullptr)).Text(); }

}  // namespace

RuntimeError ControlCreationError(std::string_view componentFile) {
  return RuntimeError(err::ClassNotRegistered,
                      "Component '" + std::string(componentFile) +
                          "' or one of its dependencies not correctly registered: a file is "
                          "missing or invalid");
}

RuntimeError ObjectCreationError() {
  return RuntimeError(err::CannotCreateObject, "ActiveX component can't create object");
}

RuntimeError HResultError(HRESULT hr) {
  long number = NumberOfHResult(hr);
  return RuntimeError(number, DescriptionOf(hr, number));
}

RuntimeError DispatchError(HRESULT hr, EXCEPINFO& info) {
  if (hr != DISP_E_EXCEPTION) return HResultError(hr);
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  std::string description = TakeBstr(info.bstrDescription);
  TakeBstr(info.bstrSource);
  TakeBstr(info.bstrHelpFile);
  HRESULT scode = info.scode;
  long number = info.wCode ? info.wCode
                : HRESULT_FACILITY(scode) == FACILITY_CONTROL ? HRESULT_CODE(scode)
                                                              : static_cast<long>(scode);
  if (number == 0) number = kAutomationError;  // an exception that names no error at all
  if (description.empty()) {
    HRESULT basis = info.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode) : scode;
    description = DescriptionOf(basis, number);
  }
  return RuntimeError(number, description);
}

}  // namespace twi::activex
