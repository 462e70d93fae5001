#include "tests/view/view_test_support.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

namespace vantorel::test {
namespace {

bool RemoveTree(const std::wstring& path) {
  std::wstring pattern = path + L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
      std::wstring child = path + L"\\" + data.cFileName;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  return RemoveDirectoryW(path.c_str()) != 0;
}

}  // namespace

TempFolder::TempFolder(const std::vector<std::wstring>& files, const wchar_t* tag) {
  wchar_t temp[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t name[64];
  swprintf(name, 64, L"vantorel_%ls_%lu_%lu", tag, GetCurrentProcessId(), GetTickCount());
  path_ = std::wstring(temp) + name;
  if (!CreateDirectoryW(path_.c_str(), nullptr)) return;
  ok_ = true;
  for (const std::wstring& file : files) ok_ = AddFile(file) && ok_;
}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

bool TempFolder::AddFile(const std::wstring& name) {
  std::wstring full = path_ + L"\\" + name;
  HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool TempFolder::AddFolder(const std::wstring& name) {
  return CreateDirectoryW((path_ + L"\\" + name).c_str(), nullptr) != 0;
}

PIDLIST_ABSOLUTE TempFolder::FolderIdList() const { return ILCreateFromPathW(path_.c_str()); }

PIDLIST_ABSOLUTE TempFolder::ItemIdList(const std::wstring& name) const {
  return ILCreateFromPathW((path_ + L"\\" + name).c_str());
}

std::vector<std::wstring> NumberedNames(int count, const wchar_t* prefix, const wchar_t* extension) {
  std::vector<std::wstring> names;
  for (int i = 0; i < count; ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"%ls%04d%ls", prefix, i, extension);
    names.push_back(name);
  }
  return names;
}

AllocationSpy::AllocationSpy() : live_(new std::set<void*>) { InitializeCriticalSection(&lock_); }

AllocationSpy::~AllocationSpy() {
  Revoke();
  // A revoked spy may still be called for blocks it saw; it stays usable until process end.
  if (!registered_) {
    delete live_;
    live_ = nullptr;
  }
  DeleteCriticalSection(&lock_);
}

bool AllocationSpy::Register() {
  if (registered_) return true;
  registered_ = SUCCEEDED(CoRegisterMallocSpy(this));
  return registered_;
}

void AllocationSpy::Revoke() {
  if (!registered_) return;
  HRESULT hr = CoRevokeMallocSpy();
  // E_ACCESSDENIED: blocks it saw are alive; the allocator releases it when they are freed,
  // so the object must outlive them. Tests keep their spies static.
  if (SUCCEEDED(hr)) registered_ = false;
}

size_t AllocationSpy::Live() {
  EnterCriticalSection(&lock_);
  size_t count = live_ ? live_->size() : 0;
  LeaveCriticalSection(&lock_);
  return count;
}

void AllocationSpy::Reset() {
  EnterCriticalSection(&lock_);
  if (live_) live_->clear();
  LeaveCriticalSection(&lock_);
}

STDMETHODIMP AllocationSpy::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IMallocSpy) {
    *ppv = static_cast<IMallocSpy*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(void*) AllocationSpy::PostAlloc(void* pActual) {
  if (pActual) {
    EnterCriticalSection(&lock_);
    if (live_) live_->insert(pActual);
    LeaveCriticalSection(&lock_);
  }
  return pActual;
}

STDMETHODIMP_(void*) AllocationSpy::PreFree(void* pRequest, BOOL) {
  if (pRequest) {
    EnterCriticalSection(&lock_);
    if (live_) live_->erase(pRequest);
    LeaveCriticalSection(&lock_);
  }
  return pRequest;
}

STDMETHODIMP_(SIZE_T) AllocationSpy::PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL) {
  if (pRequest) {
    EnterCriticalSection(&lock_);
    if (live_) live_->erase(pRequest);
    LeaveCriticalSection(&lock_);
  }
  *ppNewRequest = pRequest;
  return cbRequest;
}

STDMETHODIMP_(void*) AllocationSpy::PostRealloc(void* pActual, BOOL) { return PostAlloc(pActual); }

AllocationSpy* SharedSpy() {
  static AllocationSpy* spy = [] {
    AllocationSpy* created = new AllocationSpy;  // never deleted: the allocator may call it late
    if (!created->Register()) {
      delete created;
      created = nullptr;
    }
    return created;
  }();
  return spy;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace vantorel::test
