// Relabelling the login dialog from a language file (conf\cn.ini, en.ini).
#pragma once

#include <string>

#include "client/shell/config_store.h"

inline constexpr int kLanguageDialogId = 102;
inline constexpr std::size_t kLanguageTextMaxChars = 511;

// "IDD102_Title" and "IDD102_<control id>"; the unnamed labels share "-1".
std::u16string LanguageTitleKey();
std::u16string LanguageControlKey(int controlId);
// A text of a language file, cut to 511 characters; empty leaves a label alone.
std::u16string ReadLanguageText(IniFiles& ini, const std::u16string& file, const std::u16string& key);

// The language list: index 1 is English, anything else Chinese.
struct LanguageChoice {
  std::u16string file;
  std::u16string value;  // written to "language"
};
LanguageChoice LanguageForSelection(int selection, const std::u16string& appFolder);
