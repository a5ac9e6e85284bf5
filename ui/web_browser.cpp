#include "ui/web_browser.h"

#include <exdisp.h>
#include <oleauto.h>

#include "ui/text.h"

namespace ui {
namespace {

constexpr wchar_t kWebBrowserClassId[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// The ATL container of the system, loaded once from System32.
struct AtlHost {
  AtlAxGetControlFn getControl = nullptr;
  bool ready = false;

  AtlHost() {
    HMODULE atl = LoadLibraryExW(L"atl.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!atl) return;
    auto init = reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    getControl =
        reinterpret_cast<AtlAxGetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    ready = init && getControl && init();
  }
};

const AtlHost& Atl() {
  static const AtlHost host;
  return host;
}

}  // namespace

WebBrowser::~WebBrowser() {
  if (browser_) browser_->Release();
}

bool WebBrowser::Attach(HWND host) {
  if (container_ || !host || !Atl().ready) return container_ != nullptr;
  RECT area{};
  GetClientRect(host, &area);
  container_ = CreateWindowExW(0, L"AtlAxWin", kWebBrowserClassId, WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                               area.bottom, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!container_) return false;
  IUnknown* control = nullptr;
  if (SUCCEEDED(Atl().getControl(container_, &control)) && control) {
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
    control->Release();
  }
  return browser_ != nullptr;
}

bool WebBrowser::Navigate(const std::u16string& url) {
  if (!browser_) return false;
  BSTR address = SysAllocString(W(url));
  VARIANT empty;
  VariantInit(&empty);
  HRESULT result = browser_->Navigate(address, &empty, &empty, &empty, &empty);
  SysFreeString(address);
  return SUCCEEDED(result);
}

}  // namespace ui
