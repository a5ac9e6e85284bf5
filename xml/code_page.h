// Code pages: the table of encoding names, and conversion of bytes in a code
// page to UTF-16 behind an interface (MultiByteToWideChar on Windows, iconv
// natively), so file loading stays portable and testable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr uint32_t kCodePageAnsi = 0;  // the system's default ANSI code page
inline constexpr uint32_t kCodePageUtf8 = 65001;
inline constexpr uint32_t kCodePageUtf16Le = 1200;
inline constexpr uint32_t kCodePageUtf16Be = 1201;
inline constexpr uint32_t kCodePageUtf32Le = 12000;
inline constexpr uint32_t kCodePageUtf32Be = 12001;

class CodePageConverter {
 public:
  virtual ~CodePageConverter() = default;
  // Appends the UTF-16 form of bytes in codePage to out; bytes invalid in the
  // code page are handled by the platform's default rules. Returns false, with
  // nothing appended, when the platform cannot convert from that code page.
  virtual bool AppendUtf16(uint32_t codePage, const char* bytes, std::size_t size,
                           std::u16string& out) const = 0;
  // The code page that kCodePageAnsi stands for.
  virtual uint32_t AnsiCodePage() const = 0;
};

// The platform's converter (one per process, safe to use from any thread).
const CodePageConverter& SystemCodePageConverter();

// Code page of an encoding name, ASCII letters folded; 0 when unknown or when
// the name has 100 characters or more.
uint32_t CodePageOfName(std::u16string_view name);

// The table, for tests: number of names and of distinct code pages.
std::size_t CodePageNameCount();
std::size_t CodePageCount();

// Code pages in which a byte below 0x80 that does not follow a byte of 0x80 or
// above is always that ASCII character, so runs of ASCII need no conversion call.
bool IsAsciiCompatibleCodePage(uint32_t codePage);

// Converts bytes in codePage to UTF-16, appending to out: ASCII runs are
// widened here, well-formed UTF-8 is decoded here, everything else goes to the
// converter in pieces that never split a character.
void AppendConverted(const CodePageConverter& converter, uint32_t codePage, const char* bytes,
                     std::size_t size, std::u16string& out);
