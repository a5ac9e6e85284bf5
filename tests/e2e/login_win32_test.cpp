// Logging in against the local service, as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include "client/res/resource.h"
#include "tests/e2e/dev_service.h"
#include "tests/e2e/program_driver.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

class LoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(DevServiceGet("/__dev/reset").find("OK"), std::string::npos) << "the local service answers";
  }

  // Types the account and presses "登陆" without waiting for the answer.
  static void LogIn(HWND login, const wchar_t* user, const wchar_t* password) {
    SendMessageW(GetDlgItem(login, IDC_LOGIN_ACCOUNT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(user));
    SendMessageW(GetDlgItem(login, IDC_LOGIN_PASSWORD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password));
    PostMessageW(login, WM_COMMAND, MAKEWPARAM(IDC_LOGIN_LOGIN, BN_CLICKED), 0);
  }

  static bool LogContains(const std::string& text) { return DevServiceGet("/__dev/log").find(text) != std::string::npos; }
  static bool WaitForLog(const std::string& text) {
    for (int i = 0; i < 100 && !LogContains(text); ++i) Sleep(100);
    return LogContains(text);
  }

  // The main frame, once the login dialog has made way for it.
  static HWND WaitForMainFrame(const Program& program, HWND login) {
    for (int i = 0; i < 400 && IsWindowVisible(login); ++i) Sleep(50);
    if (IsWindowVisible(login)) return nullptr;
    return program.WaitForWindow(L"#32770", L"Lumetra v3.1.1", 10s);
  }

  Installation installation;
};

TEST_F(LoginTest, ARefusedLoginShowsTheServicesOwnWords) {
  Program program(installation);
  HWND login = program.WaitForDialog();
  ASSERT_NE(login, nullptr);
  LogIn(login, L"demo", L"wrong-password");
  Program::MessageBox box = program.WaitForMessageBox();
  EXPECT_EQ(box.text, L"用户名或密码错误");
  Answer(box, IDOK);
  EXPECT_TRUE(IsWindowVisible(login));
  // The banner asked for its page on the banner server.
  EXPECT_TRUE(WaitForLog("banner /main-logintopV2.html?ctype=public&origin=0"));
}

// The machine's Run value, restored when the test ends.
class RunValue {
 public:
  explicit RunValue(const std::wstring& path) {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    RegSetValueExW(key_, L"qarvo", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  }
  ~RunValue() {
    RegDeleteValueW(key_, L"qarvo");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
};

TEST_F(LoginTest, StartedWithTheSystemItLogsInWithTheRememberedAccount) {
  Configure(installation, L"username", L"demo");
  Configure(installation, L"password", Encipher(L"demo123"));
  Configure(installation, L"remember", L"1");
  {
    // A value for another place (the program was moved) starts nothing.
    RunValue moved(L"C:\\elsewhere\\vpn.exe");
    Program program(installation);
    HWND login = program.WaitForDialog();
    ASSERT_NE(login, nullptr);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(login));
    EXPECT_FALSE(LogContains("apiv3-loginV3.html"));
  }
  RunValue registered(installation.Path(L"vpn.exe"));
  Program program(installation);
  HWND frame = program.WaitForWindow(L"#32770", L"Lumetra v3.1.1", 20s);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(GetDlgItem(frame, IDC_LOGIN_BANNER), nullptr) << "the main frame, never the login dialog";
  Sleep(500);  // the modal loop shows its dialog once it is idle
  HWND login = FindWindowExW(nullptr, nullptr, L"#32770", L"Lumetra v3.1.1");
  while (login && (login == frame || !GetDlgItem(login, IDC_LOGIN_BANNER)))
    login = FindWindowExW(nullptr, login, L"#32770", L"Lumetra v3.1.1");
  ASSERT_NE(login, nullptr);
  EXPECT_FALSE(IsWindowVisible(login)) << "the login dialog stays hidden";
  EXPECT_TRUE(LogContains("apiv3-loginV3.html?username=demo&password=demo123"));
}

TEST_F(LoginTest, SuccessShowsTheMainFrameAndTheRememberedPasswordSurvivesARestart) {
  {
    Program program(installation);
    HWND login = program.WaitForDialog();
    ASSERT_NE(login, nullptr);
    Click(login, IDC_LOGIN_REMEMBER);
    LogIn(login, L"demo", L"DEMO123");  // capitals are lowered before sending
    HWND frame = WaitForMainFrame(program, login);
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(frame, login);
    EXPECT_FALSE(IsWindowVisible(login));
    EXPECT_TRUE(LogContains("apiv3-loginV3.html?username=demo&password=demo123"));
    EXPECT_TRUE(LogContains("apiv3-jxpassV3.html"));

    // Closing the frame asks first, then ends the session and the program.
    PostMessageW(frame, WM_CLOSE, 0, 0);
    Program::MessageBox box = program.WaitForMessageBox();
    EXPECT_EQ(box.text, L"退出程序将会断开连接，是否退出?");
    Answer(box, IDYES);
    EXPECT_TRUE(program.WaitForExit(10s));
    EXPECT_TRUE(LogContains("&q=1"));
  }
  Program again(installation);
  HWND login = again.WaitForDialog();
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(ItemText(login, IDC_LOGIN_ACCOUNT), L"demo");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_PASSWORD), L"demo123");
  EXPECT_TRUE(IsItemChecked(login, IDC_LOGIN_REMEMBER));
}

