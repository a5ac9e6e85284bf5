#include "xml/code_page.h"

bool IsAsciiCompatibleCodePage(uint32_t codePage) {
  switch (codePage) {
    case 874: case 932: case 936: case 949: case 950: case 1361:
    case 20127: case 20866: case 21866:
    case 51932: case 51936: case 51949: case 54936: case 65001:
      return true;
    default:
      return (codePage >= 1250 && codePage <= 1258) || (codePage >= 28591 && codePage <= 28605);
  }
}

namespace {

// Length of the well-formed UTF-8 sequence at p (shortest form, no surrogates,
// at most U+10FFFF) with its code point, or 0 when it is not one.
std::size_t DecodeUtf8(const unsigned char* p, const unsigned char* end, uint32_t& cp) {
  unsigned char b = p[0];
  std::size_t n;
  uint32_t min;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2; cp = b & 0x1F; min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3; cp = b & 0x0F; min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4; cp = b & 0x07; min = 0x10000;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) < n) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

void AppendAscii(const unsigned char* p, const unsigned char* end, std::u16string& out) {
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(end - p));
  char16_t* w = out.data() + at;
  while (p < end) *w++ = *p++;
}

}  // namespace

void AppendConverted(const CodePageConverter& converter, uint32_t codePage, const char* bytes,
                     std::size_t size, std::u16string& out) {
  uint32_t effective = codePage == kCodePageAnsi ? converter.AnsiCodePage() : codePage;
  if (!IsAsciiCompatibleCodePage(effective)) {
    if (!converter.AppendUtf16(codePage, bytes, size, out)) out.clear();
    return;
  }
  std::size_t base = out.size();
  out.reserve(base + size + size / 100 + 1);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes);
  const unsigned char* end = p + size;
  while (p < end) {
    const unsigned char* run = p;
    while (p < end && *p < 0x80) ++p;
    if (p > run) AppendAscii(run, p, out);
    if (p == end) break;
    if (effective == kCodePageUtf8) {
      uint32_t cp;
      std::size_t n = DecodeUtf8(p, end, cp);
      if (n != 0) {
        if (cp < 0x10000) {
          out.push_back(static_cast<char16_t>(cp));
        } else {
          out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
          out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
        p += n;
        continue;
      }
    }
    // A piece that ends only at an ASCII byte following an ASCII byte, so no
    // lead byte is ever cut from its trail byte. UTF-8 has no ASCII trail
    // bytes: its pieces stop at the first ASCII byte.
    const unsigned char* from = p;
    ++p;
    if (effective == kCodePageUtf8) {
      while (p < end && *p >= 0x80) ++p;
    } else {
      while (p < end && (*p >= 0x80 || p[-1] >= 0x80)) ++p;
    }
    if (!converter.AppendUtf16(codePage, reinterpret_cast<const char*>(from),
                               static_cast<std::size_t>(p - from), out)) {
      out.resize(base);
      return;
    }
  }
}
