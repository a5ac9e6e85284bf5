// Conversions between UTF-16 and the system code page (the active ANSI code
// page of Windows): texts cross the boundary of dravik.dll and arrive from the
// service in it.
#pragma once

#include <string>
#include <string_view>

class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual std::string WideToAnsi(std::u16string_view text) const = 0;
  // The input ends at its first zero byte.
  virtual std::u16string AnsiToWide(std::string_view bytes) const = 0;
};
