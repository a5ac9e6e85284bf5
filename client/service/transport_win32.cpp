#include <windows.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

#include "client/service/transport.h"
#include "client/shell/platform_win32.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace {

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetCloser>;

void ShowPlatformError(DWORD error) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 GetModuleHandleW(L"wininet.dll"), error, 0, text, 512, nullptr);
  ui::Inform(nullptr, ui::U(text));
}

}  // namespace

std::u16string FetchUrlText(const std::u16string& url, bool showErrors) {
  InternetHandle session(
      InternetOpenW(ui::W(ui::ApplicationTitle()), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return {};
  DWORD timeout = kRequestTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(session.get(), option, &timeout, sizeof timeout);

  constexpr DWORD kFlags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                           INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
  InternetHandle file(InternetOpenUrlW(session.get(), ui::W(url), nullptr, 0, kFlags, 1));
  if (!file) {
    if (showErrors) ShowPlatformError(GetLastError());
    return {};
  }

  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoW(file.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
      status < 200 || status > 299)
    return {};

  std::string body;
  char block[4096];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(file.get(), block, sizeof block, &read)) return {};  // cut off: no half answers
    if (read == 0) break;
    body.append(block, read);
  }
  return AnswerText(body, SystemCodePage());
}
