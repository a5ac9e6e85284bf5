// What the login dialog shows at start-up, read from conf\config.ini.
#pragma once

#include <string>

#include "client/shell/cipher_text.h"
#include "client/shell/config_store.h"

struct LoginDialogSettings {
  std::u16string userName;
  std::u16string password;  // deciphered; empty without dravik.dll
  bool remember = false;
  std::u16string language;  // as configured, any case
  bool englishSelected = false;
  std::u16string windowTitle;
  std::u16string origin;
};

LoginDialogSettings ReadLoginDialogSettings(IniFiles& ini, const CipherBinding& cipher,
                                            const std::u16string& configPath);

// appFolder + "\conf\" + language + ".ini": the configured value as it stands.
std::u16string LanguageFilePath(const std::u16string& appFolder, const std::u16string& language);
