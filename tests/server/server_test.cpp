#include <windows.h>
#include <ole2.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "vantorel_h.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using PlainFn = HRESULT(STDAPICALLTYPE*)();

const wchar_t kClsid[] = L"{C84B9402-A5BF-4696-9B32-D83997116073}";
const wchar_t kAppId[] = L"{70608BA4-043B-44BB-B0D0-456A8368186B}";

std::wstring Beside(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  PathRemoveFileSpecW(path);
  PathAppendW(path, name);
  return path;
}

// The module loaded from a file, with its four exports.
struct Module {
  explicit Module(const std::wstring& path) : handle(LoadLibraryW(path.c_str())) {
    if (!handle) return;
    getClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(handle, "DllGetClassObject"));
    canUnload = reinterpret_cast<PlainFn>(GetProcAddress(handle, "DllCanUnloadNow"));
    registerServer = reinterpret_cast<PlainFn>(GetProcAddress(handle, "DllRegisterServer"));
    unregisterServer = reinterpret_cast<PlainFn>(GetProcAddress(handle, "DllUnregisterServer"));
  }
  ~Module() {
    if (handle) FreeLibrary(handle);
  }
  HMODULE handle;
  GetClassObjectFn getClassObject = nullptr;
  PlainFn canUnload = nullptr, registerServer = nullptr, unregisterServer = nullptr;
};

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

std::wstring ReadString(HKEY root, const std::wstring& key, const wchar_t* value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return L"<none>";
  return data;
}

// Every key and value below key, flattened to path -> data.
void Snapshot(HKEY root, const std::wstring& key, std::map<std::wstring, std::wstring>& out) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
  out[key] = L"";
  wchar_t name[256];
  BYTE data[2048];
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 256, dataLength = sizeof(data), type = 0;
    if (RegEnumValueW(h, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    out[key + L"|" + name] = std::wstring(reinterpret_cast<wchar_t*>(data), dataLength / sizeof(wchar_t));
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 256;
    if (RegEnumKeyExW(h, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Snapshot(root, key + L"\\" + name, out);
  }
  RegCloseKey(h);
}

std::map<std::wstring, std::wstring> Registered() {
  std::map<std::wstring, std::wstring> all;
  Snapshot(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kClsid, all);
  Snapshot(HKEY_CLASSES_ROOT, L"Vantorel.SelectorCore", all);
  Snapshot(HKEY_CLASSES_ROOT, L"Vantorel.SelectorCore.1", all);
  Snapshot(HKEY_CLASSES_ROOT, std::wstring(L"AppID\\") + kAppId, all);
  Snapshot(HKEY_CLASSES_ROOT, L"AppID\\Vantorel.DLL", all);
  all[L"toolbar"] = ReadString(HKEY_LOCAL_MACHINE, L"SoftWare\\Microsoft\\Internet Explorer\\Toolbar", kClsid);
  return all;
}

class ServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() { OleUninitialize(); }
};

}  // namespace

TEST_F(ServerTest, ClassObjectLookupAndUnloadRules) {
  Module module(Beside(L"Vantorel.dll"));
  ASSERT_NE(nullptr, module.handle);
  ASSERT_NE(nullptr, module.getClassObject);
  EXPECT_EQ(S_OK, module.canUnload());

  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module.getClassObject(IID_IUnknown, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(E_POINTER, module.getClassObject(CLSID_SelectorCore, IID_IClassFactory, nullptr));

  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, module.getClassObject(CLSID_SelectorCore, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_FALSE, module.canUnload());  // held from outside
  IClassFactory* again = nullptr;
  ASSERT_EQ(S_OK, module.getClassObject(CLSID_SelectorCore, IID_IClassFactory, reinterpret_cast<void**>(&again)));
  EXPECT_EQ(factory, again);  // cached
  again->Release();

  IDeskBand* band = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDeskBand, reinterpret_cast<void**>(&band)));
  IUnknown* aggregated = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(band, IID_IDeskBand, reinterpret_cast<void**>(&aggregated)));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory->Release();
  EXPECT_EQ(S_FALSE, module.canUnload());  // the band and the server lock
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));  // the cached class object stays valid
  EXPECT_EQ(S_FALSE, module.canUnload());  // the band
  band->Release();
  EXPECT_EQ(S_OK, module.canUnload());
}

