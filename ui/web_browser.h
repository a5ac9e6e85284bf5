// The web browser ActiveX control, hosted through the system's ATL container
// window inside one of our LumetraWebHost controls. The program only tells
// it where to go; what the page does stays inside the control.
#pragma once

#include <windows.h>

#include <string>

struct IWebBrowser2;

namespace ui {

class WebBrowser {
 public:
  WebBrowser() = default;
  ~WebBrowser();
  WebBrowser(const WebBrowser&) = delete;
  WebBrowser& operator=(const WebBrowser&) = delete;

  // Creates the control filling `host`; false when the platform has none
  // (the host then stays an empty white area).
  bool Attach(HWND host);
  // Loads an address; false when no control is attached or it refused.
  bool Navigate(const std::u16string& url);

 private:
  HWND container_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
};

}  // namespace ui
