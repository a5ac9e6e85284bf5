// The Windows side of file loading: MultiByteToWideChar behind the converter
// and the system's error text. The encoding table runs here too
// (xml_load_cases.cpp is linked in).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "xml/code_page.h"
#include "xml/xml_platform.h"

namespace {

TEST(XmlWin32, ConverterUsesTheSystemConversion) {
  const CodePageConverter& conv = SystemCodePageConverter();
  EXPECT_EQ(conv.AnsiCodePage(), GetACP());
  std::u16string out = u"x";
  ASSERT_TRUE(conv.AppendUtf16(936, "\xd6\xd0\xce\xc4", 4, out));
  EXPECT_EQ(out, u"x\u4e2d\u6587");
  out.clear();
  // The reader converts 16- and 32-bit text itself; the platform refuses it.
  EXPECT_FALSE(conv.AppendUtf16(1200, "a\0", 2, out));
  EXPECT_TRUE(out.empty());
}

TEST(XmlWin32, ErrorTextIsTheSystemMessage) {
  std::u16string text = xml::SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  xml::ReadOnlyFile file;
  EXPECT_FALSE(file.Open(u"xml_testdata\\no_such_file.xml"));
  EXPECT_EQ(file.LastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
