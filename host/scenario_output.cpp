#include "host/scenario_output.h"

#include <wincodec.h>

#include "framework/com_ptr.h"
#include "framework/unique_handle.h"
#include "settings/settings.h"

namespace vantorel::host {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
  }
  return result;
}

void WriteLine(HANDLE out, const std::string& line) {
  std::string data = line + "\n";
  const char* p = data.data();
  DWORD left = static_cast<DWORD>(data.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(out, p, left, &written, nullptr) || written == 0) return;
    p += written;
    left -= written;
  }
}

bool WriteSettingsFile(const std::wstring& path, uint32_t runMode, uint32_t options) {
  return SaveSettingsTo(path.c_str(), Settings{runMode, options});
}

bool ReadSettingsFile(const std::wstring& path, uint32_t& runMode, uint32_t& options) {
  Settings settings;
  if (!LoadSettingsFrom(path.c_str(), settings)) return false;
  runMode = settings.RunMode;
  options = settings.Options;
  return true;
}

bool SaveWindowPng(HWND window, const std::wstring& path, std::wstring& error, bool redraw) {
  RECT rc;
  if (!window || !GetWindowRect(window, &rc) || rc.right <= rc.left || rc.bottom <= rc.top) {
    error = L"no window to capture";
    return false;
  }
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (redraw) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen, w, h));
  bool copied = false;
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap.get());
    copied = BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY | CAPTUREBLT) != FALSE;
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) {
    error = L"could not copy the frame from the screen";
    return false;
  }
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmap> source;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void());
  if (SUCCEEDED(hr)) hr = factory->CreateBitmapFromHBITMAP(bitmap.get(), nullptr, WICBitmapIgnoreAlpha, source.put());
  if (SUCCEEDED(hr)) hr = factory->CreateStream(stream.put());
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
  if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.put(), nullptr);
  if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
  if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h));
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr)) hr = frame->WriteSource(source.get(), nullptr);
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  if (FAILED(hr)) {
    wchar_t text[64];
    wsprintfW(text, L"PNG encoding failed (0x%08lX)", static_cast<unsigned long>(hr));
    error = text;
    return false;
  }
  return true;
}

}  // namespace vantorel::host
