#include "client/service/login.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "client/service/envelope.h"
#include "client/service/service_bases.h"
#include "client/shell/fake_platform.h"

namespace {

std::u16string Hex(const std::string& document) {
  std::string hex = netcore::EncipherToHex(document, "kt204719");
  return std::u16string(hex.begin(), hex.end());
}

std::u16string Envelope(const std::string& result, const std::string& remark, const std::string& more = "") {
  std::string doc = "<?xml version=\"1.0\" encoding=\"gb2312\"?><root><item><result>" + result +
                    "</result><remark>" + remark + "</remark>" + more + "</item></root>";
  return std::u16string(doc.begin(), doc.end());
}

// The service as the login sees it: answers by path, every request kept.
class LoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.appFolder = u"C:\\vpn";
    state.configPath = u"C:\\vpn\\conf\\config.ini";
    state.apiBase = kPrimaryApiBase;
    state.sessionId = u"SESSION1";
    ini.files[u"C:\\vpn\\conf\\version.ini"][u"versionid"] = u"311";
    answers[u"apiv3-getip.html"] = u"Y|127.0.0.1";
    answers[u"apiv3-loginV3.html"] = Hex(
        "<?xml version=\"1.0\"?><root><item><result>Y</result><remark>ok</remark><deskey2>abcdefgh</deskey2>"
        "<level>2</level></item></root>");
    answers[u"apiv3-jxpassV3.html"] = Envelope("Y", "", "<jxuser>u</jxuser>");
  }

  LoginOutcome Login(const std::u16string& user, const std::u16string& password, bool remember) {
    LoginPorts ports{
        [this](const std::u16string& url) {
          requests.push_back(url);
          std::u16string path = url.substr(url.find(u'/', 7) + 1);
          path = path.substr(0, path.find(u'?'));
          return answers[path];
        },
        [this](const std::u16string& text) { messages.push_back(text); }};
    return RunLogin(app, ports, {user, password, remember});
  }

  std::u16string Config(const std::u16string& key) { return ini.files[state.configPath][key]; }

  ClientState state;
  MemoryIniFiles ini;
  Utf8CodePage codePage;
  FakeDravik dravik;
  AppContext app{state, ini, {dravik, codePage}};
  std::map<std::u16string, std::u16string> answers;
  std::vector<std::u16string> requests;
  std::vector<std::u16string> messages;
};

TEST_F(LoginTest, SuccessKeepsTheAnswersAndTheSession) {
  EXPECT_EQ(Login(u"alice", u"PassWord", true), LoginOutcome::kLoggedIn);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(state.userName, u"alice");
  EXPECT_EQ(state.password, u"password");
  EXPECT_EQ(state.jxKey, u"abcdef");
  EXPECT_EQ(ReadItemField(state.loginAnswer, u"level"), u"2");
  EXPECT_EQ(ReadItemField(state.jxAnswer, u"jxuser"), u"u");
  EXPECT_EQ(state.apiBase, kPrimaryApiBase);
  EXPECT_EQ(Config(u"sessionid"), u"SESSION1");
  EXPECT_EQ(Config(u"username"), u"alice");
  EXPECT_EQ(Config(u"remember"), u"1");
  EXPECT_EQ(DecipherText(app.cipher, Config(u"password"), kFixedKey), u"password");
  ASSERT_EQ(requests.size(), 3u);  // no stored session: no session end first
  EXPECT_EQ(requests[1], std::u16string(kPrimaryApiBase) +
                             u"apiv3-loginV3.html?username=alice&password=password&sessionid=SESSION1&origin=0"
                             u"&verid=311&buildid=3011");
}

TEST_F(LoginTest, NotRememberingEmptiesThePasswordButKeepsTheUserName) {
  ini.files[state.configPath][u"username"] = u"earlier";
  ini.files[state.configPath][u"password"] = u"0011";
  Login(u"alice", u"x", false);
  EXPECT_EQ(Config(u"username"), u"earlier");
  EXPECT_EQ(Config(u"password"), u"");
  EXPECT_EQ(Config(u"remember"), u"0");
}

