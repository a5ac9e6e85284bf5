#include "client/shell/login_settings.h"

#include <gtest/gtest.h>

#include "client/shell/client_state.h"
#include "client/shell/fake_platform.h"

namespace {

class LoginSettingsTest : public ::testing::Test {
 protected:
  std::u16string Encipher(const std::u16string& text) { return EncipherText(cipher, text, kFixedKey); }
  LoginDialogSettings Read() { return ReadLoginDialogSettings(ini, cipher, kConfigPath); }
  std::map<std::u16string, std::u16string>& Config() { return ini.files[kConfigPath]; }

  static constexpr char16_t kConfigPath[] = u"C:\\vpn\\conf\\config.ini";

  MemoryIniFiles ini;
  Utf8CodePage codePage;
  FakeDravik dravik;
  CipherBinding cipher{dravik, codePage};
};

TEST_F(LoginSettingsTest, NoConfigurationGivesTheDefaults) {
  LoginDialogSettings s = Read();
  EXPECT_EQ(s.userName, u"");
  EXPECT_EQ(s.password, u"");
  EXPECT_FALSE(s.remember);
  EXPECT_FALSE(s.englishSelected);
  EXPECT_EQ(s.windowTitle, u"Lumetra v3.1.1");
  EXPECT_EQ(s.origin, u"0");
}

TEST_F(LoginSettingsTest, RememberedPasswordTitleAndOriginRoundTrip) {
  Config() = {{u"username", u"alice"},
                {u"password", Encipher(u"s3cret pass")},
                {u"remember", u"1"},
                {u"language", u"en"},
                {u"title", Encipher(u"__极速__VPN")},
                {u"origin", Encipher(u"__1024")}};
  // The stored digits are the lowercase hex of the cipher, 16 per block.
  EXPECT_EQ(Config()[u"password"].size(), 32u);
  LoginDialogSettings s = Read();
  EXPECT_EQ(s.userName, u"alice");
  EXPECT_EQ(s.password, u"s3cret pass");
  EXPECT_TRUE(s.remember);
  EXPECT_TRUE(s.englishSelected);
  EXPECT_EQ(s.windowTitle, u"极速VPN");
  EXPECT_EQ(s.origin, u"1024");
}

TEST_F(LoginSettingsTest, UnusableDistributorValuesKeepTheDefaults) {
  struct Case {
    std::u16string stored;
    std::u16string title;
  } cases[] = {
      {Encipher(u"No underscores"), u"Lumetra v3.1.1"},
      {Encipher(u"__"), u""},
      {u"not hex at all", u"Lumetra v3.1.1"},
      {u"", u"Lumetra v3.1.1"},
  };
  for (const Case& c : cases) {
    Config()[u"title"] = c.stored;
    EXPECT_EQ(Read().windowTitle, c.title) << std::string(c.stored.begin(), c.stored.end());
  }
}

TEST_F(LoginSettingsTest, OnlyTheExactValueEnSelectsEnglish) {
  for (auto [value, english] : {std::pair{u"en", true}, {u"EN", false}, {u"cn", false}, {u"fr", false}}) {
    Config()[u"language"] = value;
    LoginDialogSettings s = Read();
    EXPECT_EQ(s.englishSelected, english);
    EXPECT_EQ(LanguageFilePath(u"C:\\vpn", s.language), std::u16string(u"C:\\vpn\\conf\\") + value + u".ini");
  }
  EXPECT_EQ(LanguageFilePath(u"C:\\vpn", u""), u"C:\\vpn\\conf\\.ini");
}

TEST_F(LoginSettingsTest, WithoutDravikEverythingDecipheredIsEmpty) {
  Config() = {{u"password", Encipher(u"secret")}, {u"remember", u"1"}, {u"title", Encipher(u"__Mine")}};
  dravik.loaded = false;
  LoginDialogSettings s = Read();
  EXPECT_EQ(s.password, u"");
  EXPECT_TRUE(s.remember);
  EXPECT_EQ(s.windowTitle, u"Lumetra v3.1.1");
  EXPECT_EQ(EncipherText(cipher, u"secret", kFixedKey), u"");
}

TEST(CipherText, TextsBeyondTheBuffersGiveEmptyResults) {
  Utf8CodePage codePage;
  FakeDravik dravik;
  CipherBinding cipher{dravik, codePage};
  // 2040 bytes is the cipher's limit; a password of 3000 never overflows.
  EXPECT_EQ(EncipherText(cipher, std::u16string(2040, u'a'), kFixedKey).size(), 4080u);
  EXPECT_EQ(EncipherText(cipher, std::u16string(3000, u'a'), kFixedKey), u"");
  EXPECT_EQ(EncipherText(cipher, std::u16string(5000, u'a'), kFixedKey), u"");
  EXPECT_EQ(EncipherText(cipher, u"a", std::u16string(5000, u'k')), u"");
  // A long answer (up to 8176 digits) is deciphered in full.
  std::string longText(4000, 'x');
  std::string hex = netcore::EncipherToHex(longText, "kt204719");
  EXPECT_EQ(DecipherText(cipher, std::u16string(hex.begin(), hex.end()), kFixedKey),
            std::u16string(longText.begin(), longText.end()));
}

TEST(ClientStatePaths, FolderAndConfigPath) {
  EXPECT_EQ(FolderOfProgram(u"C:\\Program Files\\Lumetra\\vpn.exe"), u"C:\\Program Files\\Lumetra");
  EXPECT_EQ(ConfigPathOf(u"C:\\x"), u"C:\\x\\conf\\config.ini");
  EXPECT_EQ(FolderOfProgram(u"vpn.exe"), u"");
}

}  // namespace
