#include <windows.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/registry.h"
#include "tests/server/dll_under_test.h"
#include "vantorel_h.h"

using namespace vantorel_test;

namespace {

const wchar_t kAppId[] = L"{70608BA4-043B-44BB-B0D0-456A8368186B}";
const wchar_t kClsid[] = L"{C84B9402-A5BF-4696-9B32-D83997116073}";
const wchar_t kLibid[] = L"{3D9D5531-BE9F-4AB6-ADCE-2AE6826EC9FA}";
const wchar_t kToolbar[] = L"SoftWare\\Microsoft\\Internet Explorer\\Toolbar";
const wchar_t kOtherToolbar[] = L"{00000000-1111-2222-3333-444444444444}";
const std::wstring kAppIdKey = std::wstring(L"AppID\\") + kAppId;
const std::wstring kClassKey = std::wstring(L"CLSID\\") + kClsid;
const std::wstring kTypeLibKey = std::wstring(L"TypeLib\\") + kLibid;
const std::wstring kInterfaceKey = L"Interface\\{76860CAA-4F55-4419-ADBB-3F3EE8A29331}";
const LCID kGerman = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool ReadString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value) {
  wchar_t buffer[1024];
  DWORD bytes = sizeof(buffer);
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS) return false;
  value = buffer;
  return true;
}

// Every key and value under key, one line each, in a stable order.
void Collect(HKEY root, const std::wstring& key, std::wstring& out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  out += L"[" + key + L"]\n";
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    BYTE data[2048];
    DWORD dataLength = sizeof(data);
    DWORD type = 0;
    if (RegEnumValueW(handle, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    out += key + L" : " + name + L" = " + std::to_wstring(type) + L":";
    if (type == REG_SZ) out += reinterpret_cast<const wchar_t*>(data);
    out += L"\n";
  }
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(handle, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.push_back(name);
  }
  RegCloseKey(handle);
  std::sort(children.begin(), children.end());
  for (const auto& child : children) Collect(root, key + L"\\" + child, out);
}

// Every entry of the module's registration, one line each.
std::wstring Snapshot() {
  std::wstring out;
  const std::wstring keys[] = {kAppIdKey, L"AppID\\Vantorel.DLL", L"Vantorel.SelectorCore.1", L"Vantorel.SelectorCore",
                               kClassKey, kTypeLibKey, kInterfaceKey};
  for (const std::wstring& key : keys) Collect(HKEY_CLASSES_ROOT, key, out);
  std::wstring toolbar;
  if (ReadString(HKEY_LOCAL_MACHINE, kToolbar, kClsid, toolbar)) out += L"toolbar = " + toolbar + L"\n";
  return out;
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dll.complete()); }
  void TearDown() override {
    dll.unregisterServer();
    EXPECT_EQ(L"", Snapshot()) << "left behind";
  }
  LoadedDll dll{BuiltModulePath()};
};

}  // namespace

TEST_F(Registration, WritesTheClassProgIdsAppIdToolbarAndTypeLibrary) {
  ASSERT_EQ(S_OK, dll.registerServer());
  auto expect = [](HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    std::wstring value;
    EXPECT_TRUE(ReadString(root, key, name, value)) << ::testing::PrintToString(key);
    EXPECT_EQ(data, value) << ::testing::PrintToString(key);
  };
  HKEY cr = HKEY_CLASSES_ROOT;
  expect(cr, kAppIdKey, nullptr, L"Vantorel");
  expect(cr, L"AppID\\Vantorel.DLL", L"AppID", kAppId);
  expect(cr, L"Vantorel.SelectorCore.1", nullptr, L"SelectorCore Class");
  expect(cr, L"Vantorel.SelectorCore.1\\CLSID", nullptr, kClsid);
  expect(cr, L"Vantorel.SelectorCore", nullptr, L"SelectorCore Class");
  expect(cr, L"Vantorel.SelectorCore\\CLSID", nullptr, kClsid);
  expect(cr, L"Vantorel.SelectorCore\\CurVer", nullptr, L"Vantorel.SelectorCore.1");
  expect(cr, kClassKey, nullptr, L"Vantorel");
  expect(cr, kClassKey, L"AppID", kAppId);
  expect(cr, kClassKey + L"\\ProgID", nullptr, L"Vantorel.SelectorCore.1");
  expect(cr, kClassKey + L"\\VersionIndependentProgID", nullptr, L"Vantorel.SelectorCore");
  EXPECT_TRUE(KeyExists(cr, kClassKey + L"\\Programmable"));
  expect(cr, kClassKey + L"\\InprocServer32", nullptr, BuiltModulePath());
  expect(cr, kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  expect(cr, kClassKey + L"\\TypeLib", nullptr, kLibid);
  expect(HKEY_LOCAL_MACHINE, kToolbar, kClsid, L"Vantorel");
  // The platform's entries for the type library and the dual interface.
  expect(cr, kTypeLibKey + L"\\1.0\\0\\win64", nullptr, BuiltModulePath());
  EXPECT_TRUE(KeyExists(cr, kInterfaceKey));

  // The class is now creatable through the runtime, as Explorer creates it.
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  IUnknown* band = nullptr;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_SelectorCore, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&band)));
  if (band) band->Release();
  CoUninitialize();
}

