// The main frame (130): shown after a login, owned by the login dialog,
// with its own taskbar button. Closing it ends the session and the program.
#pragma once

#include "client/shell/app_context.h"
#include "ui/dialog.h"

class CTableDlg final : public ui::Dialog {
 public:
  CTableDlg(AppContext& app, HWND loginDialog);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  // Enter and Esc close nothing here.
  void OnOk() override {}
  void OnCancel() override {}
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnDestroyed() override;

 private:
  void Close();

  AppContext& app_;
  HWND loginDialog_;
};
