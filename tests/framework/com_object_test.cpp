#include <windows.h>
#include <gtest/gtest.h>

#include "framework/com_object.h"
#include "framework/module.h"

using namespace vantorel;

namespace {

int g_destroyed = 0;

class CSample : public ComObject<CSample>, public IPersistStream, public IOleWindow {
 public:
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CSample, IPersistStream),
                                           VANTOREL_INTERFACE_VIA(CSample, IPersistStream, IPersist),
                                           VANTOREL_INTERFACE(CSample, IOleWindow),
                                           {}};
    return table;
  }
  ~CSample() override { ++g_destroyed; }
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(IStream*) override { return S_OK; }
  STDMETHODIMP Save(IStream*, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
};

// A minimal outer object for aggregation: forwards everything but its own identity.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown) return inner->QueryInterface(riid, ppv);
    *ppv = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  IUnknown* inner = nullptr;
  ULONG refs = 1;
};

}  // namespace

TEST(ComObject, QueryInterfaceGivesOneIdentityAndCountsReferences) {
  g_destroyed = 0;
  LONG locksBefore = Module::LockCount();
  IPersistStream* stream = nullptr;
  ASSERT_EQ(S_OK, CSample::CreateInstance(nullptr, IID_IPersistStream, reinterpret_cast<void**>(&stream)));
  EXPECT_EQ(locksBefore + 1, Module::LockCount());

  IUnknown *unknown1 = nullptr, *unknown2 = nullptr;
  IOleWindow* window = nullptr;
  ASSERT_EQ(S_OK, stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown1)));
  ASSERT_EQ(S_OK, stream->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)));
  ASSERT_EQ(S_OK, window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown2)));
  EXPECT_EQ(unknown1, unknown2);

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, stream->QueryInterface(IID_IDispatch, &none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(E_POINTER, stream->QueryInterface(IID_IUnknown, nullptr));

  unknown1->Release();
  unknown2->Release();
  window->Release();
  EXPECT_EQ(0, g_destroyed);
  EXPECT_EQ(0u, stream->Release());
  EXPECT_EQ(1, g_destroyed);
  EXPECT_EQ(locksBefore, Module::LockCount());
}

TEST(ComObject, AggregationNeedsIUnknownAndDelegatesToTheOuterObject) {
  g_destroyed = 0;
  Outer outer;
  void* out = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, CSample::CreateInstance(&outer, IID_IPersistStream, &out));
  EXPECT_EQ(nullptr, out);

  ASSERT_EQ(S_OK, CSample::CreateInstance(&outer, IID_IUnknown, &out));
  outer.inner = static_cast<IUnknown*>(out);
  IOleWindow* window = nullptr;
  ASSERT_EQ(S_OK, outer.inner->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)));
  ULONG outerRefs = outer.refs;
  window->AddRef();  // goes to the outer object
  EXPECT_EQ(outerRefs + 1, outer.refs);
  IUnknown* identity = nullptr;
  ASSERT_EQ(S_OK, window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
  identity->Release();
  window->Release();
  window->Release();
  EXPECT_EQ(0, g_destroyed);
  outer.inner->Release();
  EXPECT_EQ(1, g_destroyed);
}

TEST(ComObject, MakeComObjectOwnsTheOnlyReference) {
  g_destroyed = 0;
  {
    ComPtr<CSample> sample = MakeComObject<CSample>();
    ASSERT_TRUE(sample);
    ComPtr<IOleWindow> window;
    EXPECT_EQ(S_OK, sample.As(window));
    EXPECT_TRUE(window);
  }
  EXPECT_EQ(1, g_destroyed);
}