TEST_F(Registration, TwiceLeavesTheSameEntriesAndRebuildsTheClassKey) {
  ASSERT_EQ(S_OK, dll.registerServer());
  const std::wstring once = Snapshot();
  ASSERT_FALSE(once.empty());
  // Something stale inside the class key goes with the next registration.
  ASSERT_EQ(S_OK, vantorel::registry::CreateKey(HKEY_CLASSES_ROOT, (kClassKey + L"\\Stale\\Deeper").c_str()));
  SHSetValueW(HKEY_CLASSES_ROOT, kClassKey.c_str(), L"Leftover", REG_SZ, L"x", 4);

  ASSERT_EQ(S_OK, dll.registerServer());
  EXPECT_EQ(once, Snapshot());
}

TEST_F(Registration, UnregisteringRemovesItsEntriesAndKeepsTheSharedKeys) {
  // Neighbours that belong to others must survive.
  SHSetValueW(HKEY_LOCAL_MACHINE, kToolbar, kOtherToolbar, REG_SZ, L"other", 12);
  ASSERT_EQ(S_OK, dll.registerServer());
  ASSERT_EQ(S_OK, dll.unregisterServer());
  EXPECT_EQ(L"", Snapshot());
  const std::wstring gone[] = {kClassKey, L"Vantorel.SelectorCore", L"Vantorel.SelectorCore.1", kAppIdKey,
                               L"AppID\\Vantorel.DLL"};
  for (const std::wstring& key : gone) EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << ::testing::PrintToString(key);
  for (const wchar_t* kept : {L"AppID", L"CLSID"}) EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kept)) << kept;
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kToolbar));
  std::wstring other;
  EXPECT_TRUE(ReadString(HKEY_LOCAL_MACHINE, kToolbar, kOtherToolbar, other));
  SHDeleteValueW(HKEY_LOCAL_MACHINE, kToolbar, kOtherToolbar);
}

TEST_F(Registration, RunsUnderTheSystemLocaleAndRestoresTheCallers) {
  const LCID before = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(kGerman));
  EXPECT_EQ(S_OK, dll.registerServer());
  EXPECT_EQ(kGerman, GetThreadLocale());
  EXPECT_EQ(S_OK, dll.unregisterServer());
  EXPECT_EQ(kGerman, GetThreadLocale());
  // Also when unregistration fails (the type library is no longer registered).
  HRESULT again = dll.unregisterServer();
  EXPECT_EQ(kGerman, GetThreadLocale());
  RecordProperty("second_unregister", static_cast<int>(again));
  SetThreadLocale(before);
}

TEST_F(Registration, ModulePathWithAQuoteReachesTheRegistryIntact) {
  const std::wstring folder = BesideTests(L"it's here");
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring copy = folder + L"\\Vantorel.dll";
  EXPECT_TRUE(CopyFileW(BuiltModulePath().c_str(), copy.c_str(), FALSE)) << GetLastError();
  {
    LoadedDll quoted(copy);
    ASSERT_TRUE(quoted.complete());
    ASSERT_EQ(S_OK, quoted.registerServer());
    std::wstring value;
    EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", nullptr, value));
    EXPECT_EQ(copy, value);
    EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, kTypeLibKey + L"\\1.0\\0\\win64", nullptr, value));
    EXPECT_EQ(copy, value);
    EXPECT_EQ(S_OK, quoted.unregisterServer());
  }
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST_F(Registration, ModulePathOfMaxPathOrMoreFailsBeforeWritingAnything) {
  // A folder chain deep enough that the module's path has 260+ characters.
  std::wstring folder = L"\\\\?\\" + BesideTests(L"");
  std::vector<std::wstring> made;
  while (folder.size() < 4 + 270) {
    folder += L"\\deep_folder_for_a_long_module_path";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      GTEST_SKIP() << "cannot make deep folders here";
    }
    made.push_back(folder);
  }
  std::wstring copy = folder + L"\\Vantorel.dll";
  ASSERT_TRUE(CopyFileW(BuiltModulePath().c_str(), copy.c_str(), FALSE));
  {
    LoadedDll deep(copy);
    if (!deep.module()) {
      DeleteFileW(copy.c_str());
      for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
      GTEST_SKIP() << "the loader does not take a path this long (" << GetLastError() << ")";
    }
    ASSERT_TRUE(deep.complete());
    const LCID before = GetThreadLocale();
    SetThreadLocale(kGerman);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), deep.registerServer());
    EXPECT_EQ(static_cast<HRESULT>(0x8007007A), deep.unregisterServer());
    EXPECT_EQ(kGerman, GetThreadLocale());
    SetThreadLocale(before);
    EXPECT_TRUE(Snapshot().empty());
  }
  DeleteFileW(copy.c_str());
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
}
