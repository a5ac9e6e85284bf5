#include "client/shell/roze_dlg.h"

#include "client/res/resource.h"
#include "client/service/service_bases.h"
#include "client/service/session_id.h"
#include "client/shell/login_settings.h"
#include "client/shell/platform_win32.h"
#include "ui/message_box.h"
#include "ui/text.h"

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
  bigIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_APP_ICON), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_APP_ICON), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

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
  state.origin = kDefaultOrigin;

  FillLanguageList();
  ShowConfiguredSettings();
  // The update check and the login banner join here, then the automatic
  // login when the program was started with the system.
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
  // The language file relabels the dialog here, before the title is set.

  SetItemText(IDC_LOGIN_ACCOUNT, settings.userName);
  SetItemText(IDC_LOGIN_PASSWORD, settings.password);
  SetChecked(IDC_LOGIN_REMEMBER, settings.remember);
  if (settings.englishSelected) ui::ComboBox(Item(IDC_LOGIN_LANGUAGE)).Select(1);

  state.windowTitle = settings.windowTitle;
  SetTitle(state.windowTitle);
  state.origin = settings.origin;
}

bool RozeDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (id == IDC_LOGIN_REMEMBER && code == BN_CLICKED) {
    WriteConfigValue(app_.ini, u"remember", IsChecked(IDC_LOGIN_REMEMBER) ? u"1" : u"0", app_.state.configPath);
    return true;
  }
  return false;
}
