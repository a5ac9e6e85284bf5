#include "devservice/service.h"
#include "devservice/text.h"
#include "netcore/cipher.h"

#include <gtest/gtest.h>

#include <random>

namespace devservice {
namespace {

// 2025-01-10 12:00:00 UTC.
constexpr long long kNow = 1736510400;

ServiceData TestData() {
  ServiceData data;
  data.accounts = {{"demo", "demo123", 1, 2, "2030-12-31"},
                   {"single", "single123", 1, 1, "2030-12-31"},
                   {"old", "old12345", 1, 1, "2025-01-09"},
                   {"caps", "Caps1234", 2, 1, "2030-12-31"},
                   {"测试用户", "ceshi123", 2, 1, "2025-01-10"}};
  data.cards = {{"D1", "p", "day1"}, {"M1", "p", "1"}, {"Y1", "p", "nian1"}, {"Q1", "p", "jidu1"}};
  data.servers = {{"美国", "美国洛杉矶01", "127.0.0.11", "", "0", "1", "1", "1", "1", "35", "2024-03-15"},
                  {"香港", "香港<HK>&01", "127.0.0.31", "jx_hk", "1", "1", "0", "0", "2", "0", "2024-02-29"}};
  data.dialIns = {{"jx_hk", "港线88"}, {"jx_us", "us-pass"}};
  data.version = "105";
  return data;
}

// Fields of the last item of a document, as UTF-8.
std::string Field(const std::string& utf8Xml, const std::string& name) {
  std::size_t item = utf8Xml.rfind("<item>");
  if (item == std::string::npos) return "<no item>";
  std::size_t open = utf8Xml.find("<" + name + ">", item);
  if (open == std::string::npos) return "<no " + name + ">";
  open += name.size() + 2;
  return utf8Xml.substr(open, utf8Xml.find("</" + name + ">", open) - open);
}

class ServiceTest : public ::testing::Test {
 protected:
  ServiceTest() : service_(TestData(), 42) {}

  Answer Get(Role role, const std::string& target, long long now = kNow) {
    return service_.Handle(Request{role, target, "127.0.0.1", now});
  }
  Answer Api(const std::string& target, long long now = kNow) { return Get(Role::kPrimary, target, now); }
  Answer Control(const std::string& target) { return Get(Role::kPrimary, "/__dev/" + target); }

  // The login answer deciphered as the client does, then read as UTF-8.
  std::string Login(const std::string& user, const std::string& password, const std::string& session,
                    long long now = kNow) {
    Answer answer = Api("/apiv3-loginV3.html?username=" + user + "&password=" + password + "&sessionid=" + session +
                            "&origin=lumetra&verid=105&buildid=3011",
                        now);
    lastLoginBytes_ = netcore::DecipherFromHex(answer.body, kLoginKey);
    return GbkToUtf8(lastLoginBytes_);
  }

