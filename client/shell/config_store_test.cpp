#include "client/shell/config_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "client/shell/ini_conformance.h"
#include "client/shell/portable_ini.h"

namespace {

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class TempFolder {
 public:
  TempFolder() {
    path_ = std::filesystem::temp_directory_path() / ("lumetra-ini-" + std::to_string(::getpid()) + "-" +
                                                      std::to_string(counter_++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string Path() const { return path_.string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

TEST(PortableIniFiles, BehavesLikeThePrivateProfileFunctions) {
  TempFolder folder;
  PortableIniFiles ini;
  CheckIniConformance(ini, U16(folder.Path()), u'/');
}

TEST(PortableIniFiles, ReadsHandWrittenFiles) {
  TempFolder folder;
  const std::string path = folder.Path() + "/version.ini";
  std::ofstream(path) << "; installed\n[ String ]\n  versionid =  105  \ntitle=\"quoted\"\n[next]\nversionid=7\n";
  PortableIniFiles ini;
  EXPECT_EQ(ReadConfigValue(ini, U16(path), u"versionid"), u"105");
  EXPECT_EQ(ReadConfigValue(ini, U16(path), u"title"), u"quoted");

  // A new key goes into its section, not after the next one.
  WriteConfigValue(ini, u"remember", u"0", U16(path));
  EXPECT_EQ(ReadConfigValue(ini, U16(path), u"remember"), u"0");
  EXPECT_EQ(ini.Read(U16(path), u"next", u"remember"), u"");
}

TEST(ConfigReadings, FlagsAndNumbers) {
  struct { const char16_t* value; bool on; } flags[] = {
      {u"1", true}, {u"0", false}, {u"", false}, {u"01", false}, {u"1 ", false}, {u"yes", false}};
  for (auto& f : flags) EXPECT_EQ(IsFlagOn(f.value), f.on);

  struct { const char16_t* value; std::int32_t number; } numbers[] = {
      {u"105", 105}, {u"99abc", 99}, {u"", 0}, {u"abc", 0}, {u"-5", 0}, {u" 7", 0},
      {u"99999999999999", 2147483647}};
  for (auto& n : numbers) EXPECT_EQ(LeadingNumber(n.value), n.number);
}

TEST(ConfigReadings, HotKeyAndChangeInterval) {
  struct { const char16_t* value; std::int32_t number; } hotKeys[] = {
      {u"F5", 5}, {u"F11", 11}, {u"HOME", 0}, {u"", 0}, {u"F12", 12}, {u"f10", 0}, {u"FF9", 9}};
  for (auto& h : hotKeys) EXPECT_EQ(HotKeyNumber(h.value), h.number);

  struct { const char16_t* value; std::int32_t seconds; } intervals[] = {
      {u"", 15}, {u"3", 15}, {u"15", 15}, {u"16", 16}, {u"600s", 600}};
  for (auto& i : intervals) EXPECT_EQ(ChangeIntervalSeconds(i.value), i.seconds);
}

TEST(ConfigReadings, DistributorSettingKeepsOnlyUnderscoredTexts) {
  EXPECT_EQ(DistributorSetting(u"__A__B"), u"AB");
  EXPECT_EQ(DistributorSetting(u"__"), u"");
  EXPECT_EQ(DistributorSetting(u"__My VPN"), u"My VPN");
  EXPECT_EQ(DistributorSetting(u"___x"), u"_x");
  EXPECT_FALSE(DistributorSetting(u"My VPN"));
  EXPECT_FALSE(DistributorSetting(u"_x__"));
  EXPECT_FALSE(DistributorSetting(u""));
}

}  // namespace
