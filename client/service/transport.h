// FetchUrlText: one synchronous HTTP GET whose body comes back as UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "client/shell/code_page.h"

// Time-outs of connecting and of each receive, so that a silent service
// cannot hold a thread for good.
inline constexpr unsigned long kRequestTimeoutMs = 15000;

// The body as text: converted from the system code page once, as a whole
// (a double-byte character is never split), with every CR removed. The text
// ends at a zero byte.
std::u16string AnswerText(std::string_view body, const CodePage& codePage);

// Returns the empty text when the request could not be made, was cut off or
// answered with a status other than 2xx. Requests neither use nor fill the
// platform's cache: URLs carry passwords and answers must be fresh. With
// showErrors, a failure to open the URL is shown with the platform's text.
std::u16string FetchUrlText(const std::u16string& url, bool showErrors);
