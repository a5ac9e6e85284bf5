// What file loading needs from the operating system: a file read whole in
// binary mode, and the system's text for an error code. One implementation per
// platform (xml_platform_win32.cpp, xml_platform_posix.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace xml {

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool Open(const std::u16string& path);
  bool Size(uint64_t& size);
  // Reads exactly size bytes; a short read is a failure.
  bool Read(void* buffer, std::size_t size);
  bool Close();
  // The error code of the last failed call.
  uint32_t LastError() const { return error_; }

 private:
  intptr_t handle_ = -1;
  uint32_t error_ = 0;
};

// The system's message for an error code (may be empty).
std::u16string SystemErrorText(uint32_t code);

}  // namespace xml
