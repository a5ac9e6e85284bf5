// demo_login ACCOUNT PASSWORD: logs in through the running program's login
// dialog, as a user would, and waits for the main frame (the demo's second
// screenshot). Exits 0 when the frame came.
#include <windows.h>

#include <string>

#include "client/res/resource.h"

namespace {

HWND FindLoginDialog() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && GetDlgItem(window, IDC_LOGIN_BANNER) &&
            GetDlgItem(window, IDC_LOGIN_LOGIN)) {
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  HWND login = nullptr;
  for (int i = 0; i < 100 && !(login = FindLoginDialog()); ++i) Sleep(100);
  if (!login) return 1;
  SendMessageW(GetDlgItem(login, IDC_LOGIN_ACCOUNT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
  SendMessageW(GetDlgItem(login, IDC_LOGIN_PASSWORD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
  PostMessageW(login, WM_COMMAND, MAKEWPARAM(IDC_LOGIN_LOGIN, BN_CLICKED), 0);
  for (int i = 0; i < 200; ++i) {
    if (!IsWindowVisible(login)) return 0;
    Sleep(100);
  }
  return 1;
}
