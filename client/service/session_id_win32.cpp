#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <ctime>

#include "client/service/session_id.h"

std::u16string MakeSessionId() {
  GUID platform{};
  if (SUCCEEDED(CoCreateGuid(&platform))) {
    Guid guid{platform.Data1, platform.Data2, platform.Data3, {}};
    for (int i = 0; i < 8; ++i) guid.data4[i] = platform.Data4[i];
    return SessionIdFromGuid(guid);
  }
  std::time_t now = std::time(nullptr);
  std::srand(static_cast<unsigned>(now));
  return SessionIdFromTime(now, [] { return std::rand(); });
}
