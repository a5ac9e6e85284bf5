// Internal to the reader: the node scanner, name helpers, reference decoding
// and the diagnostic log writer, shared by indexing, text reading and the
// declared-encoding search of file loading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace xml {

enum class NodeType : uint8_t {
  kEnd,         // nothing left
  kText,
  kWhitespace,  // whitespace directly followed by markup or the end
  kStartTag,
  kEmptyTag,    // <a/>
  kEndTag,
  kProcessingInstruction,
  kComment,
  kCdata,
  kDoctype,
  kError,
};

struct ScannedNode {
  NodeType type = NodeType::kEnd;
  std::size_t start = 0;
  std::size_t length = 0;
  // For an error node: the log entry and, for "unterminated_tag_syntax", its type.
  const char* error = nullptr;
  const char* unterminatedType = nullptr;
};

inline bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Characters that end a tag name when it is matched or read back.
inline bool EndsTagName(char16_t c) {
  switch (c) {
    case u' ': case u'\t': case u'\n': case u'\r':
    case u'!': case u'"': case u'\'': case u'/': case u';':
    case u'<': case u'=': case u'>': case u'?': case u'\\':
      return true;
    default:
      return false;
  }
}

// First unit equal to c in [p, end), or end.
const char16_t* FindUnit(const char16_t* p, const char16_t* end, char16_t c);

// Scans the node that starts at pos. Never reads outside [text, text + size).
ScannedNode ScanNode(const char16_t* text, std::size_t size, std::size_t pos);

// Name of a start or end tag as the scanner sees it: from `from` up to the
// first whitespace, '/' or '>' (or the end of the node).
std::u16string_view ScannedTagName(const char16_t* text, std::size_t from, std::size_t end);

// Appends text with references decoded.
void AppendDecoded(std::u16string& out, const char16_t* p, std::size_t n);

// Code point of a named reference (lower-case name), or 0 when unknown.
uint32_t LookupNamedReference(std::u16string_view lowerName);

struct LogAttr {
  const char* name;
  std::u16string_view text;  // used when isNumber is false
  uint64_t number = 0;
  bool isNumber = false;
};
inline LogAttr Attr(const char* name, std::u16string_view text) { return {name, text, 0, false}; }
inline LogAttr Attr(const char* name, uint64_t number) { return {name, {}, number, true}; }

// Appends <entry a="v" .../> while the log is at most 999 characters long.
void AppendLogEntry(std::u16string& log, const char* entry, std::initializer_list<LogAttr> attrs);

inline constexpr std::size_t kMaxLogLengthBeforeEntry = 999;

}  // namespace xml
