#include "client/shell/platform_win32.h"

#include <vector>

#include "ui/text.h"

std::u16string ProfileIniFiles::Read(const std::u16string& file, const std::u16string& section,
                                     const std::u16string& key) {
  wchar_t value[kConfigValueMaxChars + 1] = {};
  GetPrivateProfileStringW(ui::W(section), ui::W(key), L"", value, static_cast<DWORD>(std::size(value)),
                           ui::W(file));
  return ui::U(value);
}

void ProfileIniFiles::Write(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                            const std::u16string& value) {
  WritePrivateProfileStringW(ui::W(section), ui::W(key), ui::W(value), ui::W(file));
}

std::string SystemCodePage::WideToAnsi(std::u16string_view text) const {
  if (text.empty()) return {};
  auto wide = reinterpret_cast<const wchar_t*>(text.data());
  int length = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
  return bytes;
}

std::u16string SystemCodePage::AnsiToWide(std::string_view bytes) const {
  bytes = bytes.substr(0, bytes.find('\0'));
  if (bytes.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return {};
  std::u16string text(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(text.data()),
                      length);
  return text;
}

void* DravikExports::Find(const char* name) const {
  auto module = static_cast<HMODULE>(state_.dravikModule);
  return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

std::u16string ProgramPath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return ui::U(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);
  }
}