  DevService service_;
  std::string lastLoginBytes_;
};

TEST_F(ServiceTest, ProbeAnswersYesWithTheCallersAddress) {
  Answer answer = service_.Handle(Request{Role::kLogin, "/apiv3-getip.html?sessionid=S1", "127.0.0.77", kNow});
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body, "Y|127.0.0.77");
}

TEST_F(ServiceTest, LoginOutcomes) {
  struct Case {
    std::string user, password, result, remark, level, expire;
  };
  const Case cases[] = {
      {"demo", "demo123", "Y", "登录成功", "1", "2030-12-31"},
      // The client lower-cases what it sends; a mixed-case password still matches.
      {"caps", "caps1234", "Y", "登录成功", "2", "2030-12-31"},
      // The last day of service still logs in; the day after does not.
      {"%B2%E2%CA%D4%D3%C3%BB%A7", "ceshi123", "Y", "登录成功", "2", "2025-01-10"},
      {"demo", "wrong", "N", "用户名或密码错误", "", ""},
      {"nobody", "demo123", "N", "用户名或密码错误", "", ""},
      {"", "", "N", "用户名或密码错误", "", ""},
      {"old", "old12345", "N", "您的账号已于2025-01-09到期，请充值续费", "", ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string doc = Login(c.user, c.password, "SESSION" + std::to_string(n++));
    SCOPED_TRACE(c.user + "/" + c.password);
    EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0), 0u) << doc;
    EXPECT_LE(lastLoginBytes_.size(), kMaxLoginDocumentBytes);
    EXPECT_EQ(Field(doc, "result"), c.result);
    EXPECT_EQ(Field(doc, "remark"), c.remark);
    if (c.result == "Y") {
      EXPECT_EQ(Field(doc, "level"), c.level);
      EXPECT_EQ(Field(doc, "expiredate"), c.expire);
      EXPECT_GE(Field(doc, "deskey2").size(), 6u);
      EXPECT_NE(Field(doc, "maxonline").find_first_of("0123456789"), std::string::npos);
    }
  }
  // The remark travels as code page 936 bytes inside the cipher.
  Login("demo", "wrong", "X");
  EXPECT_NE(lastLoginBytes_.find(Utf8ToGbk("用户名或密码错误")), std::string::npos);
  // Without a session identifier there is nothing to log in to.
  EXPECT_EQ(Field(Login("demo", "demo123", ""), "result"), "N");
}

TEST_F(ServiceTest, MaxOnlineCountsOpenSessionsUntilEndedOrIdle) {
  EXPECT_EQ(Field(Login("single", "single123", "A"), "result"), "Y");
  // Logging in again under the same session is the same seat.
  EXPECT_EQ(Field(Login("single", "single123", "A"), "result"), "Y");
  std::string refused = Login("single", "single123", "B");
  EXPECT_EQ(Field(refused, "result"), "N");
  EXPECT_EQ(Field(refused, "remark"), "该账号在线数已达上限(1)，请稍后再试");

  EXPECT_EQ(Api("/ping.php?username=single&sessionid=A&q=1").kind, "session-end");
  EXPECT_EQ(Field(Login("single", "single123", "B"), "result"), "Y");

  // A session that stopped sending heartbeats frees its seat after a while.
  const long long later = kNow + kSessionIdleSeconds + 1;
  EXPECT_EQ(Field(Login("single", "single123", "C", kNow + 30), "result"), "N");
  EXPECT_EQ(Field(Login("single", "single123", "C", later), "result"), "Y");
  // demo may be online twice.
  EXPECT_EQ(Field(Login("demo", "demo123", "D1"), "result"), "Y");
  EXPECT_EQ(Field(Login("demo", "demo123", "D2"), "result"), "Y");
  EXPECT_EQ(Field(Login("demo", "demo123", "D3"), "result"), "N");
}

TEST_F(ServiceTest, JxPassIsEncipheredUnderTheSessionsKey) {
  std::string doc = Login("demo", "demo123", "S1");
  const std::string key = Field(doc, "deskey2").substr(0, 6);

  Answer answer = Api("/apiv3-jxpassV3.html?sessionid=S1");
  EXPECT_EQ(answer.kind, "jxpass");
  EXPECT_EQ(answer.contentType, "text/xml; charset=gbk");
  const std::string xml = GbkToUtf8(answer.body);
  ASSERT_EQ(xml.rfind("<?xml", 0), 0u);
  // Each item holds jxuser, then jxpass: the client reads them in that order.
  std::size_t first = xml.find("<item><jxuser>jx_hk</jxuser><jxpass>");
  ASSERT_NE(first, std::string::npos) << xml;
  std::size_t hexStart = first + std::string("<item><jxuser>jx_hk</jxuser><jxpass>").size();
  std::string hex = xml.substr(hexStart, xml.find('<', hexStart) - hexStart);
  EXPECT_EQ(netcore::DecipherFromHex(hex, key), Utf8ToGbk("港线88"));
  EXPECT_EQ(Field(xml, "jxuser"), "jx_us");
  EXPECT_EQ(netcore::DecipherFromHex(Field(xml, "jxpass"), key), "us-pass");

  // Another login gets another key: the same password enciphers differently.
  std::string other = Login("demo", "demo123", "S2");
  EXPECT_NE(Field(other, "deskey2").substr(0, 6), key);

  for (const char* session : {"nobody", ""}) {
    Answer refused = Api(std::string("/apiv3-jxpassV3.html?sessionid=") + session);
    EXPECT_EQ(Field(GbkToUtf8(refused.body), "result"), "N");
    EXPECT_EQ(refused.kind, "jxpass-refused");
  }
  Api("/ping.php?username=demo&sessionid=S1&q=1");
  EXPECT_EQ(Api("/apiv3-jxpassV3.html?sessionid=S1").kind, "jxpass-refused");
}

