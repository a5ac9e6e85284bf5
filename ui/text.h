// UTF-16 text at the Win32 boundary: portable code holds char16_t, Win32
// wants wchar_t; on Windows both are 16-bit and are cast, never converted.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string(); }
inline std::u16string U(std::wstring_view s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

// Text of any window, whatever its length.
std::u16string WindowText(HWND window);

}  // namespace ui
