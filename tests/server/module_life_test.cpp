// The real Vantorel.dll over its life inside one process: loaded, hosted in the stand-in,
// let go and unloaded again many times, and two copies of it side by side.
#include <windows.h>
#include <exdispid.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "host/explorer_host.h"
#include "tests/server/dll_under_test.h"
#include "tests/support/temp_folder.h"
#include "vantorel_h.h"

using namespace vantorel_test;
using vantorel::ComPtr;
namespace host = vantorel::host;
using vantorel::test::SelectedNames;
using vantorel::test::TempFolder;

namespace {

// Bytes of the address space the process holds privately (reserved or committed): heaps,
// executable heaps, stacks. Every leaked heap or block shows here. (Wine answers 0 for the
// process's handle count and private bytes, so those cannot be watched there.)
SIZE_T PrivateAddressSpace() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* address = nullptr; VirtualQuery(address, &info, sizeof(info)) == sizeof(info);
       address = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State != MEM_FREE && info.Type == MEM_PRIVATE) total += info.RegionSize;
    if (static_cast<const char*>(info.BaseAddress) + info.RegionSize < address) break;
  }
  return total;
}

ComPtr<IUnknown> CreateBand(const LoadedDll& dll) {
  ComPtr<IClassFactory> factory;
  ComPtr<IUnknown> band;
  if (FAILED(dll.getClassObject(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()))) return band;
  factory->CreateInstance(nullptr, IID_IUnknown, band.put_void());
  return band;
}

class ModuleLife : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.ok()); }
  void TearDown() override {
    // The hosts' browsers quit before any copy of the module goes: their sinks run its code.
    for (auto& host : hosts_) host->Close();
    hosts_.clear();
    dlls_.clear();
  }
  host::ExplorerHost* OpenHost() {
    std::unique_ptr<host::ExplorerHost> host = host::ExplorerHost::Create(host::HostOptions{});  // hidden
    if (!host || !host->Navigate(folder_.path().c_str())) return nullptr;
    host->PumpMessages();
    hosts_.push_back(std::move(host));
    return hosts_.back().get();
  }

  TempFolder folder_{{L"alpha.txt", L"beta.txt", L"gamma.doc"}, L"life"};
  std::vector<std::unique_ptr<host::ExplorerHost>> hosts_;
  std::vector<std::unique_ptr<LoadedDll>> dlls_;
};