TEST_F(ServiceTest, HeartbeatsAndSessionEndsAreRecorded) {
  Login("demo", "demo123", "S1");
  EXPECT_EQ(Api("/ping.php?username=demo&sessionid=S1&nasname=", kNow + 10).kind, "heartbeat");
  EXPECT_EQ(Api("/ping.php?username=demo&sessionid=S1&nasname=127.0.0.31", kNow + 20).kind, "heartbeat");
  auto session = service_.FindSession("S1");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->heartbeats, 2);
  EXPECT_EQ(session->nasName, "127.0.0.31");
  EXPECT_EQ(session->lastSeen, kNow + 20);
  EXPECT_FALSE(session->ended);

  EXPECT_EQ(Api("/ping.php?username=demo&sessionid=S1&q=1").kind, "session-end");
  EXPECT_TRUE(service_.FindSession("S1")->ended);
  EXPECT_EQ(Api("/ping.php?username=demo&sessionid=S1&nasname=").kind, "heartbeat-ended");
  EXPECT_EQ(Api("/ping.php?username=demo&sessionid=ZZ&nasname=").kind, "heartbeat-unknown");
  EXPECT_EQ(Api("/ping.php?username=demo&sessionid=ZZ&q=1").kind, "session-end-unknown");
}

TEST_F(ServiceTest, ServerListHoldsEveryFieldInTheClientsOrder) {
  Answer answer = Api("/apiv3-serverlistV3.html");
  EXPECT_EQ(answer.kind, "serverlist");
  // Sent in code page 936, as declared.
  EXPECT_NE(answer.body.find(Utf8ToGbk("<area>美国</area>")), std::string::npos);
  const std::string xml = GbkToUtf8(answer.body);
  EXPECT_NE(xml.find("<item><area>香港</area><description>香港&lt;HK&gt;&amp;01</description>"
                     "<nasname>127.0.0.31</nasname><jxuer>jx_hk</jxuer><nasfrom>1</nasfrom><pptp>1</pptp>"
                     "<l2tp>0</l2tp><openvpn>0</openvpn><level>2</level><online>0</online>"
                     "<date>2024-02-29</date></item>"),
            std::string::npos)
      << xml;
}

