// Start-up of vpn.exe in a throwaway installation, watched from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include "client/res/resource.h"
#include "tests/e2e/program_driver.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

TEST(Startup, FreshInstallationShowsTheDefaults) {
  Installation installation;
  Program program(installation);
  HWND login = program.WaitForDialog();
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(TextOf(login), L"Lumetra v3.1.1");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_ACCOUNT), L"");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_PASSWORD), L"");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_LANGUAGE), L"简体中文");
  EXPECT_FALSE(IsItemChecked(login, IDC_LOGIN_REMEMBER));
  EXPECT_EQ(ItemText(login, IDC_LOGIN_LOGIN), L"登陆");

  // Closing the login dialog ends the process.
  PostMessageW(login, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(10s));
}

TEST(Startup, ShowsTheRememberedAccountAndTheDistributorsTitle) {
  Installation installation;
  Configure(installation, L"username", L"alice");
  Configure(installation, L"password", Encipher(L"pass word"));
  Configure(installation, L"remember", L"1");
  Configure(installation, L"language", L"en");
  Configure(installation, L"title", Encipher(L"__极速__加速器"));
  Program program(installation);
  HWND login = program.WaitForDialog();
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(TextOf(login), L"极速加速器");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_ACCOUNT), L"alice");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_PASSWORD), L"pass word");
  EXPECT_TRUE(IsItemChecked(login, IDC_LOGIN_REMEMBER));
  EXPECT_EQ(ItemText(login, IDC_LOGIN_LANGUAGE), L"English");

  // "记住密码" is written at once, each way.
  Click(login, IDC_LOGIN_REMEMBER);
  EXPECT_EQ(installation.ReadFile(L"conf\\config.ini").find("remember=1"), std::string::npos);
  EXPECT_NE(installation.ReadFile(L"conf\\config.ini").find("remember=0"), std::string::npos);
  Click(login, IDC_LOGIN_REMEMBER);
  EXPECT_NE(installation.ReadFile(L"conf\\config.ini").find("remember=1"), std::string::npos);
}

TEST(Startup, ASecondInstanceSaysSoAndTouchesNoFile) {
  Installation installation;
  Configure(installation, L"username", L"alice");
  Program first(installation);
  ASSERT_NE(first.WaitForDialog(), nullptr);
  const std::string configBefore = installation.ReadFile(L"conf\\config.ini");

  installation.Remove(L"conf\\config.ini");  // any read or write would now show
  Program second(installation);
  Program::MessageBox box = second.WaitForMessageBox();
  EXPECT_EQ(box.text, L"程序已经运行！");
  EXPECT_EQ(box.caption, L"提示");
  Answer(box, IDOK);
  EXPECT_TRUE(second.WaitForExit(10s));
  EXPECT_EQ(installation.ReadFile(L"conf\\config.ini"), "");
  EXPECT_EQ(GetFileAttributesW(installation.Path(L"conf\\config.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(first.Running());
  EXPECT_FALSE(configBefore.empty());
}

TEST(Startup, WithoutDravikTheDialogStillComesWithAnEmptyPassword) {
  Installation installation;
  Configure(installation, L"password", Encipher(L"secret"));
  Configure(installation, L"remember", L"1");
  Configure(installation, L"title", Encipher(L"__Mine"));
  installation.Remove(L"dravik.dll");
  Program program(installation);
  Program::MessageBox box = program.WaitForMessageBox();
  EXPECT_EQ(box.text, L"dravik.dll加载失败");
  Answer(box, IDOK);
  HWND login = program.WaitForDialog();
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(TextOf(login), L"Lumetra v3.1.1");
  EXPECT_EQ(ItemText(login, IDC_LOGIN_PASSWORD), L"");
  EXPECT_TRUE(IsItemChecked(login, IDC_LOGIN_REMEMBER));
}

TEST(Startup, ALibraryPlantedInTheCurrentFolderIsNeverLoaded) {
  Installation installation;
  Installation planted;  // another full copy; its dravik.dll waits in the current folder
  installation.Remove(L"dravik.dll");
  Program program(installation, planted.Folder());
  Program::MessageBox box = program.WaitForMessageBox();
  EXPECT_EQ(box.text, L"dravik.dll加载失败");
  Answer(box, IDOK);
  EXPECT_NE(program.WaitForDialog(), nullptr);
}

}  // namespace
}  // namespace e2e
