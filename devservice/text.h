// Text helpers at the service's edges: the client speaks code page 936
// (GBK) and sends its query values unescaped, or percent-encoded by the
// platform; inside, the service keeps UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace devservice {

// Bytes that the target code page cannot hold become '?'; never fails.
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

// %XX becomes its byte; a '%' not followed by two hex digits stays as it is.
// '+' stays '+': the client never escapes, so a '+' is a '+' it was given.
std::string PercentDecode(std::string_view text);

struct Target {
  std::string path;  // without the leading '/', percent-decoded
  std::vector<std::pair<std::string, std::string>> params;  // decoded bytes
};

// Splits "/path?a=1&b=2" into its path and parameters, in order.
Target ParseTarget(std::string_view target);

// The first value of a parameter, or empty.
std::string ParamValue(const Target& target, std::string_view name);
bool HasParam(const Target& target, std::string_view name);

std::string XmlEscape(std::string_view text);

// Dates are "YYYY-MM-DD" (UTC). Days count from 1970-01-01.
bool ParseDate(std::string_view text, long& days);
std::string FormatDate(long days);
long DaysFromTime(long long unixSeconds);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace devservice
