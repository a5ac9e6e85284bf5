#include "client/shell/update_check.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "client/service/service_bases.h"

namespace {

class VersionIni final : public IniFiles {
 public:
  std::u16string installed;
  std::u16string Read(const std::u16string& file, const std::u16string&, const std::u16string&) override {
    return file == u"C:\\vpn\\conf\\version.ini" ? installed : u"";
  }
  void Write(const std::u16string&, const std::u16string&, const std::u16string&, const std::u16string&) override {}
};

std::u16string Version(const char16_t* number) {
  return std::u16string(u"<?xml version=\"1.0\"?><root><item><result>Y</result><remark/><versionid>") + number +
         u"</versionid></item></root>";
}

TEST(UpdateCheck, ComparesNumbersAndFallsBackToTheSecondServer) {
  struct Case {
    const char16_t* installed;
    std::u16string first;
    std::u16string second;
    bool offered;
    std::size_t requests;
  } cases[] = {
      {u"105", Version(u"106"), u"", true, 1},
      {u"106", Version(u"106"), u"", false, 1},
      {u"99", Version(u"100"), u"", true, 1},  // numeric, not textual
      {u"", Version(u"1"), u"", true, 1},      // no version.ini: 0
      {u"105", u"<html>502 Bad Gateway</html>", Version(u"200"), true, 2},
      {u"105", u"", u"", false, 2},
      {u"105", Version(u"abc"), u"", false, 1},
  };
  for (const Case& c : cases) {
    VersionIni ini;
    ini.installed = c.installed;
    std::vector<std::u16string> urls;
    auto fetch = [&](const std::u16string& url) {
      urls.push_back(url);
      return urls.size() == 1 ? c.first : c.second;
    };
    EXPECT_EQ(NewerVersionOffered(fetch, ini, u"C:\\vpn"), c.offered);
    ASSERT_EQ(urls.size(), c.requests);
    EXPECT_EQ(urls[0], std::u16string(kFirstUpdateBase) + u"update3/version.php?act=version");
    if (c.requests == 2) {
      EXPECT_EQ(urls[1], std::u16string(kSecondUpdateBase) + u"update3/version.php?act=version");
    }
  }
}

}  // namespace