TEST_F(ServiceTest, RegistrationChecksAndCreatesAnAccount) {
  struct Case {
    std::string query, remark;
  };
  const Case refusals[] = {
      {"level=1&username=ab&password=secret1&email=a@b.c", "请输入3-15位之间的数字或字符"},
      {"level=1&username=abcdefghijklmnop&password=secret1&email=a@b.c", "请输入3-15位之间的数字或字符"},
      {"level=1&username=demo&password=secret1&email=a@b.c", "该用户名已被注册，请换一个用户名"},
      {"level=1&username=newuser&password=12345&email=a@b.c", "密码不能低于6位"},
      {"level=1&username=newuser&password=secret1&email=", "email不能为空"},
      {"level=1&username=newuser&password=secret1&email=nomail", "email格式不正确"},
      {"level=9&username=newuser&password=secret1&email=a@b.c", "会员类型错误"},
  };
  for (const Case& c : refusals) {
    Answer answer = Api("/apiv3-clientRegV3.html?origin=x&" + c.query);
    const std::string xml = GbkToUtf8(answer.body);
    EXPECT_EQ(Field(xml, "result"), "N") << c.query;
    EXPECT_EQ(Field(xml, "remark"), c.remark) << c.query;
    EXPECT_EQ(answer.kind, "register-refused");
  }
  EXPECT_FALSE(service_.FindAccount("newuser"));

  // Three Chinese characters are a valid name; the password is kept as typed.
  Answer ok = Api("/apiv3-clientRegV3.html?level=1&origin=x&username=%D0%C2%D3%C3%BB%A7&password=NewPass1&email=a@b.c");
  EXPECT_EQ(Field(GbkToUtf8(ok.body), "result"), "Y");
  EXPECT_EQ(Field(GbkToUtf8(ok.body), "remark"), "注册成功，赠送1天体验时间，有效期至2025-01-11");
  auto account = service_.FindAccount("新用户");
  ASSERT_TRUE(account);
  EXPECT_EQ(account->password, "NewPass1");
  // ...and the client, which logs in lower-cased, gets in.
  EXPECT_EQ(Field(Login("%D0%C2%D3%C3%BB%A7", "newpass1", "R1"), "result"), "Y");
  EXPECT_EQ(Field(GbkToUtf8(Api("/apiv3-clientRegV3.html?level=1&origin=x&username=%D0%C2%D3%C3%BB%A7&password="
                                "NewPass1&email=a@b.c")
                                .body),
                  "remark"),
            "该用户名已被注册，请换一个用户名");
}

TEST_F(ServiceTest, RenewalWithCards) {
  auto renew = [&](const std::string& query) {
    Answer answer = Api("/apiv3-clientRenewV3.html?" + query);
    const std::string xml = GbkToUtf8(answer.body);
    return Field(xml, "result") + " " + Field(xml, "remark");
  };
  EXPECT_EQ(renew("username=nobody&password=x&cardID=M1&cardPW=p&level=1"), "N 充值账户不存在");
  EXPECT_EQ(renew("username=demo&password=bad&cardID=M1&cardPW=p&level=1"), "N 账户密码错误");
  EXPECT_EQ(renew("username=demo&password=demo123&cardID=M1&cardPW=bad&level=1"), "N 充值卡卡号或密码错误");
  EXPECT_EQ(renew("username=demo&password=demo123&cardID=M1&cardPW=p&level=2"), "N 充值类型错误");
  EXPECT_EQ(renew("username=demo&password=demo123&cardID=M1&cardPW=p&level=nian1"), "N 充值卡类型与所选充值天数不符");

  // Time left is kept and the card's days are added.
  EXPECT_EQ(renew("username=demo&password=demo123&cardID=M1&cardPW=p&level=1"), "Y 充值成功，账号有效期至2031-01-30");
  EXPECT_EQ(renew("username=demo&password=demo123&cardID=M1&cardPW=p&level=1"), "N 该充值卡已被使用");
  // An expired account starts again from today; then it can log in.
  EXPECT_EQ(renew("username=old&password=OLD12345&cardID=D1&cardPW=p&level=day1"), "Y 充值成功，账号有效期至2025-01-10");
  EXPECT_EQ(Field(Login("old", "old12345", "S"), "result"), "Y");
  EXPECT_EQ(renew("username=old&password=old12345&cardID=Y1&cardPW=p&level=nian1"), "Y 充值成功，账号有效期至2026-01-10");
  EXPECT_EQ(service_.FindAccount("old")->expireDate, "2026-01-10");
}

