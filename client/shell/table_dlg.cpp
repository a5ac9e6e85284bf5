#include "client/shell/table_dlg.h"

#include "client/res/resource.h"
#include "client/service/service_api.h"
#include "client/service/transport.h"
#include "client/shell/platform_win32.h"
#include "ui/message_box.h"

CTableDlg::CTableDlg(AppContext& app, HWND loginDialog)
    : ui::Dialog(IDD_MAIN_FRAME), app_(app), loginDialog_(loginDialog) {}

bool CTableDlg::OnInit() {
  SetTitle(app_.state.windowTitle);
  // The pages and their tab buttons come with the acceleration page; until
  // then only the acceleration tab, minimise and close are shown.
  ShowItem(IDC_FRAME_RECHARGE, false);
  ShowItem(IDC_FRAME_FAQ, false);
  return true;
}

bool CTableDlg::OnCommand(int id, int /*code*/, HWND /*control*/) {
  switch (id) {
    case IDC_FRAME_MINIMISE:
      ShowWindow(Window(), SW_HIDE);
      return true;
    case IDC_FRAME_CLOSE:
      Close();
      return true;
    default:
      return false;
  }
}

bool CTableDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {  // minimising hides the frame
        ShowWindow(Window(), SW_HIDE);
        return true;
      }
      return false;
    case WM_MOUSEMOVE:  // the borderless frame moves when dragged anywhere
      if (wParam == MK_LBUTTON) {
        ReleaseCapture();
        SendMessageW(Window(), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CTableDlg::Close() {
  if (!ui::AskYesNo(Window(), u"退出程序将会断开连接，是否退出?", u"提示")) return;
  ShowWindow(Window(), SW_HIDE);
  ClientState& state = app_.state;
  FetchUrlText(FormatRequest(endpoint::kSessionEnd, state.apiBase, {state.userName, state.sessionId},
                             app_.cipher.codePage),
               false);
  // Destroying the frame deletes this object: keep what is needed after it.
  HWND loginDialog = loginDialog_;
  DestroyWindow(Window());
  // The login dialog is the application's main window: ending it ends the run.
  DestroyWindow(loginDialog);
}

void CTableDlg::OnDestroyed() {
  app_.state.mainFrameWindow = nullptr;
  app_.state.mainFrame = nullptr;
  delete this;
}
