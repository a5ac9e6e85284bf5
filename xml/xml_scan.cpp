#include "xml/xml_scan.h"

namespace xml {

namespace {

// Position just after the first occurrence of the three-unit terminator at or
// after from, or npos.
std::size_t FindAfter3(const char16_t* text, std::size_t size, std::size_t from, char16_t a,
                       char16_t b, char16_t c) {
  const char16_t* end = text + size;
  const char16_t* p = text + from;
  while (true) {
    p = FindUnit(p, end, c);
    if (p == end) return std::u16string::npos;
    std::size_t i = static_cast<std::size_t>(p - text);
    if (i >= from + 2 && text[i - 1] == b && text[i - 2] == a) return i + 1;
    ++p;
  }
}

std::size_t FindAfter2(const char16_t* text, std::size_t size, std::size_t from, char16_t a,
                       char16_t b) {
  const char16_t* end = text + size;
  const char16_t* p = text + from;
  while (true) {
    p = FindUnit(p, end, b);
    if (p == end) return std::u16string::npos;
    std::size_t i = static_cast<std::size_t>(p - text);
    if (i >= from + 1 && text[i - 1] == a) return i + 1;
    ++p;
  }
}

ScannedNode Error(std::size_t start, const char* entry, const char16_t* text, std::size_t size) {
  // An error node runs to the next '>' inclusive or up to the next '<'.
  std::size_t i = start + 1;
  while (i < size && text[i] != u'>' && text[i] != u'<') ++i;
  if (i < size && text[i] == u'>') ++i;
  return {NodeType::kError, start, i - start, entry, nullptr};
}

ScannedNode Unterminated(std::size_t start, std::size_t size, const char* type) {
  return {NodeType::kError, start, size - start, "unterminated_tag_syntax", type};
}

}  // namespace

ScannedNode ScanTagFrom(const char16_t* text, std::size_t size, std::size_t start, std::size_t i, bool isEnd) {
  const char* type = isEnd ? "end_tag" : "start_tag";
  while (i < size) {
    char16_t c = text[i];
    if (c == u'>') break;
    if (c == u'=') {
      ++i;
      while (i < size && IsXmlSpace(text[i])) ++i;
      if (i >= size) break;
      char16_t q = text[i];
      if (q == u'"' || q == u'\'') {
        const char16_t* close = FindUnit(text + i + 1, text + size, q);
        if (close == text + size) return Unterminated(start, size, type);
        i = static_cast<std::size_t>(close - text) + 1;
        continue;
      }
      if (q == u'>') break;
      // An unquoted value runs to whitespace; a '>' in it ends the tag, and a
      // '/' just before that '>' belongs to the value.
      while (i < size && !IsXmlSpace(text[i]) && text[i] != u'>') ++i;
      if (i < size && text[i] == u'>') {
        return {isEnd ? NodeType::kEndTag : NodeType::kStartTag, start, i + 1 - start};
      }
      continue;
    }
    ++i;
  }
  if (i >= size) return Unterminated(start, size, type);
  NodeType t = isEnd ? NodeType::kEndTag : NodeType::kStartTag;
  if (!isEnd && text[i - 1] == u'/' && i - 1 > start) t = NodeType::kEmptyTag;
  return {t, start, i + 1 - start};
}

namespace {

ScannedNode ScanTag(const char16_t* text, std::size_t size, std::size_t start, bool isEnd) {
  return ScanTagFrom(text, size, start, start + (isEnd ? 2 : 1), isEnd);
}

ScannedNode ScanDoctype(const char16_t* text, std::size_t size, std::size_t start) {
  std::size_t i = start + 2;
  while (i < size) {
    char16_t c = text[i];
    if (c == u'>') return {NodeType::kDoctype, start, i + 1 - start};
    if (c == u'<' && i + 1 < size && text[i + 1] == u'!') {
      if (i + 2 >= size) return Unterminated(start, size, "document_type");
      char16_t d = text[i + 2];
      if (d == u'-') {
        if (i + 3 >= size) return Unterminated(start, size, "document_type");
        if (text[i + 3] != u'-') return Error(start, "doctype_tag_syntax", text, size);
        std::size_t after = FindAfter3(text, size, i + 4, u'-', u'-', u'>');
        if (after == std::u16string::npos) return Unterminated(start, size, "document_type");
        i = after;
        continue;
      }
      if (d == u'A' || d == u'E' || d == u'N') {
        // A markup declaration ends at its first '>' outside quotes.
        std::size_t j = i + 3;
        char16_t quote = 0;
        while (j < size) {
          char16_t e = text[j];
          if (quote) {
            if (e == quote) quote = 0;
          } else if (e == u'"' || e == u'\'') {
            quote = e;
          } else if (e == u'>') {
            break;
          }
          ++j;
        }
        if (j >= size) return Unterminated(start, size, "document_type");
        i = j + 1;
        continue;
      }
      return Error(start, "doctype_tag_syntax", text, size);
    }
    ++i;
  }
  return Unterminated(start, size, "document_type");
}

}  // namespace

ScannedNode ScanNode(const char16_t* text, std::size_t size, std::size_t pos) {
  if (pos >= size) return {NodeType::kEnd, size, 0};
  const char16_t* end = text + size;
  char16_t c = text[pos];
  if (c != u'<') {
    std::size_t i = pos;
    while (i < size && IsXmlSpace(text[i])) ++i;
    if (i == size || text[i] == u'<') return {NodeType::kWhitespace, pos, i - pos};
    const char16_t* lt = FindUnit(text + i, end, u'<');
    return {NodeType::kText, pos, static_cast<std::size_t>(lt - text) - pos};
  }
  if (pos + 1 >= size) return Unterminated(pos, size, "tag");
  char16_t n = text[pos + 1];
  if ((n >= u'A' && n <= u'Z') || n == u'_' || n == u':' || n > 0x60) {
    return ScanTag(text, size, pos, false);
  }
  switch (n) {
    case u'/':
      return ScanTag(text, size, pos, true);
    case u'?': {
      std::size_t after = FindAfter2(text, size, pos + 2, u'?', u'>');
      if (after == std::u16string::npos) return Unterminated(pos, size, "processing_instruction");
      return {NodeType::kProcessingInstruction, pos, after - pos};
    }
    case u'!': {
      if (pos + 2 >= size) return Unterminated(pos, size, "tag");
      char16_t m = text[pos + 2];
      if (m == u'-') {
        if (pos + 3 >= size) return Unterminated(pos, size, "comment");
        if (text[pos + 3] != u'-') return Error(pos, "comment_tag_syntax", text, size);
        std::size_t after = FindAfter3(text, size, pos + 4, u'-', u'-', u'>');
        if (after == std::u16string::npos) return Unterminated(pos, size, "comment");
        return {NodeType::kComment, pos, after - pos};
      }
      if (m == u'[') {
        if (pos + 3 >= size) return Unterminated(pos, size, "cdata_section");
        if (text[pos + 3] != u'C') return Error(pos, "cdata_section_syntax", text, size);
        std::size_t after = FindAfter3(text, size, pos + 4, u']', u']', u'>');
        if (after == std::u16string::npos) return Unterminated(pos, size, "cdata_section");
        return {NodeType::kCdata, pos, after - pos};
      }
      if (m == u'D') return ScanDoctype(text, size, pos);
      return Error(pos, "exclamation_tag_syntax", text, size);
    }
    default:
      return Error(pos, "first_tag_syntax", text, size);
  }
}

std::u16string_view ScannedTagName(const char16_t* text, std::size_t from, std::size_t end) {
  std::size_t i = from;
  while (i < end && !IsXmlSpace(text[i]) && text[i] != u'/' && text[i] != u'>') ++i;
  return {text + from, i - from};
}

namespace {

bool ParseNumber(std::u16string_view digits, bool hex, uint32_t& value) {
  if (digits.empty()) return false;
  uint32_t v = 0;
  for (char16_t c : digits) {
    uint32_t d;
    if (c >= u'0' && c <= u'9') {
      d = c - u'0';
    } else if (hex && c >= u'a' && c <= u'f') {
      d = c - u'a' + 10;
    } else {
      return false;
    }
    v = v * (hex ? 16 : 10) + d;  // at most 8 digits: no overflow
  }
  value = v;
  return true;
}

}  // namespace

void AppendDecoded(std::u16string& out, const char16_t* p, std::size_t n) {
  const char16_t* end = p + n;
  while (p < end) {
    const char16_t* amp = FindUnit(p, end, u'&');
    out.append(p, amp);
    if (amp == end) return;
    p = amp + 1;
    // The name: at most 9 units, then ';' inside the decoded text.
    char16_t name[10];
    std::size_t len = 0;
    const char16_t* q = p;
    bool ok = false;
    while (q < end && len <= 9) {
      char16_t c = *q;
      if (c == u';') {
        ok = true;
        break;
      }
      if (c >= 0x80 || len == 9) break;
      name[len++] = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
      ++q;
    }
    uint32_t cp = 0;
    if (ok) {
      std::u16string_view nm(name, len);
      if (len >= 2 && nm[0] == u'#') {
        if (nm[1] == u'x') {
          if (!ParseNumber(nm.substr(2), true, cp)) cp = 0;
        } else if (!ParseNumber(nm.substr(1), false, cp)) {
          cp = 0;
        }
      } else {
        cp = LookupNamedReference(nm);
      }
    }
    if (cp == 0 || cp > 0x10FFFF) {
      out.push_back(u'&');
      continue;
    }
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
    p = q + 1;
  }
}

void AppendLogEntry(std::u16string& log, const char* entry, std::initializer_list<LogAttr> attrs) {
  if (log.size() > kMaxLogLengthBeforeEntry) return;
  auto ascii = [&log](const char* s) {
    while (*s) log.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
  };
  log.push_back(u'<');
  ascii(entry);
  for (const LogAttr& a : attrs) {
    log.push_back(u' ');
    ascii(a.name);
    log.append(u"=\"");
    if (a.isNumber) {
      char digits[24];
      int k = 0;
      uint64_t v = a.number;
      do {
        digits[k++] = static_cast<char>('0' + v % 10);
        v /= 10;
      } while (v);
      while (k) log.push_back(static_cast<char16_t>(digits[--k]));
    } else {
      for (char16_t c : a.text) {
        switch (c) {
          case u'&': log.append(u"&amp;"); break;
          case u'<': log.append(u"&lt;"); break;
          case u'>': log.append(u"&gt;"); break;
          case u'"': log.append(u"&quot;"); break;
          case u'\'': log.append(u"&apos;"); break;
          default: log.push_back(c);
        }
      }
    }
    log.push_back(u'"');
  }
  log.append(u"/>");
}

}  // namespace xml
