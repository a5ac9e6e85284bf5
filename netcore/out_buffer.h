// The output-buffer rule of every text export: at most size - 1 characters
// are written, and out[size - 1] is always zero.
#pragma once

#include <cstring>
#include <string_view>

namespace netcore {

inline void CopyToBuffer(std::string_view text, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  std::size_t room = static_cast<std::size_t>(size) - 1;
  std::size_t n = text.size() < room ? text.size() : room;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  out[room] = '\0';
}

// Overwrites secrets before their memory is released; volatile so the stores
// are not dropped as dead.
inline void Wipe(void* data, std::size_t size) {
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  while (size--) *p++ = 0;
}

template <typename String>
void WipeString(String& s) {
  if (!s.empty()) Wipe(s.data(), s.size() * sizeof(s[0]));
  s.clear();
}

}  // namespace netcore
