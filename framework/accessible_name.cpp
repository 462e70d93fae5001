#include "framework/accessible_name.h"

#include <oleacc.h>

#include "framework/com_object.h"
#include "framework/com_ptr.h"

namespace vantorel {
namespace {

// Every call goes to the standard object, except the name of the object itself.
class CNamedAccessible : public ComObject<CNamedAccessible>, public IAccessible {
 public:
  CNamedAccessible(IAccessible* inner, const wchar_t* name) noexcept : inner_(inner), name_(name) {}
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CNamedAccessible, IAccessible),
                                           VANTOREL_INTERFACE_VIA(CNamedAccessible, IAccessible, IDispatch), {}};
    return table;
  }

  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    if (V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF) {
      *name = SysAllocString(name_);
      return *name ? S_OK : E_OUTOFMEMORY;
    }
    return inner_->get_accName(child, name);
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* info, UINT* arg) override {
    return inner_->Invoke(id, riid, lcid, flags, params, result, info, arg);
  }
  STDMETHODIMP get_accParent(IDispatch** parent) override { return inner_->get_accParent(parent); }
  STDMETHODIMP get_accChildCount(long* count) override { return inner_->get_accChildCount(count); }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override { return inner_->get_accChild(child, out); }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return inner_->get_accValue(child, value); }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override { return inner_->get_accRole(child, role); }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override { return inner_->get_accState(child, state); }
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return inner_->get_accHelp(child, help); }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return inner_->get_accKeyboardShortcut(child, keys);
  }
  STDMETHODIMP get_accFocus(VARIANT* child) override { return inner_->get_accFocus(child); }
  STDMETHODIMP get_accSelection(VARIANT* children) override { return inner_->get_accSelection(children); }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  STDMETHODIMP accSelect(long flags, VARIANT child) override { return inner_->accSelect(flags, child); }
  STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    return inner_->accLocation(x, y, w, h, child);
  }
  STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(dir, start, end);
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override { return inner_->accHitTest(x, y, child); }
  STDMETHODIMP accDoDefaultAction(VARIANT child) override { return inner_->accDoDefaultAction(child); }
  STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return inner_->put_accName(child, name); }
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return inner_->put_accValue(child, value); }

 private:
  ComPtr<IAccessible> inner_;
  const wchar_t* name_;
};

}  // namespace

bool AnswerAccessibleName(HWND window, const wchar_t* name, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
  ComPtr<IAccessible> standard;
  if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), standard.put_void())) || !standard) {
    return false;
  }
  ComPtr<CNamedAccessible> named = MakeComObject<CNamedAccessible>(standard.get(), name);
  if (!named) return false;
  result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(named.get()));
  return result > 0;
}

}  // namespace vantorel
