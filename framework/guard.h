#pragma once
// Keeps C++ exceptions inside the module: COM methods, window procedures and hooks run their
// bodies through these and turn an escaping exception into a plain failure result.
#include <windows.h>
#include <new>

namespace vantorel {

template <class F>
HRESULT GuardHresult(F&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Runs body; on an exception returns fallback instead.
template <class R, class F>
R GuardValue(R fallback, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace vantorel