TEST_F(ServiceTest, PasswordChange) {
  auto change = [&](const std::string& query) {
    const std::string xml = GbkToUtf8(Api("/apiv3-changepwV3.html?" + query).body);
    return Field(xml, "result") + " " + Field(xml, "remark");
  };
  EXPECT_EQ(change("username=demo&password=bad&newpass=abcdef&newpass2=abcdef"), "N 用户名或原密码错误");
  EXPECT_EQ(change("username=nobody&password=demo123&newpass=abcdef&newpass2=abcdef"), "N 用户名或原密码错误");
  EXPECT_EQ(change("username=demo&password=demo123&newpass=&newpass2="), "N 新密码不能为空");
  EXPECT_EQ(change("username=demo&password=demo123&newpass=abcdef&newpass2=abcdeF"), "N 两次密码不一致");
  EXPECT_EQ(change("username=demo&password=demo123&newpass=a&newpass2=a"), "N 新密码不能低于6位");
  EXPECT_EQ(change("username=demo&password=demo123&newpass=fresh99&newpass2=fresh99"),
            "Y 密码修改成功，请使用新密码登录");
  EXPECT_EQ(Field(Login("demo", "demo123", "S1"), "result"), "N");
  EXPECT_EQ(Field(Login("demo", "fresh99", "S1"), "result"), "Y");
}

TEST_F(ServiceTest, EachRoleAnswersItsOwnPaths) {
  struct Case {
    Role role;
    std::string target, kind;
  };
  const Case cases[] = {
      {Role::kUpdate1, "/update3/version.php?act=version", "version"},
      {Role::kUpdate2, "/update3/version.php?act=version", "version"},
      {Role::kUpdate1, "/update3/version.php?act=other", "version-refused"},
      {Role::kPrimary, "/update3/version.php?act=version", "not-found"},
      {Role::kBanner, "/main-logintopV2.html?ctype=public&origin=", "page"},
      {Role::kPrimary, "/main-logintopV2.html?ctype=public&origin=", "not-found"},
      {Role::kPrimary, "/main-memberMsg.html?ctype=public&origin=x", "page"},
      {Role::kLogin, "/main-payV2.html", "page"},
      {Role::kLogin, "/main-helpV2.html", "page"},
      {Role::kAccount, "/userinfo.php", "page"},
      {Role::kAccount, "/apiv3-getip.html?sessionid=x", "not-found"},
      {Role::kBanner, "/apiv3-serverlistV3.html", "not-found"},
      {Role::kLogin, "/apiv3-serverlistV3.html", "serverlist"},
      {Role::kPrimary, "/", "not-found"},
  };
  for (const Case& c : cases) {
    Answer answer = Get(c.role, c.target);
    EXPECT_EQ(answer.kind, c.kind) << RoleName(c.role) << c.target;
    EXPECT_EQ(answer.status, c.kind == "not-found" ? 404 : 200) << c.target;
  }
  const std::string version = GbkToUtf8(Get(Role::kUpdate2, "/update3/version.php?act=version").body);
  EXPECT_EQ(Field(version, "versionid"), "105");
  const Answer page = Get(Role::kLogin, "/main-helpV2.html");
  EXPECT_EQ(page.contentType, "text/html; charset=gbk");
  EXPECT_NE(page.body.find(Utf8ToGbk("常见问题")), std::string::npos);
}

