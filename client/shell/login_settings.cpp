#include "client/shell/login_settings.h"

#include "client/shell/client_state.h"

namespace {

std::u16string DistributorValue(IniFiles& ini, const CipherBinding& cipher, const std::u16string& configPath,
                                const std::u16string& key, const std::u16string& fallback) {
  std::u16string stored = ReadConfigValue(ini, configPath, key);
  return DistributorSetting(DecipherText(cipher, stored, kFixedKey)).value_or(fallback);
}

}  // namespace

LoginDialogSettings ReadLoginDialogSettings(IniFiles& ini, const CipherBinding& cipher,
                                            const std::u16string& configPath) {
  LoginDialogSettings settings;
  settings.userName = ReadConfigValue(ini, configPath, u"username");
  settings.password = DecipherText(cipher, ReadConfigValue(ini, configPath, u"password"), kFixedKey);
  settings.remember = IsFlagOn(ReadConfigValue(ini, configPath, u"remember"));
  settings.language = ReadConfigValue(ini, configPath, u"language");
  settings.englishSelected = settings.language == u"en";
  settings.windowTitle = DistributorValue(ini, cipher, configPath, u"title", kDefaultWindowTitle);
  settings.origin = DistributorValue(ini, cipher, configPath, u"origin", kDefaultOrigin);
  return settings;
}

std::u16string LanguageFilePath(const std::u16string& appFolder, const std::u16string& language) {
  return appFolder + u"\\conf\\" + language + u".ini";
}
