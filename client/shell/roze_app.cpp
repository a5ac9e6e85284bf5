#include "client/shell/roze_app.h"

#include <commctrl.h>
#include <ole2.h>

#include "client/shell/roze_dlg.h"
#include "ui/ui_thread.h"
#include "ui/web_host.h"

RozeApp::RozeApp() : context_{state_, ini_, {dravik_, codePage_}} {}

bool RozeApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
  InitCommonControlsEx(&controls);
  // The web page controls are ActiveX controls on this thread.
  OleInitialize(nullptr);
  ui::AttachUiThread();
  ui::RegisterWebHostClass();

  {
    // The dialog and the controls it hosts go before OLE does.
    RozeDlg login(context_);
    login.RunModal(nullptr);
  }
  OleUninitialize();
  return false;
}