TEST_F(ServiceTest, SwitchesChangeWhatIsAnswered) {
  const std::string probe = "/apiv3-getip.html?sessionid=S";
  struct Case {
    std::string mode;
    int status;
    std::string kind;
  };
  const Case cases[] = {
      {"html", 200, "injected-html"},   {"empty", 200, "injected-empty"}, {"fail", 503, "injected-fail"},
      {"garbled", 200, "injected-garbled"}, {"slow", 200, "slow-probe"},   {"normal", 200, "probe"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Control("set?role=primary&path=apiv3-getip.html&mode=" + c.mode).status, 200);
    Answer answer = Api(probe);
    EXPECT_EQ(answer.status, c.status) << c.mode;
    EXPECT_EQ(answer.kind, c.kind) << c.mode;
    // Whatever the mode, the client's check ("Y|" at the start) tells it apart.
    const bool looksNormal = answer.body.rfind("Y|", 0) == 0;
    EXPECT_EQ(looksNormal, c.mode == "normal" || c.mode == "slow") << c.mode;
    EXPECT_EQ(answer.delayMs, c.mode == "slow" ? kDefaultSlowMs : 0) << c.mode;
  }
  // The other API role is untouched by a switch on the primary.
  Control("set?role=primary&path=apiv3-getip.html&mode=fail");
  EXPECT_EQ(Get(Role::kLogin, probe).kind, "probe");

  // A garbled document still starts like one, then breaks off into bytes
  // no reader accepts.
  Control("set?role=update1&path=update3/version.php&mode=garbled");
  Answer garbled = Get(Role::kUpdate1, "/update3/version.php?act=version");
  EXPECT_EQ(garbled.body.rfind("<?xml", 0), 0u);
  EXPECT_NE(garbled.body.find('\0'), std::string::npos);
  EXPECT_EQ(garbled.body.find("</root>"), std::string::npos);

  // The most specific switch wins: role and path, role, path, everything.
  Control("set?role=*&path=*&mode=empty");
  Control("set?role=login&mode=html");
  Control("set?role=*&path=apiv3-serverlistV3.html&mode=slow&delay=250");
  EXPECT_EQ(Api("/apiv3-serverlistV3.html").kind, "slow-serverlist");
  EXPECT_EQ(Api("/apiv3-serverlistV3.html").delayMs, 250);
  EXPECT_EQ(Get(Role::kLogin, "/apiv3-serverlistV3.html").kind, "injected-html");
  EXPECT_EQ(Api(probe).kind, "injected-fail");
  EXPECT_EQ(Get(Role::kUpdate2, "/update3/version.php?act=version").kind, "injected-empty");
  EXPECT_EQ(Control("switches").body,
            "* * empty\n* apiv3-serverlistV3.html slow 250\nlogin * html\nprimary apiv3-getip.html fail\n"
            "update1 update3/version.php garbled\n");
}

TEST_F(ServiceTest, InjectedFailuresLeaveStateAlone) {
  Control("set?role=primary&path=apiv3-loginV3.html&mode=html");
  Login("demo", "demo123", "S1");
  EXPECT_FALSE(service_.FindSession("S1"));
  Control("set?role=primary&path=apiv3-loginV3.html&mode=normal");
  Login("demo", "demo123", "S1");
  EXPECT_TRUE(service_.FindSession("S1"));
}

TEST_F(ServiceTest, ControlInterface) {
  EXPECT_EQ(Control("set?role=nobody&mode=html").status, 400);
  EXPECT_EQ(Control("set?role=primary&mode=loud").status, 400);
  EXPECT_EQ(Control("set?role=primary&mode=slow&delay=soon").status, 400);
  EXPECT_EQ(Control("version?value=abc").status, 400);
  EXPECT_EQ(Control("frobnicate").status, 404);

  ASSERT_EQ(Control("version?value=106").body, "OK version 106\n");
  EXPECT_EQ(Field(GbkToUtf8(Get(Role::kUpdate1, "/update3/version.php?act=version").body), "versionid"), "106");

  Api("/apiv3-getip.html?sessionid=A");
  Api("/apiv3-getip.html?sessionid=B");
  // Control requests stay out of the log.
  EXPECT_EQ(Control("log").body,
            "update1 /update3/version.php?act=version version\n"
            "primary /apiv3-getip.html?sessionid=A probe\n"
            "primary /apiv3-getip.html?sessionid=B probe\n");
  EXPECT_EQ(Control("log?since=2").body, "primary /apiv3-getip.html?sessionid=B probe\n");
  EXPECT_EQ(Control("log?since=99").body, "");
  EXPECT_EQ(service_.LogLines().size(), 3u);
  // Raw code page bytes and spaces are written escaped, keeping one line
  // of three fields per request.
  Api("/apiv3-getip.html?sessionid=\xb2\xe2 x\n");
  EXPECT_EQ(service_.LogLines().back(), "primary /apiv3-getip.html?sessionid=%B2%E2%20x%0A probe");

  Login("demo", "demo123", "S1");
  Api("/apiv3-changepwV3.html?username=demo&password=demo123&newpass=fresh99&newpass2=fresh99");
  EXPECT_NE(Control("state").body.find("session S1 user=demo"), std::string::npos);
}

