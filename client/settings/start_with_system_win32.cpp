#include "client/settings/start_with_system_win32.h"

#include <windows.h>

#include "client/shell/platform_win32.h"
#include "ui/text.h"

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class RunKey {
 public:
  RunKey() {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ | KEY_WRITE, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RunKey() {
    if (key_) RegCloseKey(key_);
  }
  RunKey(const RunKey&) = delete;
  RunKey& operator=(const RunKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool SetStartWithSystem(const std::u16string& valueName, bool on) {
  RunKey run;
  if (!run.Get()) return false;
  if (on) {
    const std::u16string path = ProgramPath();
    RegSetValueExW(run.Get(), ui::W(valueName), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(char16_t)));
  } else {
    RegDeleteValueW(run.Get(), ui::W(valueName));
  }
  return true;
}

bool IsStartWithSystem(const std::u16string& valueName) {
  RunKey run;
  if (!run.Get()) return false;
  // Room for one character more than a path may have: a longer value is
  // refused by the query and never compares equal.
  wchar_t value[MAX_PATH + 1] = {};
  DWORD type = 0, size = sizeof value - sizeof(wchar_t);
  if (RegQueryValueExW(run.Get(), ui::W(valueName), nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  return ui::U(value) == ProgramPath();
}
