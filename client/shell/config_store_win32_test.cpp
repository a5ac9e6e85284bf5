// The INI table against the private-profile functions, and the cipher
// wrappers against the real dravik.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include "client/shell/ini_conformance.h"
#include "client/shell/platform_win32.h"
#include "ui/text.h"

namespace {

std::u16string MakeTempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  std::u16string folder = ui::U(base) + u"lumetra-ini-" + ui::U(std::to_wstring(GetCurrentProcessId()).c_str());
  CreateDirectoryW(ui::W(folder), nullptr);
  return folder;
}

TEST(ProfileIniFiles, BehavesLikeThePortableStore) {
  std::u16string folder = MakeTempFolder();
  ProfileIniFiles ini;
  CheckIniConformance(ini, folder, u'\\');
  DeleteFileW(ui::W(folder + u"\\config.ini"));
  RemoveDirectoryW(ui::W(folder));
}

TEST(CipherText, ThroughTheRealLibraryInTheSystemCodePage) {
  ClientState state;
  state.dravikModule = LoadLibraryW(L"dravik.dll");
  ASSERT_NE(state.dravikModule, nullptr);
  SystemCodePage codePage;
  DravikExports dravik(state);
  CipherBinding cipher{dravik, codePage};

  EXPECT_EQ(EncipherText(cipher, u"abc", u""), u"b2b3319ab2109238");
  const std::u16string password = u"密码password";  // 12 bytes in code page 936
  std::u16string hex = EncipherText(cipher, password, kFixedKey);
  EXPECT_EQ(hex.size(), 32u);
  EXPECT_EQ(DecipherText(cipher, hex, kFixedKey), GetACP() == 936 ? password : codePage.AnsiToWide(codePage.WideToAnsi(password)));

  // Looked up at every call: once the module is gone, results are empty.
  FreeLibrary(static_cast<HMODULE>(state.dravikModule));
  state.dravikModule = nullptr;
  EXPECT_EQ(EncipherText(cipher, u"abc", u""), u"");
}

}  // namespace