TEST_F(ServiceTest, ResetGoesBackToTheStartState) {
  std::string error;
  ASSERT_TRUE(service_.SetSwitch("primary", "/apiv3-getip.html", Mode::kFail, 0, error));
  EXPECT_FALSE(service_.SetSwitch("nobody", "x", Mode::kFail, 0, error));
  service_.SetVersion("200");
  service_.KeepAsStartState();

  Control("set?role=*&mode=html");
  Control("version?value=300");
  Api("/apiv3-changepwV3.html?username=demo&password=demo123&newpass=fresh99&newpass2=fresh99");
  Api("/apiv3-clientRenewV3.html?username=demo&password=fresh99&cardID=M1&cardPW=p&level=1");
  Control("set?role=*&mode=normal");
  Login("demo", "fresh99", "S1");

  ASSERT_EQ(Control("reset").body, "OK reset\n");
  EXPECT_TRUE(service_.LogLines().empty());
  EXPECT_FALSE(service_.FindSession("S1"));
  EXPECT_EQ(service_.FindAccount("demo")->password, "demo123");
  EXPECT_EQ(service_.FindAccount("demo")->expireDate, "2030-12-31");
  EXPECT_EQ(Api("/apiv3-getip.html?sessionid=S").kind, "injected-fail");  // the start's switch stays
  EXPECT_EQ(Field(GbkToUtf8(Get(Role::kUpdate1, "/update3/version.php?act=version").body), "versionid"), "200");
  // The card can be used again.
  const std::string xml = GbkToUtf8(
      Api("/apiv3-clientRenewV3.html?username=demo&password=demo123&cardID=M1&cardPW=p&level=1").body);
  EXPECT_EQ(Field(xml, "result"), "Y");
}

// Whatever arrives, every role answers and the service keeps working.
TEST_F(ServiceTest, AnyTargetGetsAnAnswer) {
  std::vector<std::string> targets = {
      "", "?", "/?&&&", "%", "/%%%", "/apiv3-loginV3.html", "/apiv3-loginV3.html?username",
      "/apiv3-loginV3.html?username=%FF%FE&password=%00&sessionid=%", "/ping.php?q=1",
      "/apiv3-clientRenewV3.html?level=", "/__dev/", "/__dev/set", "/__dev/log?since=-1",
      "/apiv3-clientRegV3.html?level=1&username=\xff\xff\xff&password=\x81\x81\x81\x81\x81\x81&email=@",
      "/" + std::string(100000, 'a'), "/apiv3-getip.html?" + std::string(5000, '&'),
  };
  std::mt19937 random(1234);
  const std::string alphabet = "/?&=%+abcdeliunp0123456789\x80\xff\xb2\xe2 .";
  const char* paths[] = {"/apiv3-loginV3.html?", "/apiv3-clientRegV3.html?", "/apiv3-clientRenewV3.html?",
                         "/apiv3-changepwV3.html?", "/ping.php?", "/apiv3-jxpassV3.html?", "/__dev/set?",
                         "/userinfo.php?", "/update3/version.php?"};
  for (int i = 0; i < 3000; ++i) {
    std::string t = paths[i % 9];
    const int length = static_cast<int>(random() % 60);
    for (int j = 0; j < length; ++j) t.push_back(alphabet[random() % alphabet.size()]);
    targets.push_back(t);
  }
  for (const std::string& target : targets) {
    for (const RoleInfo& role : kRoles) {
      Answer answer = Get(role.role, target);
      EXPECT_FALSE(answer.kind.empty());
      EXPECT_GE(answer.status, 200);
    }
  }
  Control("reset");
  EXPECT_EQ(Field(Login("demo", "demo123", "S1"), "result"), "Y");
}

}  // namespace
}  // namespace devservice
