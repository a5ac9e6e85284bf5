// The shell's platform seams on Windows.
#pragma once

#include <windows.h>

#include "client/shell/cipher_text.h"
#include "client/shell/client_state.h"
#include "client/shell/code_page.h"
#include "client/shell/config_store.h"

// The private-profile functions.
class ProfileIniFiles final : public IniFiles {
 public:
  std::u16string Read(const std::u16string& file, const std::u16string& section,
                      const std::u16string& key) override;
  void Write(const std::u16string& file, const std::u16string& section, const std::u16string& key,
             const std::u16string& value) override;
};

// The active ANSI code page.
class SystemCodePage final : public CodePage {
 public:
  std::string WideToAnsi(std::u16string_view text) const override;
  std::u16string AnsiToWide(std::string_view bytes) const override;
};

// Exports of dravik.dll, looked up in ClientState's module at every call.
class DravikExports final : public ExportLookup {
 public:
  explicit DravikExports(const ClientState& state) : state_(state) {}
  void* Find(const char* name) const override;

 private:
  const ClientState& state_;
};

// Full path of the running program file.
std::u16string ProgramPath();
