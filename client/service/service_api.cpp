#include "client/service/service_api.h"

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

}  // namespace

std::u16string PercentEncode(std::string_view bytes) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string encoded;
  encoded.reserve(bytes.size());
  for (char byte : bytes) {
    auto c = static_cast<unsigned char>(byte);
    if (Unreserved(c)) {
      encoded += static_cast<char16_t>(c);
    } else {
      encoded += u'%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0xF];
    }
  }
  return encoded;
}

std::u16string FormatRequest(std::u16string_view pathTemplate, std::u16string_view base,
                             std::initializer_list<std::u16string_view> parameters, const CodePage& codePage) {
  std::u16string url;
  const std::u16string_view* next = parameters.begin();
  bool baseDone = false;
  for (std::size_t i = 0; i < pathTemplate.size(); ++i) {
    if (pathTemplate.substr(i, 2) != u"%s") {
      url += pathTemplate[i];
      continue;
    }
    ++i;
    if (!baseDone) {
      url += base;
      baseDone = true;
    } else if (next != parameters.end()) {
      url += PercentEncode(codePage.WideToAnsi(*next++));
    }
  }
  return url;
}

std::u16string WithBase(std::u16string_view pathTemplate, std::u16string_view base) {
  std::u16string url(pathTemplate);
  if (auto slot = url.find(u"%s"); slot != std::u16string::npos) url.replace(slot, 2, base);
  return url;
}

bool IsXmlDocument(std::u16string_view answer) { return answer.substr(0, 5) == u"<?xml"; }
