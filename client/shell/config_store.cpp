#include "client/shell/config_store.h"

#include <limits>

std::u16string ReadConfigValue(IniFiles& ini, const std::u16string& file, const std::u16string& key) {
  std::u16string value = ini.Read(file, kConfigSection, key);
  if (value.size() > kConfigValueMaxChars) value.resize(kConfigValueMaxChars);
  return value;
}

void WriteConfigValue(IniFiles& ini, const std::u16string& key, const std::u16string& value,
                      const std::u16string& file) {
  ini.Write(file, kConfigSection, key, value);
}

bool IsFlagOn(std::u16string_view value) { return value == u"1"; }

std::int32_t LeadingNumber(std::u16string_view value) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t number = 0;
  for (char16_t c : value) {
    if (c < u'0' || c > u'9') break;
    number = number * 10 + (c - u'0');
    if (number > kMax) return static_cast<std::int32_t>(kMax);
  }
  return static_cast<std::int32_t>(number);
}

std::int32_t HotKeyNumber(std::u16string_view value) {
  std::u16string rest;
  for (char16_t c : value)
    if (c != u'F') rest += c;
  return LeadingNumber(rest);
}

std::int32_t ChangeIntervalSeconds(std::u16string_view value) {
  std::int32_t seconds = LeadingNumber(value);
  return seconds < kMinChangeIntervalSeconds ? kMinChangeIntervalSeconds : seconds;
}

std::optional<std::u16string> DistributorSetting(std::u16string_view deciphered) {
  if (deciphered.substr(0, 2) != u"__") return std::nullopt;
  std::u16string setting;
  for (std::size_t i = 0; i < deciphered.size();) {
    if (deciphered.substr(i, 2) == u"__") {
      i += 2;
    } else {
      setting += deciphered[i++];
    }
  }
  return setting;
}
