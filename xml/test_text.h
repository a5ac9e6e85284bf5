// Readable test output for UTF-16 text: ASCII as it is, the rest as \uXXXX.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

inline std::string Narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[12];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
      out += buf;
    }
  }
  return out;
}
