// CXmlReader::LoadFile: byte order mark, declared encoding, UTF-8 test,
// conversion to UTF-16, then indexing as SetText does.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "xml/code_page.h"
#include "xml/xml_file.h"
#include "xml/xml_platform.h"
#include "xml/xml_reader.h"
#include "xml/xml_scan.h"

using xml::Attr;
using xml::NodeType;

namespace xml {
namespace {

bool EqualsFolded(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x += 32;
    if (y >= u'A' && y <= u'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

// Calls f(name, value) for each attribute in [from, to) of a tag; stops when f
// returns false.
template <typename F>
void ForEachAttribute(const char16_t* t, std::size_t from, std::size_t to, F f) {
  std::size_t i = from;
  while (i < to) {
    while (i < to && (IsXmlSpace(t[i]) || t[i] == u'/' || t[i] == u'?')) ++i;
    std::size_t nameFrom = i;
    while (i < to && !IsXmlSpace(t[i]) && t[i] != u'=' && t[i] != u'>' && t[i] != u'/' && t[i] != u'?') ++i;
    std::u16string_view name(t + nameFrom, i - nameFrom);
    if (name.empty()) {
      ++i;
      continue;
    }
    while (i < to && IsXmlSpace(t[i])) ++i;
    std::u16string_view value;
    if (i < to && t[i] == u'=') {
      ++i;
      while (i < to && IsXmlSpace(t[i])) ++i;
      if (i < to && (t[i] == u'"' || t[i] == u'\'')) {
        char16_t q = t[i++];
        std::size_t valueFrom = i;
        while (i < to && t[i] != q) ++i;
        value = {t + valueFrom, i - valueFrom};
        if (i < to) ++i;
      } else {
        std::size_t valueFrom = i;
        while (i < to && !IsXmlSpace(t[i]) && t[i] != u'>') ++i;
        value = {t + valueFrom, i - valueFrom};
      }
    }
    if (!f(name, value)) return;
  }
}

std::u16string CharsetOfContent(std::u16string_view content) {
  std::vector<std::u16string_view> tokens;
  std::size_t i = 0;
  while (i < content.size()) {
    if (EndsTagName(content[i])) {
      tokens.push_back(content.substr(i, 1));
      ++i;
      continue;
    }
    std::size_t from = i;
    while (i < content.size() && !EndsTagName(content[i])) ++i;
    tokens.push_back(content.substr(from, i - from));
  }
  for (std::size_t k = 0; k + 2 < tokens.size(); ++k) {
    if (EqualsFolded(tokens[k], u"charset") && tokens[k + 1] == u"=" && !EndsTagName(tokens[k + 2][0])) {
      return std::u16string(tokens[k + 2]);
    }
  }
  return {};
}

}  // namespace

std::u16string FindDeclaredEncoding(const char16_t* t, std::size_t n) {
  std::u16string encoding;
  ScannedNode first = ScanNode(t, n, 0);
  if (first.type == NodeType::kProcessingInstruction) {
    std::u16string_view target = ScannedTagName(t, 2, first.length - 2);
    std::size_t targetEnd = 2;
    while (targetEnd < first.length - 2 && !IsXmlSpace(t[targetEnd]) && t[targetEnd] != u'?') ++targetEnd;
    target = {t + 2, targetEnd - 2};
    if (EqualsFolded(target, u"xml")) {
      ForEachAttribute(t, targetEnd, first.length - 2, [&](std::u16string_view name, std::u16string_view value) {
        if (!EqualsFolded(name, u"encoding")) return true;
        encoding.assign(value);
        return false;
      });
      return encoding;
    }
  }
  bool inHtml = false;
  std::size_t pos = 0;
  while (true) {
    ScannedNode node = ScanNode(t, n, pos);
    if (node.type == NodeType::kEnd || node.type == NodeType::kError) return encoding;
    pos = node.start + node.length;
    if (node.type == NodeType::kEndTag) {
      if (inHtml && EqualsFolded(ScannedTagName(t, node.start + 2, pos), u"head")) return encoding;
      continue;
    }
    if (node.type != NodeType::kStartTag && node.type != NodeType::kEmptyTag) continue;
    std::u16string_view name = ScannedTagName(t, node.start + 1, pos);
    if (!inHtml) {
      if (!EqualsFolded(name, u"html")) return encoding;
      inHtml = true;
      continue;
    }
    if (!EqualsFolded(name, u"meta")) continue;
    bool contentType = false;
    std::u16string_view content;
    bool hasContent = false;
    ForEachAttribute(t, node.start + 1 + name.size(), pos - 1, [&](std::u16string_view a, std::u16string_view v) {
      if (EqualsFolded(a, u"http-equiv") && EqualsFolded(v, u"content-type")) contentType = true;
      if (EqualsFolded(a, u"content") && !hasContent) {
        content = v;
        hasContent = true;
      }
      return true;
    });
    if (contentType) {
      if (hasContent) encoding = CharsetOfContent(content);
      return encoding;
    }
  }
}

bool PassesUtf8Test(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    unsigned char b = p[i++];
    if (b < 0x80) continue;
    std::size_t more = b <= 0xDF ? 1 : b <= 0xEF ? 2 : b <= 0xF7 ? 3 : 0;
    if (more == 0) return false;
    for (std::size_t k = 0; k < more; ++k, ++i) {
      if (i >= n || p[i] < 0x80) return false;
    }
  }
  return true;
}

}  // namespace xml

namespace {

enum class WideForm { kNone, kUtf16Le, kUtf16Be, kUtf32Le, kUtf32Be };

// A file without a mark whose declaration is written in 16- or 32-bit units.
WideForm SniffWideForm(const unsigned char* p, std::size_t n) {
  if (n < 4) return WideForm::kNone;
  if (p[0] == '<' && p[1] == 0 && p[2] == '?' && p[3] == 0) return WideForm::kUtf16Le;
  if (p[0] == 0 && p[1] == '<' && p[2] == 0 && p[3] == '?') return WideForm::kUtf16Be;
  if (p[0] == '<' && p[1] == 0 && p[2] == 0 && p[3] == 0) return WideForm::kUtf32Le;
  if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == '<') return WideForm::kUtf32Be;
  return WideForm::kNone;
}

std::u16string WidenPreview(const unsigned char* p, std::size_t n, WideForm form) {
  std::u16string out;
  bool utf32 = form == WideForm::kUtf32Le || form == WideForm::kUtf32Be;
  bool be = form == WideForm::kUtf16Be || form == WideForm::kUtf32Be;
  std::size_t unit = utf32 ? 4 : 2;
  for (std::size_t i = 0; i + unit <= n; i += unit) {
    uint32_t v = 0;
    for (std::size_t k = 0; k < unit; ++k) v |= static_cast<uint32_t>(p[i + (be ? unit - 1 - k : k)]) << (8 * k);
    out.push_back(v < 0x10000 ? static_cast<char16_t>(v) : u'?');
  }
  return out;
}

// Every complete group of 4 bytes is one little-endian code point.
void AppendUtf32(const unsigned char* p, std::size_t n, std::u16string& out) {
  out.reserve(out.size() + n / 4 + n / 400 + 1);
  for (std::size_t i = 0; i + 4 <= n; i += 4) {
    uint32_t cp = p[i] | (p[i + 1] << 8) | (p[i + 2] << 16) | (static_cast<uint32_t>(p[i + 3]) << 24);
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else if (cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(0xFFFD);
    }
  }
}

bool StartsWithUtf32(std::u16string_view name) { return name.substr(0, 6) == u"UTF-32"; }

}  // namespace

