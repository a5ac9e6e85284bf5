#include "client/shell/roze_dlg.h"

#include <shellapi.h>

#include "client/res/resource.h"
#include "client/service/login.h"
#include "client/service/service_api.h"
#include "client/service/service_bases.h"
#include "client/service/session_id.h"
#include "client/service/transport.h"
#include "client/settings/start_with_system_win32.h"
#include "client/shell/language.h"
#include "client/shell/login_settings.h"
#include "client/shell/platform_win32.h"
#include "client/shell/table_dlg.h"
#include "client/shell/update_check.h"
#include "ui/message_box.h"
#include "ui/text.h"
#include "ui/ui_thread.h"

namespace {

constexpr wchar_t kInstanceMutex[] = L"qarvo";

bool FileExists(const std::u16string& path) {
  DWORD attributes = GetFileAttributesW(ui::W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

RozeDlg::RozeDlg(AppContext& app) : ui::Dialog(IDD_LOGIN), app_(app) {}

bool RozeDlg::OnInit() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto bigIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_APP_ICON), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  auto smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_APP_ICON), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

  if (RefuseSecondInstance()) return false;

  ClientState& state = app_.state;
  // Our own libraries load from the program folder by full path only.
  state.appFolder = FolderOfProgram(ProgramPath());
  state.configPath = ConfigPathOf(state.appFolder);

  AttachSkin();
  LoadDravik();
  // The tray icon joins here.

  state.apiBase = kPrimaryApiBase;
  state.sessionId = MakeSessionId();

  FillLanguageList();
  ShowConfiguredSettings();
  StartUpdateCheck();
  ShowBanner();

  // Started with the system: log in at once, before the dialog is painted.
  if (IsStartWithSystem(kRunValueName)) Login();
  return true;
}

bool RozeDlg::RefuseSecondInstance() {
  instanceMutex_.Reset(CreateMutexW(nullptr, FALSE, kInstanceMutex));
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  instanceMutex_.Reset();
  ui::Inform(Window(), u"程序已经运行！");
  End(IDCANCEL);
  return true;
}

void RozeDlg::AttachSkin() {
  // The skinning library is optional: without it the windows keep the
  // system's look, and nothing is said.
  const std::u16string path = app_.state.appFolder + u"\\SkinH.dll";
  if (!FileExists(path)) return;
  HMODULE skin = LoadLibraryW(ui::W(path));
  if (!skin) return;
  using AttachFn = int(WINAPI*)();
  auto attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(skin, "SkinH_Attach")));
  if (attach) attach();
}

void RozeDlg::LoadDravik() {
  const std::u16string path = app_.state.appFolder + u"\\dravik.dll";
  app_.state.dravikModule = LoadLibraryW(ui::W(path));
  if (!app_.state.dravikModule) ui::Inform(Window(), u"dravik.dll加载失败");
}

void RozeDlg::FillLanguageList() {
  ui::ComboBox languages(Item(IDC_LOGIN_LANGUAGE));
  languages.Add(u"简体中文");
  languages.Add(u"English");
  languages.Select(0);
}

void RozeDlg::ShowConfiguredSettings() {
  ClientState& state = app_.state;
  LoginDialogSettings settings = ReadLoginDialogSettings(app_.ini, app_.cipher, state.configPath);
  state.languagePath = LanguageFilePath(state.appFolder, settings.language);
  // Before the title: the configured title wins over the file's.
  ApplyLanguage(state.languagePath);

  SetItemText(IDC_LOGIN_ACCOUNT, settings.userName);
  SetItemText(IDC_LOGIN_PASSWORD, settings.password);
  SetChecked(IDC_LOGIN_REMEMBER, settings.remember);
  if (settings.englishSelected) ui::ComboBox(Item(IDC_LOGIN_LANGUAGE)).Select(1);

  state.windowTitle = settings.windowTitle;
  SetTitle(state.windowTitle);
  state.origin = settings.origin;
}