TEST_F(LoginTest, OnlyAsciiCapitalsAreLowered) {
  EXPECT_EQ(LowerAscii(u"AbZ9Ж@"), u"abz9Ж@");
}

TEST_F(LoginTest, TheStoredSessionIsEndedFirstOnEveryAttempt) {
  ini.files[state.configPath][u"sessionid"] = u"OLD";
  answers[u"apiv3-loginV3.html"] = Hex("<?xml version=\"1.0\"?><r><item><result>N</result><remark>no</remark></item></r>");
  Login(u"bob", u"p", false);
  Login(u"bob", u"p", false);
  ASSERT_EQ(requests.size(), 6u);
  for (std::size_t first : {0u, 3u})
    EXPECT_EQ(requests[first], std::u16string(kPrimaryApiBase) + u"ping.php?username=bob&sessionid=OLD&q=1");
  EXPECT_EQ(requests[2].find(u"sessionid=SESSION1"), requests[5].find(u"sessionid=SESSION1"));
}

TEST_F(LoginTest, AFailedProbeMovesTheRunToTheLoginServer) {
  for (std::u16string probe : {u"", u"y|1.2.3.4", u"<html>"}) {
    state.apiBase = kPrimaryApiBase;
    requests.clear();
    ini.files[state.configPath].erase(u"sessionid");
    answers[u"apiv3-getip.html"] = probe;
    EXPECT_EQ(Login(u"alice", u"p", false), LoginOutcome::kLoggedIn);
    EXPECT_EQ(state.apiBase, kLoginServerBase);
    EXPECT_EQ(requests[1].rfind(kLoginServerBase, 0), 0u) << "the login goes to the login server";
    EXPECT_EQ(requests[2].rfind(kLoginServerBase, 0), 0u);
  }
}

TEST_F(LoginTest, FailuresSayWhatTheUserNeedsToKnow) {
  struct Case {
    std::u16string loginAnswer;
    std::u16string credentials;
    LoginOutcome outcome;
    std::vector<std::u16string> messages;
  } cases[] = {
      {u"", u"", LoginOutcome::kUnreachable, {u"连接服务器失败"}},
      // Plain XML is not enciphered: it deciphers into garbage.
      {Envelope("Y", "ok"), u"", LoginOutcome::kUnreachable, {u"连接服务器失败"}},
      {Hex("<?xml version=\"1.0\"?><r><item><result>N</result><remark>Account expired</remark></item></r>"), u"",
       LoginOutcome::kRefused, {u"Account expired"}},
      {Hex("<?xml version=\"1.0\"?><r><item><result>y</result></item></r>"), u"", LoginOutcome::kUnexpectedResult, {}},
      {answers[u"apiv3-loginV3.html"], u"<html>busy</html>", LoginOutcome::kNoDialCredentials,
       {u"error:106,获取服务器信息失败"}},
  };
  for (const Case& c : cases) {
    messages.clear();
    state.loginAnswer.clear();
    answers[u"apiv3-loginV3.html"] = c.loginAnswer;
    answers[u"apiv3-jxpassV3.html"] = c.credentials;
    EXPECT_EQ(Login(u"alice", u"p", false), c.outcome);
    EXPECT_EQ(messages, c.messages);
    EXPECT_TRUE(state.jxAnswer.empty());
  }
  // The credential failure comes after the login was accepted.
  EXPECT_FALSE(state.loginAnswer.empty());
  EXPECT_EQ(Config(u"sessionid"), u"SESSION1");
}

TEST_F(LoginTest, AShortDeskeyIsTakenWhole) {
  answers[u"apiv3-loginV3.html"] =
      Hex("<?xml version=\"1.0\"?><r><item><result>Y</result><remark/><deskey2>abc</deskey2></item></r>");
  EXPECT_EQ(Login(u"a", u"p", false), LoginOutcome::kLoggedIn);
  EXPECT_EQ(state.jxKey, u"abc");
}

}  // namespace
