// INI files without the platform's private-profile functions: the same
// format and semantics (case-insensitive section and key names, values
// trimmed of blanks and of one pair of surrounding quotes, a write replaces
// the key's line or adds it, creating section and file). Text is UTF-8.
#pragma once

#include "client/shell/config_store.h"

class PortableIniFiles final : public IniFiles {
 public:
  std::u16string Read(const std::u16string& file, const std::u16string& section,
                      const std::u16string& key) override;
  void Write(const std::u16string& file, const std::u16string& section, const std::u16string& key,
             const std::u16string& value) override;
};
