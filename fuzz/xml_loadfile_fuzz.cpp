// libFuzzer: arbitrary bytes written to a file and loaded (marks, declared
// encodings, the UTF-8 test, conversion), then indexed and walked.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/xml_walk.h"

namespace {

std::u16string FilePath() {
  static const std::string path = "xml_loadfile_fuzz." + std::to_string(getpid()) + ".tmp";
  return std::u16string(path.begin(), path.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string path = FilePath();
  std::string narrow(path.begin(), path.end());
  FILE* f = std::fopen(narrow.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  CXmlReader reader;
  reader.LoadFile(path);
  CheckIndex(reader);
  WalkAll(reader, 0);
  std::remove(narrow.c_str());
  return 0;
}
