#include "client/shell/language.h"

#include <string>

namespace {

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::u16string LanguageTitleKey() { return Ascii("IDD" + std::to_string(kLanguageDialogId) + "_Title"); }

std::u16string LanguageControlKey(int controlId) {
  return Ascii("IDD" + std::to_string(kLanguageDialogId) + "_" + std::to_string(controlId));
}

std::u16string ReadLanguageText(IniFiles& ini, const std::u16string& file, const std::u16string& key) {
  std::u16string text = ReadConfigValue(ini, file, key);
  if (text.size() > kLanguageTextMaxChars) text.resize(kLanguageTextMaxChars);
  return text;
}

LanguageChoice LanguageForSelection(int selection, const std::u16string& appFolder) {
  const std::u16string value = selection == 1 ? u"en" : u"cn";
  return {appFolder + u"\\conf\\" + value + u".ini", value};
}
