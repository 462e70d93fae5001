#include "framework/window_thunk.h"

#include <cstring>

namespace vantorel {
namespace {

constexpr size_t kThunkSize = 32;

// The executable heap of this load of the module; destroyed when the module is unloaded.
HANDLE g_heap = nullptr;

HANDLE ThunkHeap() noexcept {
  HANDLE heap = InterlockedCompareExchangePointer(&g_heap, nullptr, nullptr);
  if (heap) return heap;
  HANDLE created = HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0);
  if (!created) return nullptr;
  HANDLE previous = InterlockedCompareExchangePointer(&g_heap, created, nullptr);
  if (!previous) return created;
  HeapDestroy(created);
  return previous;
}

}  // namespace

void WindowThunk::ReleaseHeap() noexcept {
  HANDLE heap = InterlockedExchangePointer(&g_heap, nullptr);
  if (heap) HeapDestroy(heap);
}

WindowThunk::~WindowThunk() { FreeCode(code_); }

void WindowThunk::FreeCode(void* code) noexcept {
  HANDLE heap = InterlockedCompareExchangePointer(&g_heap, nullptr, nullptr);
  if (code && heap) HeapFree(heap, 0, code);
}

bool WindowThunk::Init(ObjectWindowProc proc, void* object) noexcept {
#if defined(_M_X64) || defined(__x86_64__)
  if (!code_) {
    HANDLE heap = ThunkHeap();
    if (!heap) return false;
    code_ = static_cast<unsigned char*>(HeapAlloc(heap, 0, kThunkSize));
    if (!code_) return false;
  }
  // mov rcx, object ; mov rax, proc ; jmp rax
  unsigned char code[kThunkSize] = {0x48, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0xFF, 0xE0};
  std::memcpy(code + 2, &object, sizeof(object));
  void* target = reinterpret_cast<void*>(proc);
  std::memcpy(code + 12, &target, sizeof(target));
  for (size_t i = 22; i < kThunkSize; ++i) code[i] = 0xCC;
  std::memcpy(code_, code, kThunkSize);
  FlushInstructionCache(GetCurrentProcess(), code_, kThunkSize);
  return true;
#else
#error "window stubs are written for x64 only"
#endif
}

}  // namespace vantorel
