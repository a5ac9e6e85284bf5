// The login dialog (102): the first window and the application's main
// window for the whole run; after a login it is only hidden.
#pragma once

#include "client/service/web_page.h"
#include "client/shell/app_context.h"
#include "ui/dialog.h"
#include "ui/handle.h"

class RozeDlg final : public ui::Dialog {
 public:
  explicit RozeDlg(AppContext& app);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Start-up steps, in the order they run.
  bool RefuseSecondInstance();
  void AttachSkin();
  void LoadDravik();
  void FillLanguageList();
  void ShowConfiguredSettings();
  void StartUpdateCheck();
  void ShowBanner();

  void Login();
  void ChangeLanguage();
  void ApplyLanguage(const std::u16string& file);
  void PromptForUpdate();

  AppContext& app_;
  ui::UniqueHandle instanceMutex_;  // held for the whole run
  bool loggedIn_ = false;
  CWebPage banner_;
};
