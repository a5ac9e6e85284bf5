// Test doubles for the shell's platform seams.
#pragma once

#include "client/shell/cipher_text.h"
#include "client/shell/utf8.h"
#include "netcore/cipher.h"

// UTF-8 stands in for the system code page.
class Utf8CodePage final : public CodePage {
 public:
  std::string WideToAnsi(std::u16string_view text) const override { return ToUtf8(std::u16string(text)); }
  std::u16string AnsiToWide(std::string_view bytes) const override {
    return FromUtf8(std::string(bytes.substr(0, bytes.find('\0'))));
  }
};

// dravik.dll with its cipher exports, or missing altogether.
class FakeDravik final : public ExportLookup {
 public:
  bool loaded = true;
  void* Find(const char* name) const override {
    if (!loaded) return nullptr;
    if (std::string_view(name) == "opa") return reinterpret_cast<void*>(&netcore::EncipherInto);
    if (std::string_view(name) == "opb") return reinterpret_cast<void*>(&netcore::DecipherInto);
    return nullptr;
  }
};
