// The encoding names a document may declare, with their Windows code pages.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "xml/code_page.h"

namespace {

struct CodePageName {
  std::string_view name;  // lower case
  uint32_t codePage;
};

constexpr CodePageName kCodePageNames[] = {
    {"ibm037", 37}, {"cp037", 37}, {"csibm037", 37}, {"ebcdic-cp-ca", 37}, {"ebcdic-cp-nl", 37},
    {"ebcdic-cp-us", 37}, {"ebcdic-cp-wt", 37},
    {"ibm437", 437}, {"437", 437}, {"cp437", 437}, {"cspc8codepage437", 437},
    {"ibm500", 500}, {"cp500", 500}, {"csibm500", 500}, {"ebcdic-cp-be", 500},
    {"ebcdic-cp-ch", 500},
    {"asmo-708", 708},
    {"dos-720", 720},
    {"ibm737", 737},
    {"ibm775", 775},
    {"ibm850", 850}, {"cp850", 850},
    {"ibm852", 852}, {"cp852", 852},
    {"ibm855", 855}, {"cp855", 855},
    {"ibm857", 857}, {"cp857", 857},
    {"ibm00858", 858}, {"ccsid00858", 858}, {"cp00858", 858}, {"pc-multilingual-850+euro", 858},
    {"ibm860", 860}, {"cp860", 860},
    {"ibm861", 861}, {"cp861", 861},
    {"dos-862", 862}, {"ibm862", 862}, {"cp862", 862},
    {"ibm863", 863}, {"cp863", 863},
    {"ibm864", 864}, {"cp864", 864},
    {"ibm865", 865}, {"cp865", 865},
    {"cp866", 866}, {"ibm866", 866},
    {"ibm869", 869}, {"cp869", 869},
    {"ibm870", 870}, {"cp870", 870}, {"csibm870", 870}, {"ebcdic-cp-roece", 870},
    {"ebcdic-cp-yu", 870},
    {"windows-874", 874}, {"dos-874", 874}, {"iso-8859-11", 874}, {"tis-620", 874},
    {"cp874", 874},
    {"cp875", 875},
    {"shift_jis", 932}, {"csshiftjis", 932}, {"cswindows31j", 932}, {"ms_kanji", 932},
    {"shift-jis", 932}, {"sjis", 932}, {"x-ms-cp932", 932}, {"x-sjis", 932}, {"cp932", 932},
    {"windows-31j", 932},
    {"gb2312", 936}, {"gbk", 936}, {"cp936", 936}, {"ms936", 936}, {"windows-936", 936},
    {"chinese", 936}, {"cn-gb", 936}, {"csgb2312", 936}, {"csgb231280", 936},
    {"csiso58gb231280", 936}, {"gb2312-80", 936}, {"gb231280", 936}, {"gb_2312-80", 936},
    {"iso-ir-58", 936},
    {"ks_c_5601-1987", 949}, {"csksc56011987", 949}, {"iso-ir-149", 949}, {"korean", 949},
    {"ks_c_5601", 949}, {"ks_c_5601_1987", 949}, {"ks_c_5601-1989", 949}, {"ksc5601", 949},
    {"ksc_5601", 949}, {"cp949", 949},
    {"big5", 950}, {"big5-hkscs", 950}, {"cn-big5", 950}, {"cp950", 950}, {"csbig5", 950},
    {"x-x-big5", 950},
    {"ibm1026", 1026}, {"cp1026", 1026}, {"csibm1026", 1026},
    {"utf-16", 1200}, {"utf-16le", 1200}, {"utf16", 1200}, {"utf16le", 1200}, {"unicode", 1200},
    {"ucs-2", 1200}, {"ucs-2le", 1200}, {"cp1200", 1200},
    {"utf-16be", 1201}, {"utf16be", 1201}, {"ucs-2be", 1201}, {"unicodefffe", 1201},
    {"cp1201", 1201},
    {"windows-1250", 1250}, {"x-cp1250", 1250}, {"cp1250", 1250},
    {"windows-1251", 1251}, {"x-cp1251", 1251}, {"cp1251", 1251},
    {"windows-1252", 1252}, {"cp1252", 1252}, {"ms-ansi", 1252}, {"x-ansi", 1252},
    {"windows-1253", 1253}, {"cp1253", 1253},
    {"windows-1254", 1254}, {"cp1254", 1254},
    {"windows-1255", 1255}, {"cp1255", 1255},
    {"windows-1256", 1256}, {"cp1256", 1256},
    {"windows-1257", 1257}, {"cp1257", 1257},
    {"windows-1258", 1258}, {"cp1258", 1258},
    {"johab", 1361},
    {"macintosh", 10000}, {"x-mac-roman", 10000},
    {"x-mac-japanese", 10001},
    {"x-mac-chinesetrad", 10002},
    {"x-mac-korean", 10003},
    {"x-mac-arabic", 10004},
    {"x-mac-hebrew", 10005},
    {"x-mac-greek", 10006},
    {"x-mac-cyrillic", 10007},
    {"x-mac-chinesesimp", 10008},
    {"x-mac-romanian", 10010},
    {"x-mac-ukrainian", 10017},
    {"x-mac-thai", 10021},
    {"x-mac-ce", 10029},
    {"x-mac-icelandic", 10079},
    {"x-mac-turkish", 10081},
    {"x-mac-croatian", 10082},
    {"utf-32", 12000}, {"utf-32le", 12000}, {"utf32", 12000}, {"utf32le", 12000},
    {"cp12000", 12000},
    {"utf-32be", 12001}, {"utf32be", 12001}, {"cp12001", 12001},
    {"us-ascii", 20127}, {"ascii", 20127}, {"us", 20127}, {"csascii", 20127}, {"cp367", 20127},
    {"ibm367", 20127}, {"iso646-us", 20127}, {"iso-ir-6", 20127}, {"iso-ir-6us", 20127},
    {"iso_646.irv:1991", 20127}, {"ansi_x3.4-1968", 20127}, {"ansi_x3.4-1986", 20127},
    {"ibm273", 20273}, {"cp273", 20273}, {"csibm273", 20273},
    {"ibm277", 20277}, {"csibm277", 20277}, {"ebcdic-cp-dk", 20277}, {"ebcdic-cp-no", 20277},
    {"ibm278", 20278}, {"cp278", 20278}, {"csibm278", 20278}, {"ebcdic-cp-fi", 20278},
    {"ebcdic-cp-se", 20278},
    {"ibm280", 20280}, {"cp280", 20280}, {"csibm280", 20280}, {"ebcdic-cp-it", 20280},
    {"ibm284", 20284}, {"cp284", 20284}, {"csibm284", 20284}, {"ebcdic-cp-es", 20284},
    {"ibm285", 20285}, {"cp285", 20285}, {"csibm285", 20285}, {"ebcdic-cp-gb", 20285},
    {"ibm290", 20290}, {"cp290", 20290}, {"csibm290", 20290}, {"ebcdic-jp-kana", 20290},
    {"ibm297", 20297}, {"cp297", 20297}, {"csibm297", 20297}, {"ebcdic-cp-fr", 20297},
    {"ibm420", 20420}, {"cp420", 20420}, {"csibm420", 20420}, {"ebcdic-cp-ar1", 20420},
    {"ibm423", 20423}, {"cp423", 20423}, {"csibm423", 20423}, {"ebcdic-cp-gr", 20423},
    {"ibm424", 20424}, {"cp424", 20424}, {"csibm424", 20424}, {"ebcdic-cp-he", 20424},
    {"x-ebcdic-koreanextended", 20833},
    {"ibm-thai", 20838}, {"csibmthai", 20838},
    {"koi8-r", 20866}, {"cskoi8r", 20866}, {"koi", 20866}, {"koi8", 20866}, {"koi8r", 20866},
    {"ibm871", 20871}, {"cp871", 20871}, {"csibm871", 20871}, {"ebcdic-cp-is", 20871},
    {"ibm880", 20880}, {"cp880", 20880}, {"csibm880", 20880}, {"ebcdic-cyrillic", 20880},
    {"ibm905", 20905}, {"cp905", 20905}, {"csibm905", 20905}, {"ebcdic-cp-tr", 20905},
    {"ibm00924", 20924}, {"ccsid00924", 20924}, {"cp00924", 20924},
    {"ebcdic-latin9--euro", 20924},
    {"koi8-u", 21866}, {"koi8-ru", 21866},
    {"iso-8859-1", 28591}, {"iso8859-1", 28591}, {"iso_8859-1", 28591},
    {"iso_8859-1:1987", 28591}, {"latin1", 28591}, {"l1", 28591}, {"cp819", 28591},
    {"ibm819", 28591}, {"csisolatin1", 28591}, {"iso-ir-100", 28591},
    {"iso-8859-2", 28592}, {"csisolatin2", 28592}, {"iso_8859-2", 28592},
    {"iso_8859-2:1987", 28592}, {"iso8859-2", 28592}, {"iso-ir-101", 28592}, {"l2", 28592},
    {"latin2", 28592},
    {"iso-8859-3", 28593}, {"csisolatin3", 28593}, {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593}, {"iso-ir-109", 28593}, {"l3", 28593}, {"latin3", 28593},
    {"iso-8859-4", 28594}, {"csisolatin4", 28594}, {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594}, {"iso-ir-110", 28594}, {"l4", 28594}, {"latin4", 28594},
    {"iso-8859-5", 28595}, {"csisolatincyrillic", 28595}, {"cyrillic", 28595},
    {"iso_8859-5", 28595}, {"iso_8859-5:1988", 28595}, {"iso-ir-144", 28595},
    {"iso-8859-6", 28596}, {"arabic", 28596}, {"csisolatinarabic", 28596}, {"ecma-114", 28596},
    {"iso_8859-6", 28596}, {"iso_8859-6:1987", 28596}, {"iso-ir-127", 28596},
    {"iso-8859-7", 28597}, {"csisolatingreek", 28597}, {"ecma-118", 28597}, {"elot_928", 28597},
    {"greek", 28597}, {"greek8", 28597}, {"iso_8859-7", 28597}, {"iso_8859-7:1987", 28597},
    {"iso-ir-126", 28597},
    {"iso-8859-8", 28598}, {"csisolatinhebrew", 28598}, {"hebrew", 28598}, {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598}, {"iso-8859-8 visual", 28598}, {"iso-ir-138", 28598},
    {"visual", 28598},
    {"iso-8859-9", 28599}, {"csisolatin5", 28599}, {"iso_8859-9", 28599},
    {"iso_8859-9:1989", 28599}, {"iso-ir-148", 28599}, {"l5", 28599}, {"latin5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605}, {"csisolatin9", 28605}, {"iso_8859-15", 28605}, {"l9", 28605},
    {"latin9", 28605},
    {"iso-8859-8-i", 38598}, {"logical", 38598},
    {"iso-2022-jp", 50220},
    {"csiso2022jp", 50221},
    {"iso-2022-kr", 50225}, {"csiso2022kr", 50225}, {"iso-2022-kr-7", 50225},
    {"iso-2022-kr-7bit", 50225},
    {"euc-jp", 51932}, {"cseucpkdfmtjapanese", 51932},
    {"extended_unix_code_packed_format_for_japanese", 51932}, {"x-euc", 51932},
    {"x-euc-jp", 51932},
    {"euc-cn", 51936}, {"x-euc-cn", 51936},
    {"euc-kr", 51949}, {"cseuckr", 51949}, {"iso-2022-kr-8", 51949}, {"iso-2022-kr-8bit", 51949},
    {"hz-gb-2312", 52936},
    {"gb18030", 54936}, {"iso-4873:1986", 54936},
    {"x-iscii-de", 57002},
    {"x-iscii-be", 57003},
    {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005},
    {"x-iscii-as", 57006},
    {"x-iscii-or", 57007},
    {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009},
    {"x-iscii-gu", 57010},
    {"x-iscii-pa", 57011},
    {"utf-7", 65000}, {"csunicode11utf7", 65000}, {"unicode-1-1-utf-7", 65000},
    {"unicode-2-0-utf-7", 65000}, {"x-unicode-1-1-utf-7", 65000}, {"x-unicode-2-0-utf-7", 65000},
    {"utf-8", 65001}, {"utf8", 65001}, {"cp65001", 65001}, {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-8", 65001}, {"x-unicode-2-0-utf-8", 65001},
};
constexpr std::size_t kNameCount = std::size(kCodePageNames);
static_assert(kNameCount == 365);

// Sorted once, on first use, for a binary search.
const std::array<CodePageName, kNameCount>& SortedNames() {
  static const std::array<CodePageName, kNameCount> sorted = [] {
    std::array<CodePageName, kNameCount> out{};
    std::copy(std::begin(kCodePageNames), std::end(kCodePageNames), out.begin());
    std::sort(out.begin(), out.end(), [](const CodePageName& x, const CodePageName& y) { return x.name < y.name; });
    return out;
  }();
  return sorted;
}

}  // namespace

uint32_t CodePageOfName(std::u16string_view name) {
  // No name in the table is that long; longer names are not looked at.
  constexpr std::size_t kLongest = 64;
  if (name.empty() || name.size() >= 100 || name.size() > kLongest) return 0;
  char folded[kLongest];
  for (std::size_t i = 0; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c >= 0x80) return 0;
    folded[i] = static_cast<char>((c >= u'A' && c <= u'Z') ? c + 32 : c);
  }
  std::string_view key(folded, name.size());
  const auto& sorted = SortedNames();
  auto it = std::lower_bound(sorted.begin(), sorted.end(), key,
                             [](const CodePageName& e, std::string_view k) { return e.name < k; });
  return (it != sorted.end() && it->name == key) ? it->codePage : 0;
}

std::size_t CodePageNameCount() { return kNameCount; }
std::size_t CodePageCount() {
  std::vector<uint32_t> pages;
  for (const CodePageName& e : kCodePageNames) pages.push_back(e.codePage);
  std::sort(pages.begin(), pages.end());
  return static_cast<std::size_t>(std::unique(pages.begin(), pages.end()) - pages.begin());
}
