#include "devservice/text.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace devservice {
namespace {

// One iconv pass; an unconvertible or broken sequence costs one input byte
// and becomes '?', so every input gives an answer.
std::string Convert(std::string_view input, const char* to, const char* from) {
  const bool fromUtf8 = std::string_view(from) == "UTF-8";
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string out;
  out.reserve(input.size() * 2);
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end). From UTF-8 the
      // whole sequence goes, so one character gives one '?'.
      out.push_back('?');
      do {
        ++in;
        --inLeft;
      } while (fromUtf8 && inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return Convert(utf8, "GBK", "UTF-8"); }
std::string GbkToUtf8(std::string_view gbk) { return Convert(gbk, "UTF-8", "GBK"); }

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

Target ParseTarget(std::string_view target) {
  Target result;
  std::size_t question = target.find('?');
  std::string_view path = target.substr(0, question);
  while (!path.empty() && path.front() == '/') path.remove_prefix(1);
  result.path = PercentDecode(path);
  if (question == std::string_view::npos) return result;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    std::size_t amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    if (!pair.empty()) {
      std::size_t eq = pair.find('=');
      std::string_view name = pair.substr(0, eq);
      std::string_view value = eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
      result.params.emplace_back(PercentDecode(name), PercentDecode(value));
    }
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return result;
}

std::string ParamValue(const Target& target, std::string_view name) {
  for (const auto& [key, value] : target.params) {
    if (key == name) return value;
  }
  return {};
}

bool HasParam(const Target& target, std::string_view name) {
  for (const auto& param : target.params) {
    if (param.first == name) return true;
  }
  return false;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

namespace {

// Civil-calendar conversions (proleptic Gregorian), days since 1970-01-01.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

}  // namespace

bool ParseDate(std::string_view text, long& days) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int y = 0, m = 0, d = 0;
  const char* s = text.data();
  if (std::from_chars(s, s + 4, y).ptr != s + 4) return false;
  if (std::from_chars(s + 5, s + 7, m).ptr != s + 7) return false;
  if (std::from_chars(s + 8, s + 10, d).ptr != s + 10) return false;
  if (m < 1 || m > 12 || d < 1 || d > 31) return false;
  days = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
  return true;
}

std::string FormatDate(long days) {
  long y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04ld-%02u-%02u", y, m, d);
  return buffer;
}

long DaysFromTime(long long unixSeconds) {
  long long days = unixSeconds / 86400;
  if (unixSeconds < 0 && unixSeconds % 86400 != 0) --days;
  return static_cast<long>(days);
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace devservice
