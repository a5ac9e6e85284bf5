#include "client/service/transport.h"

std::u16string AnswerText(std::string_view body, const CodePage& codePage) {
  std::string bytes;
  bytes.reserve(body.size());
  for (char byte : body) {
    if (byte == '\0') break;
    if (byte != '\r') bytes += byte;
  }
  return codePage.AnsiToWide(bytes);
}
