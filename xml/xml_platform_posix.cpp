// Native file access and code page conversion: POSIX files, iconv.
#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "xml/code_page.h"
#include "xml/xml_platform.h"

namespace xml {
namespace {

std::string Utf8Path(const std::u16string& path) {
  std::string out;
  for (std::size_t i = 0; i < path.size(); ++i) {
    uint32_t c = path[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (path[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool ReadOnlyFile::Open(const std::u16string& path) {
  int fd = ::open(Utf8Path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error_ = static_cast<uint32_t>(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error_ = EISDIR;
    return false;
  }
  handle_ = fd;
  return true;
}

bool ReadOnlyFile::Size(uint64_t& size) {
  struct stat st;
  if (::fstat(static_cast<int>(handle_), &st) != 0) {
    error_ = static_cast<uint32_t>(errno);
    return false;
  }
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

bool ReadOnlyFile::Read(void* buffer, std::size_t size) {
  auto* p = static_cast<char*>(buffer);
  while (size > 0) {
    ssize_t n = ::read(static_cast<int>(handle_), p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? static_cast<uint32_t>(errno) : static_cast<uint32_t>(EIO);
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadOnlyFile::Close() {
  int fd = static_cast<int>(handle_);
  handle_ = -1;
  if (fd >= 0 && ::close(fd) != 0) {
    error_ = static_cast<uint32_t>(errno);
    return false;
  }
  return true;
}

std::u16string SystemErrorText(uint32_t code) {
  char buffer[256];
  const char* text = buffer;
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
  text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
#else
  if (strerror_r(static_cast<int>(code), buffer, sizeof buffer) != 0) buffer[0] = 0;
#endif
  std::u16string out;
  for (const char* p = text; *p; ++p) out.push_back(static_cast<unsigned char>(*p));
  return out;
}

}  // namespace xml

namespace {

// iconv's name for a Windows code page, or nullptr.
const char* IconvName(uint32_t codePage, char* buffer, std::size_t size) {
  switch (codePage) {
    case 65001: return "UTF-8";
    case 65000: return "UTF-7";
    case 20127: return "ASCII";
    case 54936: return "GB18030";
    case 52936: return "HZ";  // not in every iconv; a failure gives empty text
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 51932: return "EUC-JP";
    case 51936: return "EUC-CN";
    case 51949: return "EUC-KR";
    case 50220: case 50221: return "ISO-2022-JP";
    case 50225: return "ISO-2022-KR";
    case 10000: return "MACINTOSH";
    case 1361: return "JOHAB";
    case 38598: return "ISO-8859-8";
    case 28603: return "ISO-8859-13";
    case 28605: return "ISO-8859-15";
    default: break;
  }
  if (codePage >= 28591 && codePage <= 28599) {
    snprintf(buffer, size, "ISO-8859-%u", codePage - 28590);
  } else if (codePage >= 20000 && codePage < 21000) {
    snprintf(buffer, size, "IBM%03u", codePage - 20000);
  } else {
    snprintf(buffer, size, "CP%u", codePage);
  }
  return buffer;
}

class IconvConverter final : public CodePageConverter {
 public:
  IconvConverter() {
    // Mirrors how Wine picks the ANSI code page from the locale.
    const char* lang = std::getenv("LC_ALL");
    if (!lang || !*lang) lang = std::getenv("LANG");
    std::string l = lang ? lang : "";
    if (l.rfind("zh_CN", 0) == 0 || l.rfind("zh_SG", 0) == 0) ansi_ = 936;
    else if (l.rfind("zh_TW", 0) == 0 || l.rfind("zh_HK", 0) == 0) ansi_ = 950;
    else if (l.rfind("ja", 0) == 0) ansi_ = 932;
    else if (l.rfind("ko", 0) == 0) ansi_ = 949;
  }
  ~IconvConverter() override {
    for (auto& [cp, cd] : open_) {
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  }

  uint32_t AnsiCodePage() const override { return ansi_; }

  bool AppendUtf16(uint32_t codePage, const char* bytes, std::size_t size,
                   std::u16string& out) const override {
    if (codePage == kCodePageAnsi) codePage = ansi_;
    std::lock_guard<std::mutex> lock(mutex_);
    iconv_t cd = Descriptor(codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::size_t base = out.size();
    out.resize(base + size + 16);
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = size;
    std::size_t written = base;
    while (true) {
      char* dst = reinterpret_cast<char*>(out.data() + written);
      std::size_t outLeft = (out.size() - written) * sizeof(char16_t);
      std::size_t before = outLeft;
      std::size_t r = iconv(cd, inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr, &dst, &outLeft);
      written += (before - outLeft) / sizeof(char16_t);
      if (r != static_cast<std::size_t>(-1)) {
        if (inLeft == 0) break;
        continue;
      }
      if (errno == E2BIG) {
        out.resize(out.size() + inLeft + 16);
        continue;
      }
      // An invalid or cut sequence: one replacement character for its first
      // byte, as the Windows conversion does by default.
      if (written == out.size()) out.resize(out.size() + 16);
      out[written++] = 0xFFFD;
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (inLeft == 0) break;
    }
    out.resize(written);
    return true;
  }

 private:
  iconv_t Descriptor(uint32_t codePage) const {
    auto it = open_.find(codePage);
    if (it != open_.end()) return it->second;
    char buffer[32];
    const char* name = IconvName(codePage, buffer, sizeof buffer);
    iconv_t cd = iconv_open("UTF-16LE", name);
    open_.emplace(codePage, cd);
    return cd;
  }

  uint32_t ansi_ = 1252;
  mutable std::mutex mutex_;
  mutable std::unordered_map<uint32_t, iconv_t> open_;
};

}  // namespace

const CodePageConverter& SystemCodePageConverter() {
  static const IconvConverter converter;
  return converter;
}
