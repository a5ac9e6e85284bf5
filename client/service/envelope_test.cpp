#include "client/service/envelope.h"

#include <gtest/gtest.h>

#include "client/service/transport.h"
#include "client/shell/fake_platform.h"

namespace {

TEST(Envelope, ReadsTheLastItemTheWayTheServiceWritesIt) {
  struct Case {
    const char16_t* answer;
    const char16_t* result;
    const char16_t* remark;
  } cases[] = {
      {u"<?xml version=\"1.0\"?><root><item><result>Y</result><remark>成功</remark></item></root>", u"Y", u"成功"},
      {u"<r><item><result>N</result><remark>a</remark></item><item><result>Y</result><remark>b</remark></item></r>",
       u"Y", u"b"},
      // remark before result: the remark find fails and repeats the result.
      {u"<r><item><remark>why</remark><result>N</result></item></r>", u"N", u"N"},
      {u"<r><item><remark>only</remark></item></r>", u"", u"only"},
      {u"<r><other/></r>", u"", u""},
      {u"not xml", u"", u""},
      {u"", u"", u""},
  };
  for (const Case& c : cases) {
    ResultRemark values = ReadResultRemark(c.answer);
    EXPECT_EQ(values.result, c.result);
    EXPECT_EQ(values.remark, c.remark);
  }
}

TEST(Envelope, ItemFieldsComeFromTheLastItem) {
  const char16_t* answer =
      u"<?xml version=\"1.0\"?><root><item><versionid>105</versionid></item><item><versionid>106</versionid>"
      u"<deskey2>k&amp;y</deskey2></item></root>";
  EXPECT_EQ(ReadItemField(answer, u"versionid"), u"106");
  EXPECT_EQ(ReadItemField(answer, u"deskey2"), u"k&y");
  EXPECT_EQ(ReadItemField(answer, u"missing"), u"");
  EXPECT_EQ(ReadItemField(u"<html>oops</html>", u"versionid"), u"");
}

TEST(Transport, AnswerTextDropsCarriageReturnsAndConvertsOnce) {
  Utf8CodePage codePage;
  EXPECT_EQ(AnswerText("a\r\nb\r\n", codePage), u"a\nb\n");
  // A long line with a multi-byte character right at a 1022-byte boundary.
  std::string line(1021, 'x');
  line += "\xe4\xb8\xad";  // one character over the boundary
  std::u16string text = AnswerText(line + line + line, codePage);
  EXPECT_EQ(text.size(), 3u * 1022u);
  EXPECT_EQ(text[1021], u'中');
  EXPECT_EQ(AnswerText(std::string("ab\0cd", 5), codePage), u"ab");
  EXPECT_EQ(AnswerText("", codePage), u"");
}

}  // namespace
