// Internal to the reader: the node scanner, name helpers, reference decoding
// and the diagnostic log writer, shared by indexing, text reading and the
// declared-encoding search of file loading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// First unit equal to c in [p, end), or end. Inline: indexing calls it once
// per text node, and most of those are a few units long.
inline const char16_t* FindUnit(const char16_t* p, const char16_t* end, char16_t c) {
#if defined(__SSE2__)
  // Text between tags is most of a document; eight units per compare.
  const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
  while (end - p >= 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, needle));
    if (mask != 0) return p + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    p += 8;
  }
#endif
  while (p < end && *p != c) ++p;
  return p;
}

// First unit equal to a or b in [p, end), or end.
inline const char16_t* FindEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
#if defined(__SSE2__)
  const __m128i na = _mm_set1_epi16(static_cast<short>(a));
  const __m128i nb = _mm_set1_epi16(static_cast<short>(b));
  while (end - p >= 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(block, na), _mm_cmpeq_epi16(block, nb)));
    if (mask != 0) return p + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    p += 8;
  }
#endif
  while (p < end && *p != a && *p != b) ++p;
  return p;
}

// n units at a and b are equal. Names are a few units long: a loop beats a
// call to memcmp.
inline bool SameUnits(const char16_t* a, const char16_t* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Units that stop the quick name scan of a tag: whitespace, '/', '=' and '>'.
inline bool StopsTagScan(char16_t c) {
  constexpr uint64_t kStops = (1ull << ' ') | (1ull << '\t') | (1ull << '\n') | (1ull << '\r') |
                              (1ull << '/') | (1ull << '=') | (1ull << '>');
  return c < 64 && ((kStops >> c) & 1);
}

// First position from i on (or size) holding a unit that StopsTagScan.
inline std::size_t SkipTagName(const char16_t* text, std::size_t i, std::size_t size) {
#if defined(__SSE2__)
  const __m128i gt = _mm_set1_epi16(u'>'), slash = _mm_set1_epi16(u'/'), eq = _mm_set1_epi16(u'=');
  const __m128i sp = _mm_set1_epi16(u' '), tab = _mm_set1_epi16(u'\t'), lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  for (; i < size && size - i >= 8; i += 8) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    __m128i m = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, gt), _mm_cmpeq_epi16(v, slash)),
                             _mm_or_si128(_mm_cmpeq_epi16(v, eq), _mm_cmpeq_epi16(v, sp)));
    m = _mm_or_si128(m, _mm_or_si128(_mm_cmpeq_epi16(v, tab), _mm_or_si128(_mm_cmpeq_epi16(v, lf), _mm_cmpeq_epi16(v, cr))));
    int mask = _mm_movemask_epi8(m);
    if (mask != 0) return i + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
  }
#endif
  while (i < size && !StopsTagScan(text[i])) ++i;
  return i;
}

// Scans the node that starts at pos. Never reads outside [text, text + size).
ScannedNode ScanNode(const char16_t* text, std::size_t size, std::size_t pos);

// Finishes scanning the start or end tag at start from i, when every unit
// between its name's first unit and i is one that StopsTagScan passes over.
ScannedNode ScanTagFrom(const char16_t* text, std::size_t size, std::size_t start, std::size_t i, bool isEnd);

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