TEST_F(ServerTest, RegistrationIsRepeatableAndUnregistrationKeepsTheSharedKeys) {
  Module module(Beside(L"Vantorel.dll"));
  ASSERT_NE(nullptr, module.registerServer);
  LCID locale = GetThreadLocale();
  ASSERT_EQ(S_OK, module.registerServer());
  EXPECT_EQ(locale, GetThreadLocale());
  std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsid;
  EXPECT_EQ(L"Vantorel", ReadString(HKEY_CLASSES_ROOT, clsidKey, nullptr));
  EXPECT_EQ(Beside(L"Vantorel.dll"), ReadString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr));
  EXPECT_EQ(L"Apartment", ReadString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel"));
  EXPECT_EQ(L"Vantorel.SelectorCore.1", ReadString(HKEY_CLASSES_ROOT, L"Vantorel.SelectorCore\\CurVer", nullptr));
  EXPECT_EQ(kAppId, ReadString(HKEY_CLASSES_ROOT, L"AppID\\Vantorel.DLL", L"AppID"));
  EXPECT_EQ(L"Vantorel", ReadString(HKEY_LOCAL_MACHINE, L"SoftWare\\Microsoft\\Internet Explorer\\Toolbar", kClsid));
  ITypeLib* library = nullptr;
  EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_VantorelLib, 1, 0, 0, &library));
  if (library) library->Release();

  // A stale subkey vanishes: the class key is rebuilt on every registration.
  HKEY stale = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CLASSES_ROOT, (clsidKey + L"\\Stale").c_str(), &stale));
  RegCloseKey(stale);
  auto once = Registered();
  once.erase(clsidKey + L"\\Stale");
  ASSERT_EQ(S_OK, module.registerServer());
  EXPECT_EQ(once, Registered());

  ASSERT_EQ(S_OK, module.unregisterServer());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, clsidKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Vantorel.SelectorCore"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Vantorel.SelectorCore.1"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"AppID\\") + kAppId));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"AppID\\Vantorel.DLL"));
  EXPECT_EQ(L"<none>", ReadString(HKEY_LOCAL_MACHINE, L"SoftWare\\Microsoft\\Internet Explorer\\Toolbar", kClsid));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"AppID"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"SoftWare\\Microsoft\\Internet Explorer\\Toolbar"));
  EXPECT_NE(S_OK, LoadRegTypeLib(LIBID_VantorelLib, 1, 0, 0, &library));
}

TEST_F(ServerTest, ModulePathWithASingleQuoteIsRegisteredIntact) {
  std::wstring folder = Beside(L"it's here");
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring copy = folder + L"\\Vantorel.dll";
  ASSERT_TRUE(CopyFileW(Beside(L"Vantorel.dll").c_str(), copy.c_str(), FALSE));
  {
    Module module(copy);
    ASSERT_NE(nullptr, module.registerServer);
    ASSERT_EQ(S_OK, module.registerServer());
    EXPECT_EQ(copy, ReadString(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kClsid + L"\\InprocServer32", nullptr));
    EXPECT_EQ(S_OK, module.unregisterServer());
  }
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST_F(ServerTest, VersionBlockCarriesTheProductTexts) {
  std::wstring path = Beside(L"Vantorel.dll");
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  auto text = [&](const wchar_t* name) {
    wchar_t query[128];
    wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage, name);
    wchar_t* value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &chars)) return std::wstring(L"<none>");
    return std::wstring(value);
  };
  EXPECT_EQ(L"ファイルの一括選択やフィルタリングを実現", text(L"FileDescription"));
  EXPECT_EQ(L"2.1", text(L"FileVersion"));
  EXPECT_EQ(L"2.1", text(L"ProductVersion"));
  EXPECT_EQ(L"Vantorel", text(L"ProductName"));
  EXPECT_EQ(L"Vantorel.dll", text(L"OriginalFilename"));
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(1, 2), fixed->dwFileVersionMS);
  EXPECT_EQ(0u, fixed->dwFileVersionLS);
}
