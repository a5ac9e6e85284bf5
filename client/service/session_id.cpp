#include "client/service/session_id.h"

#include <cstdio>

std::u16string SessionIdFromGuid(const Guid& guid) {
  char text[33];
  std::snprintf(text, sizeof text, "%08X%04X%04x%02X%02X%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(guid.data1),
                guid.data2, guid.data3, guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4],
                guid.data4[5], guid.data4[6], guid.data4[7]);
  return std::u16string(text, text + 32);
}
