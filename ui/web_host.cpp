#include "ui/web_host.h"

#include <windows.h>

namespace ui {
namespace {

LRESULT CALLBACK WebHostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterWebHostClass() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &WebHostProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"LumetraWebHost";
  return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace ui
