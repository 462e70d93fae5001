#include <windows.h>
#include <oleauto.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/com_ptr.h"
#include "tests/server/dll_under_test.h"
#include "vantorel_h.h"

using namespace vantorel_test;
using vantorel::ComPtr;

namespace {

const CLSID kOtherClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class ServerDll : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(dll.complete());
  }
  void TearDown() override { CoUninitialize(); }
  LoadedDll dll{BuiltModulePath()};
};

// A controlling unknown that forwards nothing and counts its own references.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = riid == IID_IUnknown ? this : nullptr;
    if (*ppv) AddRef();
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

}  // namespace

TEST_F(ServerDll, HandsOutOneCachedClassObjectForSelectorCoreOnly) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, dll.getClassObject(kOtherClass, IID_IClassFactory, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, dll.getClassObject(IID_ISelectorCore, IID_IClassFactory, &object));
  EXPECT_EQ(E_POINTER, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, nullptr));

  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, dll.getClassObject(CLSID_SelectorCore, IID_IDispatch, &object));
  EXPECT_EQ(nullptr, object);

  ComPtr<IClassFactory> first, second;
  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, first.put_void()));
  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IUnknown, second.put_void()));
  ComPtr<IUnknown> a, b;
  first->QueryInterface(IID_IUnknown, a.put_void());
  second->QueryInterface(IID_IUnknown, b.put_void());
  EXPECT_EQ(a.get(), b.get());
}

TEST_F(ServerDll, CanUnloadOnlyWhenNothingHoldsTheModule) {
  EXPECT_EQ(S_OK, dll.canUnload());
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()));
  EXPECT_EQ(S_FALSE, dll.canUnload()) << "a client holds the class object";
  {
    ComPtr<IClassFactory> another = factory;  // more references still count once
    EXPECT_EQ(S_FALSE, dll.canUnload());
  }
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory.reset();
  EXPECT_EQ(S_FALSE, dll.canUnload()) << "a LockServer lock is outstanding";

  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()));
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  EXPECT_EQ(S_FALSE, dll.canUnload());
  factory.reset();
  EXPECT_EQ(S_OK, dll.canUnload()) << "the cached class object alone does not hold the module";
}

TEST_F(ServerDll, BandObjectsHoldTheModuleWhileTheyLive) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()));
  {
    ComPtr<IUnknown> band;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, band.put_void()));
    ComPtr<ISelectorCore> core;
    EXPECT_EQ(S_OK, band.As(core));
    ComPtr<IDeskBand> deskBand;
    EXPECT_EQ(S_OK, band.As(deskBand));
    factory.reset();
    EXPECT_EQ(S_FALSE, dll.canUnload()) << "a band object exists";
  }
  EXPECT_EQ(S_OK, dll.canUnload());

  // Through the runtime, as Explorer creates it (in-process, not registered: direct factory).
  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()));
  void* bad = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &bad));
  EXPECT_EQ(nullptr, bad);
  factory.reset();
  EXPECT_EQ(S_OK, dll.canUnload()) << "a failed creation leaves nothing behind";
}

TEST_F(ServerDll, AggregationHandsOutTheInnerUnknownOnly) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()));
  Outer outer;
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_ISelectorCore, &object));
  EXPECT_EQ(nullptr, object);

  IUnknown* inner = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
  ASSERT_NE(nullptr, inner);
  ISelectorCore* core = nullptr;
  ASSERT_EQ(S_OK, inner->QueryInterface(IID_ISelectorCore, reinterpret_cast<void**>(&core)));
  // The interface delegates its identity to the outer object.
  IUnknown* identity = nullptr;
  ASSERT_EQ(S_OK, core->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
  identity->Release();
  core->Release();
  factory.reset();
  EXPECT_EQ(S_FALSE, dll.canUnload());
  EXPECT_EQ(0u, inner->Release());
  EXPECT_EQ(S_OK, dll.canUnload());
  EXPECT_EQ(1u, outer.refs);
}

TEST_F(ServerDll, CarriesItsResources) {
  HMODULE module = dll.module();
  EXPECT_NE(nullptr, FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"));
  EXPECT_NE(nullptr, FindResourceW(module, MAKEINTRESOURCEW(104), RT_DIALOG));
  EXPECT_NE(nullptr, FindResourceW(module, MAKEINTRESOURCEW(208), RT_MENU));
  HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(2), RT_MANIFEST);
  ASSERT_NE(nullptr, manifest);
  std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                   SizeofResource(module, manifest));
  EXPECT_NE(std::string::npos, text.find("name=\"Vantorel\" version=\"1.0.0.0\" type=\"win32\""));
  EXPECT_NE(std::string::npos, text.find("<description>Add-in for Explorer</description>"));
  EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.1.0\""));
  EXPECT_NE(std::string::npos, text.find("publicKeyToken=\"6595b64144ccf1df\""));

  // The platform accepts it as an activation context.
  std::wstring path = BuiltModulePath();
  ACTCTXW actctx = {};
  actctx.cbSize = sizeof(actctx);
  actctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  actctx.lpSource = path.c_str();
  actctx.lpResourceName = MAKEINTRESOURCEW(2);
  actctx.hModule = module;
  HANDLE context = CreateActCtxW(&actctx);
  ASSERT_NE(INVALID_HANDLE_VALUE, context) << GetLastError();
  ReleaseActCtx(context);

  // The settings dialog arrives with its Japanese texts, asked for in Japanese (English beside it).
  HRSRC japanese = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(104), 0x411);
  ASSERT_NE(nullptr, japanese);
  HWND dialog = CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, japanese))),
                                           nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  ASSERT_NE(nullptr, dialog);
  wchar_t caption[64] = L"";
  GetWindowTextW(dialog, caption, 64);
  EXPECT_STREQ(L"Vantorel\u306e\u8a2d\u5b9a", caption);
  DestroyWindow(dialog);
}