class XmlFileLoader {
 public:
  XmlFileLoader(CXmlReader& r, const CodePageConverter& converter) : r_(r), converter_(converter) {}

  bool Load(const std::u16string& path) {
    r_.log_.clear();
    r_.docFlags_ = 0;
    r_.Clear();
    xml::ReadOnlyFile file;
    if (!file.Open(path)) return FileError(file.LastError());
    uint64_t size = 0;
    if (!file.Size(size)) return FileError(file.LastError());
    if (size > 0x7FFFFFFFull * 2) return FileError(file.LastError());

    std::size_t total = static_cast<std::size_t>(size);
    std::size_t previewSize = std::min<std::size_t>(total, 1024);
    unsigned char preview[1024];
    if (previewSize > 0 && !file.Read(preview, previewSize)) return FileError(file.LastError());

    struct Mark {
      unsigned char bytes[3];
      std::size_t length;
      const char16_t* name;
      uint32_t bit;
      std::size_t unit;
    };
    static constexpr Mark kMarks[] = {
        {{0xEF, 0xBB, 0xBF}, 3, u"UTF-8", kDocUtf8Mark, 1},
        {{0xFF, 0xFE, 0}, 2, u"UTF-16LE", kDocUtf16LeMark, 2},
        {{0xFE, 0xFF, 0}, 2, u"UTF-16BE", kDocUtf16BeMark, 2},
    };
    std::size_t markLength = 0;
    std::size_t unit = 1;
    uint32_t markBit = 0;
    bool bigEndian = false;
    bool wide32 = false;
    std::u16string encoding;
    for (const Mark& m : kMarks) {
      if (previewSize >= m.length && std::memcmp(preview, m.bytes, m.length) == 0) {
        markLength = m.length;
        unit = m.unit;
        markBit = m.bit;
        encoding = m.name;
        bigEndian = m.bit == kDocUtf16BeMark;
        xml::AppendLogEntry(r_.log_, "bom", {});
        break;
      }
    }
    if (markBit == 0 && previewSize > 0) {
      WideForm form = SniffWideForm(preview, previewSize);
      if (form != WideForm::kNone) {
        std::u16string wide = WidenPreview(preview, previewSize, form);
        std::u16string declared = xml::FindDeclaredEncoding(wide.data(), wide.size());
        uint32_t cp = StartsWithUtf32(declared) ? kCodePageUtf32Le : CodePageOfName(declared);
        bool declares16 = cp == kCodePageUtf16Le || cp == kCodePageUtf16Be;
        bool declares32 = cp == kCodePageUtf32Le || cp == kCodePageUtf32Be;
        bool is32 = form == WideForm::kUtf32Le || form == WideForm::kUtf32Be;
        // The declaration counts only when it agrees with the unit size the
        // bytes show; the byte order is taken from the bytes.
        if ((declares16 && !is32) || (declares32 && is32)) {
          encoding = declared;
          unit = is32 ? 4 : 2;
          wide32 = is32;
          bigEndian = form == WideForm::kUtf16Be || form == WideForm::kUtf32Be;
        }
      }
      if (unit == 1) {
        std::u16string text;
        AppendConverted(converter_, kCodePageUtf8, reinterpret_cast<const char*>(preview), previewSize, text);
        encoding = xml::FindDeclaredEncoding(text.data(), text.size());
        uint32_t cp = StartsWithUtf32(encoding) ? kCodePageUtf32Le : CodePageOfName(encoding);
        // Eight-bit bytes cannot be 16- or 32-bit text; the declaration was
        // readable as UTF-8, so that is what they are read as.
        if (cp == kCodePageUtf16Le || cp == kCodePageUtf16Be || cp == kCodePageUtf32Le ||
            cp == kCodePageUtf32Be) {
          encoding = u"UTF-8";
        }
        if (encoding.empty() && preview[0] == '<') encoding = u"UTF-8";
      }
    }

    std::size_t toRead = total - markLength;
    if (toRead == 0) {
      xml::AppendLogEntry(r_.log_, "read", {Attr("encoding", encoding), Attr("length", 0)});
      return Finish(file, markBit, std::u16string());
    }

    if (unit == 2 && !wide32) return LoadUtf16(file, preview, previewSize, markLength, toRead, encoding, bigEndian, markBit);

    // Not zero-filled: every byte is read over, and a large file would pay a
    // pass over fresh memory for nothing.
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[toRead]);
    unsigned char* bytes = buffer.get();
    std::size_t fromPreview = previewSize - markLength;
    std::memcpy(bytes, preview + markLength, fromPreview);
    if (toRead > fromPreview && !file.Read(bytes + fromPreview, toRead - fromPreview)) {
      return FileError(file.LastError());
    }
    std::size_t units = toRead / unit;
    std::size_t count = units * unit;
    std::size_t nulls = 0;
    if (unit == 1) {
      unsigned char* end = std::remove(bytes, bytes + count, static_cast<unsigned char>(0));
      nulls = static_cast<std::size_t>(bytes + count - end);
      count = static_cast<std::size_t>(end - bytes);
    } else {
      std::size_t w = 0;
      for (std::size_t i = 0; i < units; ++i) {
        const unsigned char* u = bytes + 4 * i;
        if ((u[0] | u[1] | u[2] | u[3]) == 0) {
          ++nulls;
          continue;
        }
        if (bigEndian) {
          unsigned char s[4] = {u[3], u[2], u[1], u[0]};
          std::memcpy(bytes + 4 * w, s, 4);
        } else if (w != i) {
          std::memmove(bytes + 4 * w, u, 4);
        }
        ++w;
      }
      count = 4 * w;
    }
    bool detected = false;
    if (encoding.empty()) {
      detected = true;
      if (xml::PassesUtf8Test(bytes, count)) encoding = u"UTF-8";
    }
    xml::AppendLogEntry(r_.log_, "read", {Attr("encoding", encoding), Attr("length", units)});
    if (nulls) xml::AppendLogEntry(r_.log_, "nulls_removed", {Attr("count", nulls)});
    if (bigEndian) xml::AppendLogEntry(r_.log_, "endian_swap", {});
    if (detected) xml::AppendLogEntry(r_.log_, "utf8_detection", {});
    std::u16string text;
    if (wide32 || StartsWithUtf32(encoding)) {
      AppendUtf32(bytes, count, text);
    } else {
      AppendConverted(converter_, CodePageOfName(encoding), reinterpret_cast<const char*>(bytes), count, text);
    }
    buffer.reset();
    xml::AppendLogEntry(r_.log_, "converted_to",
                        {Attr("encoding", std::u16string_view(u"UTF-16")), Attr("length", text.size())});
    return Finish(file, markBit, std::move(text));
  }

 private:
  // UTF-16 is read straight into the document text.
  bool LoadUtf16(xml::ReadOnlyFile& file, const unsigned char* preview, std::size_t previewSize,
                 std::size_t markLength, std::size_t toRead, const std::u16string& encoding, bool bigEndian,
                 uint32_t markBit) {
    std::size_t units = toRead / 2;
    std::u16string text;
    text.reserve(units + units / 100 + 1);
    text.resize((toRead + 1) / 2);
    auto* dst = reinterpret_cast<unsigned char*>(text.data());
    std::size_t fromPreview = previewSize - markLength;
    std::memcpy(dst, preview + markLength, fromPreview);
    if (toRead > fromPreview && !file.Read(dst + fromPreview, toRead - fromPreview)) {
      return FileError(file.LastError());
    }
    text.resize(units);
    xml::AppendLogEntry(r_.log_, "read", {Attr("encoding", encoding), Attr("length", units)});
    auto end = std::remove(text.begin(), text.end(), u'\0');
    std::size_t nulls = static_cast<std::size_t>(text.end() - end);
    text.erase(end, text.end());
    if (nulls) xml::AppendLogEntry(r_.log_, "nulls_removed", {Attr("count", nulls)});
    if (bigEndian) {
      for (char16_t& c : text) c = static_cast<char16_t>((c >> 8) | (c << 8));
      xml::AppendLogEntry(r_.log_, "endian_swap", {});
    }
    return Finish(file, markBit, std::move(text));
  }

  bool Finish(xml::ReadOnlyFile& file, uint32_t markBit, std::u16string text) {
    if (!file.Close()) WriteFileError(file.LastError());
    r_.docFlags_ = markBit;
    r_.text_ = std::move(text);
    return r_.Index();
  }

  void WriteFileError(uint32_t code) {
    std::u16string message = xml::SystemErrorText(code);
    std::size_t cut = message.find_first_of(u"\r\n");
    if (cut != std::u16string::npos) message.resize(cut);
    if (message.size() >= 100) message.clear();
    xml::AppendLogEntry(r_.log_, "file_error", {Attr("msg", message), Attr("n", code)});
  }

  bool FileError(uint32_t code) {
    WriteFileError(code);
    r_.Clear();
    r_.docFlags_ = 0;
    return false;
  }

  CXmlReader& r_;
  const CodePageConverter& converter_;
};

bool CXmlReader::LoadFile(const std::u16string& path) { return LoadFile(path, SystemCodePageConverter()); }

bool CXmlReader::LoadFile(const std::u16string& path, const CodePageConverter& converter) {
  XmlFileLoader loader(*this, converter);
  return loader.Load(path);
}
