// CWebPage: one of the service's web pages shown inside a dialog, in the
// dialog's web host control with the given identifier.
#pragma once

#include <windows.h>

#include <string>

#include "ui/web_browser.h"

class CWebPage {
 public:
  // Binds to the dialog's control; without a browser on the platform the
  // control simply stays empty.
  bool Create(HWND dialog, int controlId) { return browser_.Attach(GetDlgItem(dialog, controlId)); }
  // No flags, target frame, post data or headers.
  void Navigate(const std::u16string& url) { browser_.Navigate(url); }

 private:
  ui::WebBrowser browser_;
};
