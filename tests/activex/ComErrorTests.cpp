// How COM failures become run-time errors (no COM server involved).
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "platform/activex/ComErrors.h"

namespace {

using twi::activex::DispatchError;
using twi::activex::HResultError;

EXCEPINFO Exception(WORD wCode, HRESULT scode, const wchar_t* description) {
  EXCEPINFO info{};
  info.wCode = wCode;
  info.scode = scode;
  info.bstrDescription = description ? SysAllocString(description) : nullptr;
  info.bstrSource = SysAllocString(L"Source");
  return info;
}

TEST(ComErrors, CreationFailuresNameTheComponentOrSay429) {
  auto control = twi::activex::ControlCreationError("MSINET.OCX");
  EXPECT_EQ(control.Number(), 339);
  EXPECT_EQ(control.Description(),
            "Component 'MSINET.OCX' or one of its dependencies not correctly registered: a file "
            "is missing or invalid");
  auto object = twi::activex::ObjectCreationError();
  EXPECT_EQ(object.Number(), 429);
  EXPECT_EQ(object.Description(), "ActiveX component can't create object");
}

TEST(ComErrors, ExceptionInfoGivesNumberAndDescription) {
  // wCode wins over scode; the object's own text is kept.
  EXCEPINFO info = Exception(1234, E_FAIL, L"Custom text");
  auto e = DispatchError(DISP_E_EXCEPTION, info);
  EXPECT_EQ(e.Number(), 1234);
  EXPECT_EQ(e.Description(), "Custom text");
  EXPECT_EQ(info.bstrDescription, nullptr);  // taken over and freed
  EXPECT_EQ(info.bstrSource, nullptr);

  // A control-facility scode carries the number in its low word.
  info = Exception(0, MAKE_HRESULT(1, FACILITY_CONTROL, 35764), L"Still executing");
  e = DispatchError(DISP_E_EXCEPTION, info);
  EXPECT_EQ(e.Number(), 35764);
  EXPECT_EQ(e.Description(), "Still executing");

  // Without a description: the number's standard text, or the system's text.
  info = Exception(53, 0, nullptr);
  EXPECT_EQ(DispatchError(DISP_E_EXCEPTION, info).Description(), "File not found");
  info = Exception(0, E_OUTOFMEMORY, nullptr);
  e = DispatchError(DISP_E_EXCEPTION, info);
  EXPECT_EQ(e.Number(), static_cast<long>(E_OUTOFMEMORY));
  EXPECT_FALSE(e.Description().empty());

  info = Exception(0, 0, nullptr);
  e = DispatchError(DISP_E_EXCEPTION, info);
  EXPECT_EQ(e.Number(), 440);
  EXPECT_EQ(e.Description(), "Automation error");
}

HRESULT STDAPICALLTYPE FillInLater(EXCEPINFO* e) {
  e->wCode = 7;
  e->bstrDescription = SysAllocString(L"Filled in later");
  return S_OK;
}

TEST(ComErrors, ExceptionInfoIsCompletedByItsDeferredFillIn) {
  EXCEPINFO info{};
  info.pfnDeferredFillIn = &FillInLater;
  auto e = DispatchError(DISP_E_EXCEPTION, info);
  EXPECT_EQ(e.Number(), 7);
  EXPECT_EQ(e.Description(), "Filled in later");
}

TEST(ComErrors, DispatchResultsMapToAutomationErrors) {
  struct Case {
    HRESULT hr;
    long number;
    const char* description;
  };
  const Case cases[] = {
      {DISP_E_MEMBERNOTFOUND, 438, "Object doesn't support this property or method"},
      {DISP_E_UNKNOWNNAME, 438, "Object doesn't support this property or method"},
      {DISP_E_TYPEMISMATCH, 13, "Type mismatch"},
      {DISP_E_BADPARAMCOUNT, 450, "Wrong number of arguments or invalid property assignment"},
      {DISP_E_PARAMNOTOPTIONAL, 450, "Wrong number of arguments or invalid property assignment"},
      {DISP_E_OVERFLOW, 6, "Overflow"},
      {MAKE_HRESULT(1, FACILITY_CONTROL, 32001), 32001,
       "Application-defined or object-defined error"},
  };
  for (const Case& c : cases) {
    EXCEPINFO info{};
    auto e = DispatchError(c.hr, info);
    EXPECT_EQ(e.Number(), c.number) << std::hex << c.hr;
    EXPECT_EQ(e.Description(), c.description) << std::hex << c.hr;
  }
}

TEST(ComErrors, OtherResultsKeepTheHResultWithTheSystemText) {
  auto e = HResultError(E_NOTIMPL);
  EXPECT_EQ(e.Number(), -2147467263L);
  EXPECT_TRUE(twi::ContainsNoCase(e.Description(), "implemented")) << e.Description();
  // A code the system has no text for.
  e = HResultError(static_cast<HRESULT>(0xA0FF1234));
  EXPECT_EQ(e.Number(), static_cast<long>(0xA0FF1234));
  EXPECT_EQ(e.Description(), "Automation error");
}

}  // namespace
