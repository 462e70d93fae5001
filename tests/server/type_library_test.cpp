// The module's type library as a Japanese system reads it. A type library's help strings are
// 8-bit text converted with the process's ANSI code page; ctest runs this program with a
// Japanese locale, which gives code page 932 under Wine (the thread locale alone does not
// change what the type library reader uses there).
#include <windows.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/com_ptr.h"
#include "tests/server/dll_under_test.h"
#include "vantorel_h.h"

using namespace vantorel_test;
using vantorel::ComPtr;

namespace {

TEST(JapaneseTypeLibrary, HelpStringsReadBackIntact) {
  ASSERT_EQ(932u, GetACP()) << "run with LANG=ja_JP.UTF-8: the strings are read in code page 932";
  const LCID previousLocale = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(0x411));
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, LoadTypeLibEx(BuiltModulePath().c_str(), REGKIND_NONE, library.put()));
  const struct {
    const char* what;
    const GUID* type;  // null: the library itself
    const wchar_t* name;
    const wchar_t* help;
  } cases[] = {
      {"library", nullptr, L"VantorelLib", L"Vantorel 1.0 \u30bf\u30a4\u30d7 \u30e9\u30a4\u30d6\u30e9\u30ea"},
      {"interface", &IID_ISelectorCore, L"ISelectorCore", L"ISelectorCore \u30a4\u30f3\u30bf\u30fc\u30d5\u30a7\u30a4\u30b9"},
      {"coclass", &CLSID_SelectorCore, L"SelectorCore", L"SelectorCore Class"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BSTR name = nullptr, help = nullptr;
    if (c.type) {
      ComPtr<ITypeInfo> info;
      ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*c.type, info.put()));
      ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr));
    } else {
      ASSERT_EQ(S_OK, library->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    }
    EXPECT_EQ(std::wstring(c.name), name ? name : L"");
    EXPECT_EQ(std::wstring(c.help), help ? help : L"");
    SysFreeString(name);
    SysFreeString(help);
  }
  SetThreadLocale(previousLocale);
}

}  // namespace
