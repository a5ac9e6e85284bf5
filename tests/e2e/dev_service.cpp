#include "tests/e2e/dev_service.h"

#include <windows.h>
#include <wininet.h>

namespace e2e {

std::string DevServiceGet(const std::string& path) {
  std::string body;
  HINTERNET session = InternetOpenA("lumetra-e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!session) return body;
  std::string url = "http://127.0.0.1:80" + path;
  HINTERNET file = InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  if (file) {
    char block[4096];
    DWORD read = 0;
    while (InternetReadFile(file, block, sizeof block, &read) && read > 0) body.append(block, read);
    InternetCloseHandle(file);
  }
  InternetCloseHandle(session);
  return body;
}

}  // namespace e2e