TEST_F(LoginTest, AFailedProbeSendsTheLoginToTheLoginServer) {
  DevServiceGet("/__dev/set?role=primary&path=apiv3-getip.html&mode=html");
  Program program(installation);
  HWND login = program.WaitForDialog();
  ASSERT_NE(login, nullptr);
  LogIn(login, L"demo", L"demo123");
  ASSERT_NE(WaitForMainFrame(program, login), nullptr);
  EXPECT_TRUE(LogContains("login /apiv3-loginV3.html"));
  EXPECT_FALSE(LogContains("primary /apiv3-loginV3.html"));
}

TEST_F(LoginTest, AnOfferedUpdateStartsTheUpdaterAndEndsTheProgram) {
  DevServiceGet("/__dev/set?role=update1&path=*&mode=html");
  DevServiceGet("/__dev/version?value=999");
  Program program(installation);
  Program::MessageBox box = program.WaitForMessageBox(20s);
  EXPECT_EQ(box.text, L"检测到软件有更新，点击确定开始更新");
  EXPECT_EQ(box.caption, L"更新提示");
  Answer(box, IDYES);
  EXPECT_TRUE(program.WaitForExit(10s));
  EXPECT_TRUE(LogContains("update2 /update3/version.php"));
  for (int i = 0; i < 50 && installation.ReadFile(L"update.ran").empty(); ++i) Sleep(100);
  EXPECT_FALSE(installation.ReadFile(L"update.ran").empty());
}

TEST_F(LoginTest, AMissingUpdaterIsReportedAndTheProgramGoesOn) {
  DevServiceGet("/__dev/version?value=999");
  installation.Remove(L"update.exe");
  Program program(installation);
  Program::MessageBox question = program.WaitForMessageBox(20s);
  ASSERT_EQ(question.text, L"检测到软件有更新，点击确定开始更新");
  Answer(question, IDYES);
  for (int i = 0; i < 50 && IsWindow(question.window); ++i) Sleep(100);
  Program::MessageBox failure = program.WaitForMessageBox();
  EXPECT_EQ(failure.text, L"无法启动更新程序update.exe");
  Answer(failure, IDOK);
  EXPECT_FALSE(program.WaitForExit(1s));
  EXPECT_NE(program.WaitForDialog(), nullptr);
}

TEST_F(LoginTest, EnglishRelabelsTheDialogAtOnce) {
  Program program(installation);
  HWND login = program.WaitForDialog();
  ASSERT_NE(login, nullptr);
  HWND languages = GetDlgItem(login, IDC_LOGIN_LANGUAGE);
  SendMessageW(languages, CB_SETCURSEL, 1, 0);
  SendMessageW(login, WM_COMMAND, MAKEWPARAM(IDC_LOGIN_LANGUAGE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(languages));
  EXPECT_EQ(TextOf(login), L"Lumetra Accelerator");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_LOGIN), L"Log in");
  EXPECT_NE(installation.ReadFile(L"conf\\config.ini").find("language=en"), std::string::npos);
}

}  // namespace
}  // namespace e2e
