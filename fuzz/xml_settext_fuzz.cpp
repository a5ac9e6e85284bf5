// libFuzzer: arbitrary UTF-16 text (pairs of bytes) indexed and walked, and a
// name search with the first units as the name.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/xml_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  if (!text.empty()) std::memcpy(text.data(), data, text.size() * 2);
  CXmlReader reader;
  reader.SetText(text);
  CheckIndex(reader);
  WalkAll(reader, 0);
  reader.GetDiagnostics();
  std::u16string name = text.substr(0, text.size() < 8 ? text.size() : 8);
  CXmlReader again;
  again.SetText(std::move(text));
  while (again.FindChild(name) && again.EnterChild()) {
  }
  again.GetChildText();
  return 0;
}
