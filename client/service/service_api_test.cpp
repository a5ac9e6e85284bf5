#include "client/service/service_api.h"

#include <gtest/gtest.h>

#include "client/shell/fake_platform.h"

namespace {

TEST(ServiceApi, RequestsCarryTheBaseAsItIsAndEncodedParameters) {
  Utf8CodePage codePage;
  struct Case {
    std::u16string_view pathTemplate;
    std::initializer_list<std::u16string_view> parameters;
    std::u16string expected;
  } cases[] = {
      {endpoint::kProbe, {u"0A1B"}, u"http://127.0.0.1:80/apiv3-getip.html?sessionid=0A1B"},
      {endpoint::kSessionEnd, {u"alice", u"S1"}, u"http://127.0.0.1:80/ping.php?username=alice&sessionid=S1&q=1"},
      // Values that would change the query reach the service intact.
      {endpoint::kSessionEnd, {u"a&b=c", u"x y#+%"},
       u"http://127.0.0.1:80/ping.php?username=a%26b%3Dc&sessionid=x%20y%23%2B%25&q=1"},
      // Non-ASCII text goes as the bytes of the code page.
      {endpoint::kSessionEnd, {u"张", u"-._~"}, u"http://127.0.0.1:80/ping.php?username=%E5%BC%A0&sessionid=-._~&q=1"},
      // Missing parameters are empty.
      {endpoint::kHeartbeat, {u"bob", u"S"}, u"http://127.0.0.1:80/ping.php?username=bob&sessionid=S&nasname="},
      {endpoint::kServerList, {}, u"http://127.0.0.1:80/apiv3-serverlistV3.html"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatRequest(c.pathTemplate, u"http://127.0.0.1:80/", c.parameters, codePage), c.expected);
}

TEST(ServiceApi, OnlyAnExactXmlBeginningIsADocument) {
  EXPECT_TRUE(IsXmlDocument(u"<?xml version=\"1.0\"?><r/>"));
  for (std::u16string_view answer : {u"", u" <?xml", u"<?XML", u"<html>", u"<?xm"}) EXPECT_FALSE(IsXmlDocument(answer));
}

}  // namespace
