// UTF-8 <-> UTF-16 for the portable side (files written natively, tests).
// Malformed bytes become U+FFFD; nothing is refused.
#pragma once

#include <string>

std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& bytes);
