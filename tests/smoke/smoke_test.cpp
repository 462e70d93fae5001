#include <windows.h>
#include <gtest/gtest.h>
TEST(Smoke, WindowsApiAnswers) {
  EXPECT_NE(GetDesktopWindow(), nullptr);
}
