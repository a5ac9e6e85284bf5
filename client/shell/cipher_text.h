// EncipherText / DecipherText: the UTF-16 side of the string cipher exported
// by dravik.dll as opa / opb. The export is looked up at every call, so a
// missing library simply gives empty texts.
#pragma once

#include <string>
#include <string_view>

#include "client/shell/code_page.h"

// Finds an export of dravik.dll by name; null when the library or the export
// is missing.
class ExportLookup {
 public:
  virtual ~ExportLookup() = default;
  virtual void* Find(const char* name) const = 0;
};

struct CipherBinding {
  const ExportLookup& dravik;
  const CodePage& codePage;
};

// The service's and the configuration's fixed key.
inline constexpr char16_t kFixedKey[] = u"kt204719";

// Text and key travel in the system code page through buffers of 4096 bytes.
// Inputs that do not fit give the empty text instead of overflowing.
std::u16string EncipherText(const CipherBinding& cipher, std::u16string_view text, std::u16string_view key);
// Hex text of up to 8176 digits (the cipher's own limit) is deciphered in full.
std::u16string DecipherText(const CipherBinding& cipher, std::u16string_view hex, std::u16string_view key);
