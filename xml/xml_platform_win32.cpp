// Windows file access and code page conversion: CreateFileW, ReadFile,
// MultiByteToWideChar, FormatMessageW.
#include <windows.h>

#include "xml/code_page.h"
#include "xml/xml_platform.h"

namespace xml {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ReadOnlyFile::Open(const std::u16string& path) {
  HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error_ = GetLastError();
    return false;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

bool ReadOnlyFile::Size(uint64_t& size) {
  LARGE_INTEGER li;
  if (!GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &li)) {
    error_ = GetLastError();
    return false;
  }
  size = static_cast<uint64_t>(li.QuadPart);
  return true;
}

bool ReadOnlyFile::Read(void* buffer, std::size_t size) {
  auto* p = static_cast<char*>(buffer);
  while (size > 0) {
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), p, chunk, &got, nullptr)) {
      error_ = GetLastError();
      return false;
    }
    if (got == 0) {
      error_ = ERROR_HANDLE_EOF;
      return false;
    }
    p += got;
    size -= got;
  }
  return true;
}

bool ReadOnlyFile::Close() {
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  handle_ = -1;
  if (h != INVALID_HANDLE_VALUE && !CloseHandle(h)) {
    error_ = GetLastError();
    return false;
  }
  return true;
}

std::u16string SystemErrorText(uint32_t code) {
  wchar_t buffer[512];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                           buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

}  // namespace xml

namespace {

class Win32Converter final : public CodePageConverter {
 public:
  uint32_t AnsiCodePage() const override { return GetACP(); }

  bool AppendUtf16(uint32_t codePage, const char* bytes, std::size_t size,
                   std::u16string& out) const override {
    if (size == 0) return true;
    if (size > 0x7FFFFFFF) return false;
    int inLength = static_cast<int>(size);
    std::size_t base = out.size();
    // Two passes: measure, then write into exactly that room.
    int need = MultiByteToWideChar(codePage, 0, bytes, inLength, nullptr, 0);
    if (need <= 0) return false;
    out.resize(base + static_cast<std::size_t>(need));
    int got = MultiByteToWideChar(codePage, 0, bytes, inLength,
                                  reinterpret_cast<wchar_t*>(out.data() + base), need);
    if (got <= 0) {
      out.resize(base);
      return false;
    }
    out.resize(base + static_cast<std::size_t>(got));
    return true;
  }
};

}  // namespace

const CodePageConverter& SystemCodePageConverter() {
  static const Win32Converter converter;
  return converter;
}
