// Test doubles for the shell's platform seams.
#pragma once

#include <map>

#include "client/shell/cipher_text.h"
#include "client/shell/config_store.h"
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

// INI files in memory: file -> key -> value (every key lives in one section).
class MemoryIniFiles final : public IniFiles {
 public:
  std::map<std::u16string, std::map<std::u16string, std::u16string>> files;
  std::u16string Read(const std::u16string& file, const std::u16string&, const std::u16string& key) override {
    auto inFile = files.find(file);
    if (inFile == files.end()) return {};
    auto value = inFile->second.find(key);
    return value == inFile->second.end() ? u"" : value->second;
  }
  void Write(const std::u16string& file, const std::u16string&, const std::u16string& key,
             const std::u16string& value) override {
    files[file][key] = value;
  }
};