void RozeDlg::StartUpdateCheck() {
  StartTimer(IDT_UPDATE_PROMPT, 300);
  ClientState* state = &app_.state;
  ui::StartWorker([state] {
    // Its own INI reader: the worker shares nothing with the UI thread but
    // the flag it sets.
    ProfileIniFiles ini;
    auto fetch = [](const std::u16string& url) { return FetchUrlText(url, false); };
    if (NewerVersionOffered(fetch, ini, state->appFolder)) state->updateAvailable = 1;
  });
}

void RozeDlg::ShowBanner() {
  banner_.Create(Window(), IDC_LOGIN_BANNER);
  banner_.Navigate(FormatRequest(endpoint::kLoginBanner, kBannerBase, {app_.state.origin}, app_.cipher.codePage));
}

void RozeDlg::OnTimer(UINT_PTR id) {
  if (id == IDT_UPDATE_PROMPT && app_.state.updateAvailable == 1) {
    StopTimer(IDT_UPDATE_PROMPT);
    PromptForUpdate();
  }
}

void RozeDlg::PromptForUpdate() {
  if (!ui::AskYesNo(Window(), u"检测到软件有更新，点击确定开始更新", u"更新提示")) return;
  const std::u16string updater = app_.state.appFolder + u"\\update.exe";
  auto started = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, ui::W(updater), nullptr, nullptr, SW_SHOWNORMAL));
  if (started <= 32) {
    ui::Inform(Window(), u"无法启动更新程序update.exe");
    return;
  }
  PostMessageW(Window(), WM_CLOSE, 0, 0);
}

bool RozeDlg::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam, LRESULT& /*result*/) {
  // After a login the dialog stays hidden for good, also when the modal loop
  // would show it for the first time (a login during start-up). The default
  // handling still runs.
  if (message == WM_WINDOWPOSCHANGING && loggedIn_) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
  return false;
}

bool RozeDlg::OnCommand(int id, int code, HWND /*control*/) {
  switch (id) {
    case IDC_LOGIN_LOGIN:
      Login();
      return true;
    case IDC_LOGIN_REMEMBER:
      if (code != BN_CLICKED) return false;
      WriteConfigValue(app_.ini, u"remember", IsChecked(IDC_LOGIN_REMEMBER) ? u"1" : u"0", app_.state.configPath);
      return true;
    case IDC_LOGIN_LANGUAGE:
      if (code != CBN_SELCHANGE) return false;
      ChangeLanguage();
      return true;
    default:
      return false;
  }
}

void RozeDlg::Login() {
  HWND window = Window();
  LoginPorts ports{[](const std::u16string& url) { return FetchUrlText(url, false); },
                   [window](const std::u16string& text) { ui::Inform(window, text); }};
  LoginInput input{ItemText(IDC_LOGIN_ACCOUNT), ItemText(IDC_LOGIN_PASSWORD), IsChecked(IDC_LOGIN_REMEMBER)};
  if (RunLogin(app_, ports, input) != LoginOutcome::kLoggedIn) return;

  loggedIn_ = true;
  auto* frame = new CTableDlg(app_, window);
  if (!frame->Create(window)) {
    delete frame;
    return;
  }
  app_.state.mainFrame = frame;
  app_.state.mainFrameWindow = frame->Window();
  ShowWindow(frame->Window(), SW_SHOWNORMAL);
  ShowWindow(window, SW_HIDE);
}

void RozeDlg::ChangeLanguage() {
  LanguageChoice choice =
      LanguageForSelection(ui::ComboBox(Item(IDC_LOGIN_LANGUAGE)).Selected(), app_.state.appFolder);
  WriteConfigValue(app_.ini, u"language", choice.value, app_.state.configPath);
  ApplyLanguage(choice.file);
}

void RozeDlg::ApplyLanguage(const std::u16string& file) {
  std::u16string title = ReadLanguageText(app_.ini, file, LanguageTitleKey());
  if (!title.empty()) SetTitle(title);
  for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::u16string text = ReadLanguageText(app_.ini, file, LanguageControlKey(GetDlgCtrlID(child)));
    if (!text.empty()) SetWindowTextW(child, ui::W(text));
  }
}
