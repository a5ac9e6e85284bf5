// The program's INI files (conf\config.ini, conf\version.ini, the language
// files): every key lives in the section "string". Nothing is cached: each
// read goes to the file, each write goes to the file at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reading and writing one key of an INI file; the Win32 side uses the
// private-profile functions, tests a portable implementation.
class IniFiles {
 public:
  virtual ~IniFiles() = default;
  // Empty when the file, the section or the key is missing.
  virtual std::u16string Read(const std::u16string& file, const std::u16string& section,
                              const std::u16string& key) = 0;
  // Creates the section and the file when missing; failures are silent.
  virtual void Write(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                     const std::u16string& value) = 0;
};

inline constexpr char16_t kConfigSection[] = u"string";
inline constexpr std::size_t kConfigValueMaxChars = 1023;

// A value longer than 1023 characters reads as its first 1023.
std::u16string ReadConfigValue(IniFiles& ini, const std::u16string& file, const std::u16string& key);
void WriteConfigValue(IniFiles& ini, const std::u16string& key, const std::u16string& value,
                      const std::u16string& file);

// A flag is on only when its value is exactly "1".
bool IsFlagOn(std::u16string_view value);
// The leading decimal digits as a number (saturating); 0 without any.
std::int32_t LeadingNumber(std::u16string_view value);

// "hotkey": every capital F removed, the rest read as a number: 5..11 are
// F5..F11, 0 (also empty or "HOME") is Home, anything else is no usable key.
std::int32_t HotKeyNumber(std::u16string_view value);

// "changeinterval": seconds, never below 15.
inline constexpr std::int32_t kMinChangeIntervalSeconds = 15;
std::int32_t ChangeIntervalSeconds(std::u16string_view value);

// "title" and "origin" hold a text enciphered by the distributor. Only a
// deciphered text beginning with "__" counts; the setting is that text with
// every "__" removed. nullopt means: keep the default.
std::optional<std::u16string> DistributorSetting(std::u16string_view deciphered);
