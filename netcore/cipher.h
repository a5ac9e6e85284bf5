// The string cipher shared by the client and the service: a one-round
// block transform over 8-byte blocks, written as lowercase hexadecimal text.
// Its output is stored in configuration files and exchanged with the service,
// so every digit it produces is fixed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace netcore {

// Limits of the exported functions: texts beyond them are not enciphered.
inline constexpr std::size_t kMaxPlainBytes = 2040;  // 255 blocks
inline constexpr std::size_t kMaxHexDigits = 8176;   // 511 blocks

// Key text: only its first 8 bytes count; shorter keys are filled with spaces.
// Each call derives its own round key, so calls may overlap on any thread.
std::string EncipherToHex(std::string_view text, std::string_view key);
std::string DecipherFromHex(std::string_view hex, std::string_view key);

// The exported form: at most outSize - 1 characters are written to out, the
// rest of the first outSize - 1 bytes is zeroed and out[outSize - 1] is left
// alone. A result or input beyond the limits above gives the empty text.
// A null key counts as empty. Returns out.
char* EncipherInto(const char* text, const char* key, char* out, int outSize);
char* DecipherInto(const char* hex, const char* key, char* out, int outSize);

}  // namespace netcore
