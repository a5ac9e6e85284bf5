#include "xml/xml_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "xml/code_page.h"
#include "xml/test_text.h"
#include "xml/xml_file.h"
#include "xml/xml_scan.h"

namespace {


std::u16string Widen(std::string_view s) { return std::u16string(s.begin(), s.end()); }

// The tree as text: name(child child ...), with u for unended elements.
std::string Shape(const CXmlReader& r, uint32_t first) {
  std::string out;
  for (uint32_t c = first; c != 0; c = r.Record(c).nextSibling) {
    if (!out.empty()) out += ' ';
    out += Narrow(r.TagName(c));
    if (r.Record(c).flags & kRecordUnended) out += "!";
    if (r.Record(c).firstChild) out += "(" + Shape(r, r.Record(c).firstChild) + ")";
  }
  return out;
}

std::string Shape(const CXmlReader& r) { return Shape(r, r.Record(0).firstChild); }

// Checks the links of the index: parents, sibling lists, first-child marks.
void ExpectConsistent(const CXmlReader& r) {
  for (uint32_t p = 0; p < r.RecordCount(); ++p) {
    uint32_t first = r.Record(p).firstChild;
    if (!first) continue;
    uint32_t last = 0;
    for (uint32_t c = first; c != 0; c = r.Record(c).nextSibling) {
      EXPECT_EQ(r.Record(c).parent, p);
      EXPECT_EQ((r.Record(c).flags & kRecordFirstSibling) != 0, c == first);
      if (c != first) {
        EXPECT_EQ(r.Record(c).prevSibling, last);
      }
      last = c;
    }
    EXPECT_EQ(r.Record(first).prevSibling, last);
  }
}

TEST(XmlReaderLayout, RecordIsThirtyTwoBytesWithPackedTagLengths) {
  ElementRecord rec{};
  rec.startTagLength = kMaxStartTagLength;
  rec.endTagLength = kMaxEndTagLength;
  EXPECT_EQ(rec.startTagLength, 4194303u);
  EXPECT_EQ(rec.endTagLength, 1023u);
  uint32_t word;
  memcpy(&word, reinterpret_cast<const char*>(&rec) + 8, 4);
  EXPECT_EQ(word, 0xFFFFFFFFu);
}

struct BuildCase {
  const char* text;
  bool wellFormed;
  const char* shape;
  const char* log;
};

TEST(XmlReaderBuild, LenientBuildingTable) {
  const BuildCase cases[] = {
      {"", false, "", ""},
      {"hello", false, "", "<no_root_element/>"},
      {"<r/>", true, "r", ""},
      {"<?xml version=\"1.0\"?>\n<r>\n <a>1</a>\n</r>\n", true, "r(a)", ""},
      {"<r><a><b>1</b></r>", false, "r(a! b)", "<unended_start_tag tagname=\"a\" offset=\"3\" offset2=\"15\"/>"},
      {"<r></x><c/></r>", false, "r(c)", "<lone_end_tag tagname=\"x\" offset=\"3\"/>"},
      {"<a/><b/>", false, "a b", "<root_has_sibling/>"},
      {"<r><a>", false, "r! a!",
       "<unended_start_tag tagname=\"a\" offset=\"3\" offset2=\"6\"/>"
       "<unended_start_tag tagname=\"r\" offset=\"0\" offset2=\"6\"/><root_has_sibling/>"},
      {"<r><a><b><c/></a></r>", false, "r(a(b! c))",
       "<unended_start_tag tagname=\"b\" offset=\"6\" offset2=\"14\"/>"},
      {"<r><!-- <x> --><![CDATA[<y>]]><?pi <z>?><!DOCTYPE r [<!ENTITY e \">\">]></r>", true, "r", ""},
      {"<r a='>' b=\">\"><i/></r>", true, "r(i)", ""},
      {"<r><a href=x/><b/></a></r>", true, "r(a(b))", ""},
      {"<r><br/><a b=\"c\"/><a b=c /></r>", true, "r(br a a)", ""},
      {"<r>< x</r>", false, "r", "<first_tag_syntax offset=\"3\"/>"},
      {"<r><!x></r>", false, "r", "<exclamation_tag_syntax offset=\"3\"/>"},
      {"<r><!-x></r>", false, "r", "<comment_tag_syntax offset=\"3\"/>"},
      {"<r><![x></r>", false, "r", "<cdata_section_syntax offset=\"3\"/>"},
      {"<!DOCTYPE r [<!x>]><r/>", false, "r",
       "<doctype_tag_syntax offset=\"0\"/><exclamation_tag_syntax offset=\"13\"/>"},
      {"<r>text & > more</r>", true, "r", ""},
      // Tag ends that indexing reads without the general scanner, and their neighbours.
      {"<r><a >1</a ><b\t/><c\n/ ></c><d/ >x</d></r >", true, "r(a b c d)", ""},
      {"<r><a=\">\"/><b x='/>'>2</b><c/d>x</c><e/f/></r>", true, "r(a b c e)", ""},
      {"<r></a/></r>", false, "r", "<lone_end_tag tagname=\"a\" offset=\"3\"/>"},
      {"<r></ a></r>", false, "r", "<lone_end_tag tagname=\"\" offset=\"3\"/>"},
      {"<r:x><_a/><{b/><\xc3\xa9/></r:x>", true, "r:x(_a {b \xc3\xa9)", ""},
  };
  for (const BuildCase& c : cases) {
    SCOPED_TRACE(c.text);
    CXmlReader r;
    std::u16string text;
    // Test texts are UTF-8 in the source; two-byte sequences are enough here.
    for (std::size_t i = 0; c.text[i]; ++i) {
      unsigned char b = static_cast<unsigned char>(c.text[i]);
      if (b >= 0xC0) {
        text.push_back(static_cast<char16_t>(((b & 0x1F) << 6) | (c.text[++i] & 0x3F)));
      } else {
        text.push_back(b);
      }
    }
    EXPECT_EQ(r.SetText(text), c.wellFormed);
    std::string shape;
    for (char16_t ch : Widen(Shape(r))) shape.push_back(static_cast<char>(ch));
    std::string want = c.shape;
    // Shape prints non-ASCII names escaped.
    if (want.find("\xc3\xa9") != std::string::npos) want.replace(want.find("\xc3\xa9"), 2, "\\u00E9");
    EXPECT_EQ(shape, want);
    EXPECT_EQ(Narrow(r.GetDiagnostics()), c.log);
    ExpectConsistent(r);
  }
}

TEST(XmlReaderBuild, UnterminatedMarkupAtEveryCut) {
  // Every prefix of a document that uses every kind of markup: never crashes,
  // keeps the index consistent, and a cut inside markup names its kind.
  const std::u16string doc =
      u"<?xml version=\"1.0\"?><!DOCTYPE r [<!ELEMENT r ANY><!-- c -->]><r a=\"1\" b='2'>"
      u"<!-- note --><x>t&amp;<![CDATA[<c>]]></x><e/></r>";
  for (std::size_t cut = 0; cut < doc.size(); ++cut) {
    SCOPED_TRACE(cut);
    CXmlReader r;
    bool ok = r.SetText(doc.substr(0, cut));
    EXPECT_FALSE(ok);
    ExpectConsistent(r);
    while (r.FindChild(u"")) {
      r.GetChildText();
      if (!r.EnterChild()) break;
    }
  }
  struct Cut {
    const char16_t* text;
    const char* type;
  } cuts[] = {{u"<r><a b", "start_tag"},     {u"<r></a", "end_tag"},
              {u"<r><![CDATA[x", "cdata_section"}, {u"<r><?p", "processing_instruction"},
              {u"<r><!-- x", "comment"},   {u"<!DOCTYPE r [", "document_type"},
              {u"<r><", "tag"},            {u"<r><a b=\"x>", "start_tag"}};
  for (const Cut& c : cuts) {
    CXmlReader r;
    r.SetText(c.text);
    std::string log = Narrow(r.GetDiagnostics());
    EXPECT_NE(log.find(std::string("<unterminated_tag_syntax type=\"") + c.type + "\""), std::string::npos)
        << Narrow(c.text) << " -> " << log;
  }
}

TEST(XmlReaderBuild, HostileInputIsCappedAndMarkedIllFormed) {
  // Deep nesting: elements beyond the cap are error nodes, not records.
  std::u16string deep = u"<r>";
  for (int i = 0; i < 5000; ++i) deep += u"<a>";
  CXmlReader r;
  EXPECT_FALSE(r.SetText(deep));
  EXPECT_LE(r.RecordCount(), kMaxDepth + 1);
  EXPECT_NE(Narrow(r.GetDiagnostics()).find("nesting_too_deep"), std::string::npos);
  ExpectConsistent(r);

  // An end tag longer than its 10-bit field: an error node, never a wrapped length.
  std::u16string name(1100, u'n');
  EXPECT_FALSE(r.SetText(u"<r><" + name + u">x</" + name + u"></r>"));
  EXPECT_NE(Narrow(r.GetDiagnostics()).find("<tag_too_long offset=\"1106\"/>"), std::string::npos)
      << Narrow(r.GetDiagnostics());
  for (uint32_t i = 1; i < r.RecordCount(); ++i) {
    EXPECT_LE(static_cast<std::size_t>(r.Record(i).start) + r.Record(i).length, r.Text().size());
  }
  // A start tag longer than its 22-bit field.
  std::u16string huge = u"<r><a b=\"" + std::u16string(kMaxStartTagLength, u'v') + u"\"/></r>";
  EXPECT_FALSE(r.SetText(huge));
  EXPECT_EQ(Shape(r), "r");

  // The log stops after the entry that takes it past 999 characters.
  std::u16string lone = u"<r>";
  for (int i = 0; i < 200; ++i) lone += u"</x>";
  r.SetText(lone + u"</r>");
  EXPECT_GT(r.GetDiagnostics().size(), 999u);
  EXPECT_LT(r.GetDiagnostics().size(), 999u + 40);
}

TEST(XmlReaderWalk, ServiceAnswerPattern) {
  CXmlReader r;
  ASSERT_TRUE(r.SetText(
      u"<root><item><result>1</result><remark>ok</remark></item>"
      u"<item><result>2</result><remark>no</remark></item></root>"));
  std::vector<std::string> seen;
  while (r.FindChild(u"item")) {
    ASSERT_TRUE(r.EnterChild());
    ASSERT_TRUE(r.FindChild(u"result"));
    seen.push_back(Narrow(r.GetChildText()));
    ASSERT_TRUE(r.FindChild(u"remark"));
    seen.push_back(Narrow(r.GetChildText()));
    ASSERT_TRUE(r.LeaveElement());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1", "ok", "2", "no"}));
}

TEST(XmlReaderWalk, FieldsAreReadForwardOnly) {
  CXmlReader r;
  ASSERT_TRUE(r.SetText(u"<root><item><remark>ok</remark><result>1</result></item></root>"));
  ASSERT_TRUE(r.FindChild(u"item"));
  ASSERT_TRUE(r.EnterChild());
  ASSERT_TRUE(r.FindChild(u"result"));
  EXPECT_FALSE(r.FindChild(u"remark"));
  EXPECT_EQ(Narrow(r.GetChildText()), "1") << "a failed search keeps the previous child";
}

TEST(XmlReaderWalk, TopLevelNeedsAWrappingRoot) {
  CXmlReader r;
  ASSERT_TRUE(r.SetText(u"<item><result>1</result></item>"));
  EXPECT_FALSE(r.FindChild(u"item"));
  EXPECT_EQ(Narrow(r.TagName(r.CurrentElement())), "item");
  EXPECT_TRUE(r.FindChild(u"result"));
  EXPECT_EQ(Narrow(r.GetChildText()), "1");
}

TEST(XmlReaderWalk, SiblingOfTheRootIsNotReached) {
  CXmlReader r;
  EXPECT_FALSE(r.SetText(u"<a><x/></a><b><y/></b>"));
  EXPECT_TRUE(r.FindChild(u"x"));
  EXPECT_FALSE(r.FindChild(u"y"));
  EXPECT_FALSE(r.FindChild(u"b"));
}

TEST(XmlReaderWalk, NameMatchingIsExact) {
  CXmlReader r;
  ASSERT_TRUE(r.SetText(u"<r><items/><ite/><Item/><item a=\"1\">x</item><item>y</item></r>"));
  ASSERT_TRUE(r.FindChild(u"item"));
  EXPECT_EQ(Narrow(r.GetChildText()), "x");
  ASSERT_TRUE(r.FindChild(u"item"));
  EXPECT_EQ(Narrow(r.GetChildText()), "y");
  EXPECT_FALSE(r.FindChild(u"item"));

  CXmlReader any;
  ASSERT_TRUE(any.SetText(u"<r><p/><q/></r>"));
  ASSERT_TRUE(any.FindChild(u""));
  EXPECT_EQ(Narrow(any.TagName(any.CurrentChild())), "p");
  ASSERT_TRUE(any.FindChild(u""));
  EXPECT_EQ(Narrow(any.TagName(any.CurrentChild())), "q");
}

TEST(XmlReaderWalk, EnterAndLeaveGuards) {
  CXmlReader r;
  EXPECT_FALSE(r.EnterChild());
  EXPECT_FALSE(r.LeaveElement());
  EXPECT_EQ(r.GetChildText(), u"");
  EXPECT_FALSE(r.FindChild(u"x"));
  ASSERT_TRUE(r.SetText(u"<r><a><b>1</b></a></r>"));
  EXPECT_FALSE(r.LeaveElement());
  ASSERT_TRUE(r.FindChild(u"a"));
  ASSERT_TRUE(r.EnterChild());
  ASSERT_TRUE(r.EnterChild()) << "entering with no current child succeeds";
  EXPECT_EQ(r.CurrentElement(), 0u);
  EXPECT_EQ(r.NodeKind(), XmlNodeKind::kNone);
  EXPECT_FALSE(r.EnterChild());
  ASSERT_TRUE(r.LeaveElement());
  EXPECT_EQ(Narrow(r.TagName(r.CurrentElement())), "a");
  ASSERT_TRUE(r.FindChild(u"b"));
  EXPECT_EQ(Narrow(r.GetChildText()), "1");
  // SetText again starts over.
  ASSERT_TRUE(r.SetText(u"<z><y>2</y></z>"));
  EXPECT_EQ(r.CurrentChild(), 0u);
  ASSERT_TRUE(r.FindChild(u"y"));
  EXPECT_EQ(Narrow(r.GetChildText()), "2");
}

struct TextCase {
  const char16_t* doc;  // the text of r's first child x is read
  const char16_t* text;
};

TEST(XmlReaderText, ContentTable) {
  const TextCase cases[] = {
      {u"<r><x>plain</x></r>", u"plain"},
      {u"<r><x> spaced \n</x></r>", u" spaced \n"},
      {u"<r><x/></r>", u""},
      {u"<r><x></x></r>", u""},
      {u"<r><x>text<c/>more</x></r>", u""},
      {u"<r><x t=\">\">x</x></r>", u"x"},
      {u"<r><x>a<![CDATA[<b>&amp;]]>c</x></r>", u"a<b>&amp;c"},
      {u"<r><x>a<!--n-->b</x></r>", u"ab"},
      {u"<r><x><![CDATA[a]]> <![CDATA[b]]></x></r>", u"ab"},
      {u"<r><x>a<?pi?> b</x></r>", u"a b"},
      {u"<r><x>a&amp;b&#65;&#x42;&AMP;&unknown;&</x></r>", u"a&bAB&&unknown;&"},
      {u"<r><x>&#0;&#x0;</x></r>", u"&#0;&#x0;"},
      {u"<r><x>&Auml;&auml;</x></r>", u"\u00e4\u00e4"},
      {u"<r><x>&amp &amp;</x></r>", u"&amp &"},
      {u"<r><x>&#x1F600;&#128512;</x></r>", u"\U0001F600\U0001F600"},
      {u"<r><x>&#x110000;&#12a;&#x;&#;</x></r>", u"&#x110000;&#12a;&#x;&#;"},
      {u"<r><x>&\u00e9t;&&amp;</x></r>", u"&\u00e9t;&&"},
      {u"<r><x>&thetasym;&thetasymx;</x></r>", u"\u03d1&thetasymx;"},
      {u"<r><x>&apos;&quot;&lt;&gt;&nbsp;&euro;&hearts;</x></r>", u"'\"<>\u00a0\u20ac\u2665"},
      {u"<r><x>a<![CDATA[]]>b</x></r>", u"ab"},
      {u"<r><x>&lt;<!--c-->b&gt;</x></r>", u"<b>"},
      {u"<r><x>a<y></x></r>", u""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(Narrow(c.doc));
    CXmlReader r;
    r.SetText(c.doc);
    ASSERT_TRUE(r.FindChild(u"x"));
    EXPECT_EQ(Narrow(r.GetChildText()), Narrow(c.text));
  }
}

TEST(XmlScan, VectorSearchesAgreeWithAPlainLoopAtEveryOffsetAndLength) {
  // Eight units per compare, then a tail: every start alignment, every length
  // around the block size, the target at every place or absent, and a decoy
  // unit that differs from '<' only in its high byte.
  std::u16string buf(64, u'a');
  for (std::size_t offset = 0; offset < 9; ++offset) {
    for (std::size_t length = 0; length + offset <= 40; ++length) {
      for (std::size_t at = 0; at <= length; ++at) {
        std::fill(buf.begin(), buf.end(), u'a');
        buf[offset + length] = u'<';  // just past the end: must not be found
        if (at < length) buf[offset + at] = (at % 3 == 1) ? u'&' : u'<';
        if (at + 1 < length) buf[offset + at + 1] = static_cast<char16_t>(0x013C);
        const char16_t* p = buf.data() + offset;
        const char16_t* end = p + length;
        const char16_t* lt = p;
        while (lt < end && *lt != u'<') ++lt;
        const char16_t* either = p;
        while (either < end && *either != u'<' && *either != u'&') ++either;
        SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << length << " at " << at);
        EXPECT_EQ(xml::FindUnit(p, end, u'<'), lt);
        EXPECT_EQ(xml::FindEither(p, end, u'<', u'&'), either);
        // Every unit that ends a tag name, and neighbours that do not.
        for (char16_t stop : {u' ', u'\t', u'\n', u'\r', u'/', u'=', u'>', u'\v', u'?', char16_t{0x013E}}) {
          std::fill(buf.begin(), buf.end(), u'a');
          buf[offset + length] = u'>';
          if (at < length) buf[offset + at] = stop;
          std::size_t plain = 0;
          while (plain < length && !xml::StopsTagScan(p[plain])) ++plain;
          EXPECT_EQ(xml::SkipTagName(p, 0, length), plain) << static_cast<int>(stop);
        }
      }
    }
  }
}

TEST(XmlReaderText, EveryNamedReferenceInBothCases) {
  // The 252 HTML 4 names and apos: each resolves, and its folded form too.
  const struct {
    const char16_t* name;
    char16_t value;
  } samples[] = {{u"nbsp", 160}, {u"yuml", 255}, {u"Yuml", 255}, {u"OElig", 339}, {u"fnof", 402},
                 {u"Alpha", 945}, {u"omega", 969}, {u"piv", 982}, {u"ensp", 8194}, {u"permil", 8240},
                 {u"Dagger", 8224}, {u"Prime", 8242}, {u"rArr", 8594}, {u"alefsym", 8501},
                 {u"image", 8465}, {u"real", 8476}, {u"forall", 8704}, {u"lang", 9001}, {u"diams", 9830},
                 {u"THORN", 254}, {u"szlig", 223}, {u"divide", 247}, {u"times", 215}, {u"apos", 39}};
  for (const auto& s : samples) {
    std::u16string lower;
    for (const char16_t* p = s.name; *p; ++p) lower.push_back(*p >= u'A' && *p <= u'Z' ? *p + 32 : *p);
    EXPECT_EQ(xml::LookupNamedReference(lower), s.value) << Narrow(s.name);
  }
  EXPECT_EQ(xml::LookupNamedReference(u"nbs"), 0u);
  EXPECT_EQ(xml::LookupNamedReference(u"nbspx"), 0u);
  EXPECT_EQ(xml::LookupNamedReference(u""), 0u);
}

TEST(XmlCodePages, TableAnswersTheNamesItKnows) {
  EXPECT_EQ(CodePageNameCount(), 365u);
  EXPECT_EQ(CodePageCount(), 110u);
  const struct {
    const char16_t* name;
    uint32_t codePage;
  } rows[] = {
      {u"utf-8", 65001}, {u"UTF8", 65001}, {u"x-unicode-2-0-utf-8", 65001}, {u"GB2312", 936},
      {u"gbk", 936}, {u"csISO58GB231280", 936}, {u"gb_2312-80", 936}, {u"iso-ir-58", 936},
      {u"gb18030", 54936}, {u"iso-4873:1986", 54936}, {u"big5-hkscs", 950}, {u"x-x-big5", 950},
      {u"hz-gb-2312", 52936}, {u"unicode", 1200}, {u"ucs-2le", 1200}, {u"unicodeFFFE", 1201},
      {u"cp12000", 12000}, {u"utf32be", 12001}, {u"ANSI_X3.4-1968", 20127}, {u"iso_646.irv:1991", 20127},
      {u"us", 20127}, {u"l1", 28591}, {u"iso_8859-1:1987", 28591}, {u"x-ansi", 1252}, {u"ms-ansi", 1252},
      {u"shift_jis", 932}, {u"koi8-r", 20866}, {u"windows-1251", 1251}, {u"x-mac-ce", 10029},
      {u"x-iscii-pa", 57011}, {u"euc-kr", 51949}, {u"iso-2022-jp", 50220}, {u"ibm037", 37},
      {u"latin9", 28605}, {u"ks_c_5601-1987", 949},
      {u"", 0}, {u"utf-9", 0}, {u"gbk ", 0}, {u"g\u00e9k", 0},
  };
  for (const auto& r : rows) EXPECT_EQ(CodePageOfName(r.name), r.codePage) << Narrow(r.name);
  EXPECT_EQ(CodePageOfName(std::u16string(120, u'a')), 0u);
}

TEST(XmlFileParts, DeclaredEncodingTable) {
  const struct {
    const char16_t* text;
    const char16_t* encoding;
  } cases[] = {
      {u"<?xml version=\"1.0\" encoding=\"gb2312\"?><r/>", u"gb2312"},
      {u"<?XML encoding='GBK' ?><r/>", u"GBK"},
      {u"<?xml version=\"1.0\"?><?xml encoding=\"gbk\"?>", u""},
      {u" <?xml encoding=\"gbk\"?>", u""},
      {u"<?xml-stylesheet encoding=\"gbk\"?>", u""},
      {u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\"></head>", u"big5"},
      {u"<!DOCTYPE html><HTML><META HTTP-EQUIV=content-type CONTENT=\"text/html;charset=gbk\">", u"gbk"},
      {u"<html><head><meta http-equiv=\"Content-Type\"><meta http-equiv=\"Content-Type\" "
       u"content=\"charset=gbk\">", u""},
      {u"<html><head></head><meta http-equiv=\"Content-Type\" content=\"charset=gbk\">", u""},
      {u"<html><meta http-equiv=\"Content-Type\" content=\"text/html; charset = gbk\">", u""},
      {u"<body><meta http-equiv=\"Content-Type\" content=\"charset=gbk\">", u""},
      {u"<html><meta name=x content=\"charset=gbk\"><meta http-equiv=\"Content-Type\" "
       u"content=\"a;charset=utf-8\">", u"utf-8"},
      {u"<html>< <meta http-equiv=\"Content-Type\" content=\"charset=gbk\">", u""},
  };
  for (const auto& c : cases) {
    std::u16string t = c.text;
    EXPECT_EQ(Narrow(xml::FindDeclaredEncoding(t.data(), t.size())), Narrow(c.encoding)) << Narrow(c.text);
  }
}

TEST(XmlFileParts, LooseUtf8Test) {
  const struct {
    std::string bytes;
    bool passes;
  } cases[] = {
      {"", true}, {"abc", true}, {"\xc4\xe3", true}, {"\xe4\xbd\xa0", true}, {"\xf0\x9f\x98\x80", true},
      {"a\xb0", false}, {"\xc4" "a", false}, {"\xe4\xbd", false}, {"\xf8\x80\x80\x80\x80", false},
      {"\x80\x80", true},  // loose: a continuation byte counts as a lead
  };
  for (const auto& c : cases) {
    EXPECT_EQ(xml::PassesUtf8Test(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
              c.passes);
  }
}

// A converter that records what reaches it, to show that ASCII runs of an
// ASCII-compatible code page never do.
class RecordingConverter final : public CodePageConverter {
 public:
  bool AppendUtf16(uint32_t, const char* bytes, std::size_t size, std::u16string& out) const override {
    calls.emplace_back(bytes, size);
    for (std::size_t i = 0; i < size; ++i) out.push_back(u'#');
    return true;
  }
  uint32_t AnsiCodePage() const override { return 936; }
  mutable std::vector<std::string> calls;
};

TEST(XmlCodePages, AsciiRunsNeedNoConversionCall) {
  RecordingConverter conv;
  std::u16string out;
  std::string bytes = "<a>\xd6\xd0\xce\xc4</a><b>x\x81\x41y</b>";
  AppendConverted(conv, 936, bytes.data(), bytes.size(), out);
  // A piece takes the byte after its last high byte along: it may be a trail byte.
  EXPECT_EQ(conv.calls, (std::vector<std::string>{"\xd6\xd0\xce\xc4<", "\x81\x41"}));
  EXPECT_EQ(Narrow(out), "<a>#####/a><b>x##y</b>");

  conv.calls.clear();
  out.clear();
  std::string utf8 = "<a>\xe4\xb8\xad\xc3</a>";  // valid, then a cut sequence
  AppendConverted(conv, kCodePageUtf8, utf8.data(), utf8.size(), out);
  EXPECT_EQ(conv.calls, (std::vector<std::string>{"\xc3"}));
  EXPECT_EQ(Narrow(out), "<a>\\u4E2D#</a>");

  conv.calls.clear();
  out.clear();
  AppendConverted(conv, 37, "abc", 3, out);  // EBCDIC: everything goes through
  EXPECT_EQ(conv.calls, (std::vector<std::string>{"abc"}));
}

}  // namespace
