#include "devservice/roles.h"
#include "devservice/text.h"

#include <gtest/gtest.h>

namespace devservice {
namespace {

TEST(Gbk, ConvertsBothWaysAndNeverFails) {
  // 测试用户 in code page 936.
  const std::string gbk = "\xb2\xe2\xca\xd4\xd3\xc3\xbb\xa7";
  EXPECT_EQ(Utf8ToGbk("测试用户"), gbk);
  EXPECT_EQ(GbkToUtf8(gbk), "测试用户");
  EXPECT_EQ(Utf8ToGbk("abc"), "abc");
  // Broken input in either direction gives '?' in place, and the rest.
  EXPECT_EQ(GbkToUtf8("a\xff" "b"), "a?b");
  EXPECT_EQ(GbkToUtf8("ab\xb2"), "ab?");                 // cut double-byte character
  EXPECT_EQ(Utf8ToGbk("x\xe2\x82"), "x?");              // cut UTF-8 sequence
  EXPECT_EQ(Utf8ToGbk("\xf0\x9f\x98\x80!"), "?!");       // no GBK form
  EXPECT_EQ(Utf8ToGbk(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Target, SplitsPathAndDecodesParametersAsBytes) {
  struct Case {
    std::string target, path;
    std::vector<std::pair<std::string, std::string>> params;
  };
  const Case cases[] = {
      {"/apiv3-getip.html?sessionid=AB12", "apiv3-getip.html", {{"sessionid", "AB12"}}},
      {"/update3/version.php?act=version", "update3/version.php", {{"act", "version"}}},
      {"/main-helpV2.html", "main-helpV2.html", {}},
      {"//x?", "x", {}},
      // The client never escapes: '+' is a plus, not a space.
      {"/p?password=a+b&x=%20", "p", {{"password", "a+b"}, {"x", " "}}},
      // Percent-encoded code page bytes arrive as those bytes.
      {"/p?username=%B2%E2%ca%d4", "p", {{"username", "\xb2\xe2\xca\xd4"}}},
      {"/p?username=\xb2\xe2", "p", {{"username", "\xb2\xe2"}}},
      // Broken escapes and odd pairs are taken as they stand.
      {"/p?a=%&b=%4&c=%zz&d=100%", "p", {{"a", "%"}, {"b", "%4"}, {"c", "%zz"}, {"d", "100%"}}},
      {"/p?flag&=v&&k=a=b", "p", {{"flag", ""}, {"", "v"}, {"k", "a=b"}}},
      {"", "", {}},
  };
  for (const Case& c : cases) {
    Target t = ParseTarget(c.target);
    EXPECT_EQ(t.path, c.path) << c.target;
    EXPECT_EQ(t.params, c.params) << c.target;
  }
  Target t = ParseTarget("/p?a=1&a=2");
  EXPECT_EQ(ParamValue(t, "a"), "1");
  EXPECT_TRUE(HasParam(t, "a"));
  EXPECT_FALSE(HasParam(t, "b"));
  EXPECT_EQ(ParamValue(t, "b"), "");
}

TEST(Dates, RoundTripAndRejectMalformed) {
  long days = 0;
  ASSERT_TRUE(ParseDate("1970-01-01", days));
  EXPECT_EQ(days, 0);
  ASSERT_TRUE(ParseDate("2024-02-29", days));
  EXPECT_EQ(FormatDate(days + 1), "2024-03-01");
  ASSERT_TRUE(ParseDate("2030-12-31", days));
  EXPECT_EQ(FormatDate(days + 365), "2031-12-31");
  EXPECT_EQ(DaysFromTime(86400 * 3 + 5), 3);
  EXPECT_EQ(DaysFromTime(-1), -1);
  for (const char* bad : {"", "2024-2-29", "2024/02/29", "2024-13-01", "2024-00-10", "2024-01-32", "abcd-ef-gh"}) {
    EXPECT_FALSE(ParseDate(bad, days)) << bad;
  }
}

TEST(Loopback, OnlyDottedQuadsInside127) {
  for (const char* good : {"127.0.0.1", "127.0.0.6", "127.255.255.254", "127.1.2.3"}) {
    EXPECT_TRUE(IsLoopbackAddress(good)) << good;
  }
  for (const char* bad : {"0.0.0.0", "128.0.0.1", "10.0.0.1", "localhost", "127.0.0", "127.0.0.1.5", "127.0.0.256",
                          "127.0.0.1 ", "127..0.1", "", "1270.0.0.1", "::1"}) {
    EXPECT_FALSE(IsLoopbackAddress(bad)) << bad;
  }
}

TEST(Roles, DefaultsAreDistinctLoopbackAddressesOnPort80) {
  auto bindings = DefaultBindings();
  for (std::size_t i = 0; i < kRoleCount; ++i) {
    EXPECT_TRUE(IsLoopbackAddress(bindings[i].host));
    EXPECT_EQ(bindings[i].port, 80);
    EXPECT_EQ(RoleFromName(kRoles[i].name), kRoles[i].role);
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(bindings[i].host, bindings[j].host);
  }
  EXPECT_EQ(bindings[static_cast<std::size_t>(Role::kPrimary)].host, "127.0.0.1");
  EXPECT_EQ(bindings[static_cast<std::size_t>(Role::kLogin)].host, "127.0.0.2");
  EXPECT_FALSE(RoleFromName("Primary"));
}

}  // namespace
}  // namespace devservice
