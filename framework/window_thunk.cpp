#include "framework/window_thunk.h"

#include <cstring>

namespace vantorel {
namespace {

constexpr size_t kThunkSize = 32;

HANDLE ThunkHeap() noexcept {
  static HANDLE heap = HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0);
  return heap;
}

}  // namespace

WindowThunk::~WindowThunk() { FreeCode(code_); }

void WindowThunk::FreeCode(void* code) noexcept {
  if (code) HeapFree(ThunkHeap(), 0, code);
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