TEST(ServerVersion, BlockHoldsTheProductStrings) {
  std::wstring path = BuiltModulePath();
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_NE(0u, size);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, &block[0]));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(1, 2), fixed->dwFileVersionMS);
  EXPECT_EQ(0u, fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(1, 2), fixed->dwProductVersionMS);
  EXPECT_EQ(0u, fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

  WORD* translation = nullptr;  // the language, then the code page
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(0x411, translation[0]);
  EXPECT_EQ(1200, translation[1]);

  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } strings[] = {
      {L"FileDescription", L"\u30d5\u30a1\u30a4\u30eb\u306e\u4e00\u62ec\u9078\u629e\u3084\u30d5\u30a3\u30eb\u30bf\u30ea\u30f3\u30b0\u3092\u5b9f\u73fe"},
      {L"CompanyName", L"The Vantorel developers"},
      {L"LegalCopyright", L"Copyright (c) 2026 The Vantorel developers"},
      {L"FileVersion", L"2.1"},
      {L"ProductVersion", L"2.1"},
      {L"ProductName", L"Vantorel"},
      {L"InternalName", L"Vantorel.dll"},
      {L"OriginalFilename", L"Vantorel.dll"},
  };
  for (const auto& entry : strings) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + entry.name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << entry.name;
    EXPECT_STREQ(entry.value, value) << entry.name;
  }
}

TEST(ServerTypeLibrary, LoadsFromTheModule) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, LoadTypeLibEx(BuiltModulePath().c_str(), REGKIND_NONE, library.put()));
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
  EXPECT_EQ(LIBID_VantorelLib, attributes->guid);
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  EXPECT_EQ(0u, attributes->lcid);
  EXPECT_EQ(SYS_WIN64, attributes->syskind);  // the library is built for the module's own platform
  library->ReleaseTLibAttr(attributes);

  ComPtr<ITypeInfo> coclass, dual;
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_SelectorCore, coclass.put()));
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(IID_ISelectorCore, dual.put()));
  TYPEATTR* type = nullptr;
  ASSERT_EQ(S_OK, dual->GetTypeAttr(&type));
  EXPECT_EQ(TKIND_DISPATCH, type->typekind);
  EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE);
  EXPECT_EQ(7, type->cFuncs) << "IDispatch's methods only";
  dual->ReleaseTypeAttr(type);
  // The vtable half of the dual interface: automation compatible, derived from IDispatch.
  HREFTYPE vtableRef = 0;
  ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(S_OK, dual->GetRefTypeOfImplType(-1, &vtableRef));
  ASSERT_EQ(S_OK, dual->GetRefTypeInfo(vtableRef, vtable.put()));
  ASSERT_EQ(S_OK, vtable->GetTypeAttr(&type));
  EXPECT_EQ(TKIND_INTERFACE, type->typekind);
  EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
  EXPECT_EQ(0, type->cFuncs) << "no methods of its own";
  vtable->ReleaseTypeAttr(type);

  BSTR name = nullptr, help = nullptr;
  ASSERT_EQ(S_OK, library->GetDocumentation(-1, &name, &help, nullptr, nullptr));
  EXPECT_STREQ(L"VantorelLib", name);
  std::wstring libraryHelp = help ? help : L"";
  SysFreeString(name);
  SysFreeString(help);
  ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr));
  EXPECT_STREQ(L"SelectorCore", name);
  EXPECT_STREQ(L"SelectorCore Class", help);
  SysFreeString(name);
  SysFreeString(help);
  // The Japanese help strings go through widl's 8-bit string table; see what comes back.
  EXPECT_EQ(0u, libraryHelp.find(L"Vantorel 1.0 "));
  RecordProperty("library_help_length", static_cast<int>(libraryHelp.size()));
  bool intact = libraryHelp == L"Vantorel 1.0 \u30bf\u30a4\u30d7 \u30e9\u30a4\u30d6\u30e9\u30ea";
  RecordProperty("japanese_help_intact", intact ? "yes" : "no");
  std::printf("type library help string %s intact (%zu units)\n", intact ? "is" : "is NOT", libraryHelp.size());
}
