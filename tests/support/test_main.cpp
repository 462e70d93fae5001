// The main of the test programs that make windows and shell objects: OLE and the common
// controls, as on an Explorer window's thread.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  HRESULT ole = OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  int result = RUN_ALL_TESTS();
  if (SUCCEEDED(ole)) OleUninitialize();
  return result;
}
