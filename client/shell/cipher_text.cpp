#include "client/shell/cipher_text.h"

#include <cstring>
#include <vector>

namespace {

using CipherExport = char* (*)(const char* text, const char* key, char* out, int outSize);

constexpr std::size_t kBufferBytes = 4096;
constexpr std::size_t kMaxHexDigits = 8176;

std::u16string Call(const CipherBinding& cipher, const char* exportName, std::u16string_view input,
                    std::u16string_view key, std::size_t maxInputBytes) {
  auto function = reinterpret_cast<CipherExport>(cipher.dravik.Find(exportName));
  if (!function) return {};
  const std::string ansiInput = cipher.codePage.WideToAnsi(input);
  const std::string ansiKey = cipher.codePage.WideToAnsi(key);
  if (ansiInput.size() > maxInputBytes || ansiKey.size() >= kBufferBytes) return {};
  std::vector<char> out(kBufferBytes, '\0');
  function(ansiInput.c_str(), ansiKey.c_str(), out.data(), static_cast<int>(out.size()));
  out.back() = '\0';
  return cipher.codePage.AnsiToWide(std::string_view(out.data(), std::strlen(out.data())));
}

}  // namespace

std::u16string EncipherText(const CipherBinding& cipher, std::u16string_view text, std::u16string_view key) {
  return Call(cipher, "opa", text, key, kBufferBytes - 1);
}

std::u16string DecipherText(const CipherBinding& cipher, std::u16string_view hex, std::u16string_view key) {
  return Call(cipher, "opb", hex, key, kMaxHexDigits);
}
