#include "platform/activex/Object.h"

#include <vector>

#include "base/Bstr.h"
#include "base/TextConv.h"
#include "platform/activex/ComErrors.h"

namespace twi::activex {
namespace {

// The VARIANTs of one call, cleared when the call is over. IDispatch wants
// them last argument first.
class VariantArgs {
 public:
  explicit VariantArgs(std::initializer_list<Arg> args) : variants_(args.size()) {
    for (VARIANT& v : variants_) VariantInit(&v);
    try {
      size_t i = args.size();
      for (const Arg& arg : args) arg.ToVariant(variants_[--i]);
    } catch (...) {
      Clear();
      throw;
    }
  }
  ~VariantArgs() { Clear(); }
  VariantArgs(const VariantArgs&) = delete;
  VariantArgs& operator=(const VariantArgs&) = delete;
  VARIANT* Data() { return variants_.empty() ? nullptr : variants_.data(); }
  UINT Count() const { return static_cast<UINT>(variants_.size()); }

 private:
  void Clear() {
    for (VARIANT& v : variants_) VariantClear(&v);
  }
  std::vector<VARIANT> variants_;
};

class VariantResult {
 public:
  VariantResult() { VariantInit(&v_); }
  ~VariantResult() { VariantClear(&v_); }
  VariantResult(const VariantResult&) = delete;
  VariantResult& operator=(const VariantResult&) = delete;
  VARIANT* Get() { return &v_; }

 private:
  VARIANT v_;
};

void Invoke(IDispatch& target, DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) {
  EXCEPINFO info{};
  UINT badArgument = 0;
  HRESULT hr = target.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info,
                             &badArgument);
  if (FAILED(hr)) throw DispatchError(hr, info);
}

}  // namespace

Arg Arg::Text(std::string_view text) {
  Arg arg(Kind::Text);
  arg.text_ = std::string(text);
  return arg;
}

Arg Arg::Bool(bool value) {
  Arg arg(Kind::Bool);
  arg.number_ = value ? 1 : 0;
  return arg;
}

Arg Arg::Long(std::int32_t value) {
  Arg arg(Kind::Long);
  arg.number_ = value;
  return arg;
}

Arg Arg::Missing() { return Arg(Kind::Missing); }

void Arg::ToVariant(VARIANT& v) const {
  switch (kind_) {
    case Kind::Text:
      V_VT(&v) = VT_BSTR;
      V_BSTR(&v) = Bstr(text_).Detach();
      break;
    case Kind::Bool:
      V_VT(&v) = VT_BOOL;
      V_BOOL(&v) = number_ ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Kind::Long:
      V_VT(&v) = VT_I4;
      V_I4(&v) = number_;
      break;
    case Kind::Missing:
      V_VT(&v) = VT_ERROR;
      V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
      break;
  }
}

Object Object::CreateControl(std::string_view progId, std::string_view componentFile) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(ToWide(progId).c_str(), &clsid)))
    throw ControlCreationError(componentFile);
  ComPtr<IDispatch> dispatch;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              dispatch.PutVoid())) ||
      !dispatch)
    throw ControlCreationError(componentFile);
  return Object(std::move(dispatch));
}

Object Object::CreateByClsid(const CLSID& clsid, const IID& iid) {
  ComPtr<IDispatch> dispatch;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, dispatch.PutVoid())) ||
      !dispatch)
    throw ObjectCreationError();
  return Object(std::move(dispatch));
}

IDispatch& Object::Target() {
  // Using an object that was never created (or was released): error 91.
  if (!dispatch_) throw RuntimeError(91, "Object variable or With block variable not set");
  return *dispatch_.Get();
}

void Object::PutProperty(DISPID id, const Arg& value) {
  IDispatch& target = Target();
  VariantArgs args{value};
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{args.Data(), &named, 1, 1};
  Invoke(target, id, DISPATCH_PROPERTYPUT, params, nullptr);
}

Object Object::GetObjectProperty(DISPID id) {
  IDispatch& target = Target();
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  VariantResult result;
  Invoke(target, id, DISPATCH_PROPERTYGET, params, result.Get());
  VARIANT* v = result.Get();
  ComPtr<IDispatch> dispatch;
  if (V_VT(v) == VT_DISPATCH && V_DISPATCH(v)) {
    V_DISPATCH(v)->AddRef();
    dispatch = ComPtr<IDispatch>::Adopt(V_DISPATCH(v));
  } else if (V_VT(v) == VT_UNKNOWN && V_UNKNOWN(v)) {
    V_UNKNOWN(v)->QueryInterface(IID_IDispatch, dispatch.PutVoid());
  }
  if (!dispatch) throw RuntimeError::Numbered(err::ObjectRequired);
  return Object(std::move(dispatch));
}

void Object::CallMethod(DISPID id, std::initializer_list<Arg> argList) {
  IDispatch& target = Target();
  VariantArgs args(argList);
  DISPPARAMS params{args.Data(), nullptr, args.Count(), 0};
  VariantResult result;
  Invoke(target, id, DISPATCH_METHOD, params, result.Get());
}

DISPID Object::IdOfName(std::string_view name) {
  IDispatch& target = Target();
  std::wstring wide = ToWide(name);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = target.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) throw HResultError(hr);
  return id;
}

void Object::CallMethod(std::string_view name, std::initializer_list<Arg> args) {
  CallMethod(IdOfName(name), args);
}

void Object::CallSlotWithText(unsigned slot, std::string_view text) {
  IDispatch& target = Target();
  using TextMethod = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, BSTR);
  void** vtable = *reinterpret_cast<void***>(&target);
  auto method = reinterpret_cast<TextMethod>(vtable[slot]);
  Bstr argument(text);
  HRESULT hr = method(&target, argument.Get());
  if (FAILED(hr)) throw HResultError(hr);
}

}  // namespace twi::activex