// One whole life of the module: load, a band sited and shown in the stand-in, the host lets it
// go, the browser quits, unload. Returns false (with a failure recorded) when a step failed.
bool OneCycle(host::ExplorerHost& host, const std::wstring& path, HINSTANCE* instance) {
  LoadedDll dll(path);
  EXPECT_TRUE(dll.complete());
  if (!dll.complete()) return false;
  *instance = dll.module();
  {
    ComPtr<IUnknown> band = CreateBand(dll);
    EXPECT_TRUE(band);
    if (!band) return false;
    EXPECT_EQ(S_OK, host.AddBand(band.get()));
    EXPECT_NE(nullptr, host.BandWindow());
    host.PumpMessages();
    host.RemoveBand();
    // The browser's quit event ends the band's event connection.
    ComPtr<IDispatch> events;
    DISPPARAMS none = {};
    if (SUCCEEDED(band->QueryInterface(IID_IDispatch, events.put_void()))) {
      events->Invoke(DISPID_ONQUIT, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }
  }
  host.PumpMessages();
  EXPECT_EQ(S_OK, dll.canUnload()) << "everything of the band is gone";
  return dll.canUnload() == S_OK;
}

TEST_F(ModuleLife, LoadAndUnloadCyclesLeaveNothingBehind) {
  host::ExplorerHost* host = OpenHost();
  ASSERT_NE(nullptr, host);
  const std::wstring path = BuiltModulePath();
  HINSTANCE instance = nullptr;

  // The first cycles load what stays in the process anyway (common controls 6, the shell's
  // caches); the measure starts after them.
  constexpr int kWarmUp = 20;
  constexpr int kCycles = 200;
  for (int i = 0; i < kWarmUp; ++i) ASSERT_TRUE(OneCycle(*host, path, &instance));

  const SIZE_T before = PrivateAddressSpace();
  for (int i = kWarmUp; i < kCycles; ++i) ASSERT_TRUE(OneCycle(*host, path, &instance)) << "cycle " << i;
  const SIZE_T after = PrivateAddressSpace();
  std::printf("private address space (bytes): %zu before, %zu after %d cycles\n", static_cast<size_t>(before),
              static_cast<size_t>(after), kCycles - kWarmUp);
  // The allowance is for what the process grows by itself over all measured cycles.
  EXPECT_LE(after > before ? after - before : 0, SIZE_T{512 * 1024}) << "private address space grew";

  // Unloaded for real, and its window classes went with it.
  EXPECT_EQ(nullptr, GetModuleHandleW(path.c_str()));
  WNDCLASSEXW info = {};
  info.cbSize = sizeof(info);
  for (const wchar_t* name : {L"Vantorel Toolbar", L"Vantorel Editbox"}) {
    EXPECT_FALSE(GetClassInfoExW(instance, name, &info)) << "class left registered";
  }
}

TEST_F(ModuleLife, TwoCopiesInOneProcessEachHaveWorkingWindows) {
  // The same module under a second name, as a second installation would be.
  const std::wstring copy = BesideTests(L"VantorelCopy.dll");
  ASSERT_TRUE(CopyFileW(BuiltModulePath().c_str(), copy.c_str(), FALSE));
  const struct {
    std::wstring path;
    const wchar_t* keyword;
    std::vector<std::wstring> selected;
  } copies[] = {
      {BuiltModulePath(), L"*.txt", {L"alpha.txt", L"beta.txt"}},
      {copy, L"g*", {L"gamma.doc"}},
  };
  std::vector<ComPtr<IUnknown>> bands;
  for (const auto& c : copies) {
    dlls_.push_back(std::make_unique<LoadedDll>(c.path));
    ASSERT_TRUE(dlls_.back()->complete());
    host::ExplorerHost* host = OpenHost();
    ASSERT_NE(nullptr, host);
    bands.push_back(CreateBand(*dlls_.back()));
    ASSERT_TRUE(bands.back());
    ASSERT_EQ(S_OK, host->AddBand(bands.back().get()));
  }
  ASSERT_NE(dlls_[0]->module(), dlls_[1]->module());

  for (size_t i = 0; i < bands.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "copy " << i);
    host::ExplorerHost& host = *hosts_[i];
    HWND band = host.BandWindow();
    ASSERT_NE(nullptr, band);
    HWND box = GetWindow(band, GW_CHILD);
    ASSERT_NE(nullptr, box) << "the input box was created";
    // Each copy's windows are of its own classes.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(dlls_[i]->module()), GetClassLongPtrW(band, GCLP_HMODULE));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(dlls_[i]->module()), GetClassLongPtrW(box, GCLP_HMODULE));
    // Typed text reaches the box, and Enter runs the selection in that copy's view.
    SetFocus(box);
    for (const wchar_t* c = copies[i].keyword; *c; ++c) SendMessageW(box, WM_CHAR, *c, 0);
    wchar_t text[64] = L"";
    GetWindowTextW(box, text, 64);
    EXPECT_STREQ(copies[i].keyword, text);
    ComPtr<IInputObject> input;
    ASSERT_EQ(S_OK, bands[i]->QueryInterface(IID_IInputObject, input.put_void()));
    MSG enter = {box, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_EQ(S_OK, input->TranslateAcceleratorIO(&enter));
    EXPECT_EQ(copies[i].selected, SelectedNames(host.ListView(), folder_.path()));
  }
  for (auto& host : hosts_) host->Close();
  hosts_.clear();
  bands.clear();
  for (auto& dll : dlls_) EXPECT_EQ(S_OK, dll->canUnload());
  dlls_.clear();
  DeleteFileW(copy.c_str());
}

}  // namespace
