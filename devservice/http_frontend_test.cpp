// The real server on free loopback ports, spoken to over HTTP.
#include "devservice/http_frontend.h"
#include "devservice/service_data.h"
#include "devservice/text.h"
#include "netcore/cipher.h"

#include <httplib.h>

#include <gtest/gtest.h>

namespace devservice {
namespace {

std::string Field(const std::string& xml, const std::string& name) {
  std::size_t open = xml.rfind("<" + name + ">");
  if (open == std::string::npos) return "<no " + name + ">";
  open += name.size() + 2;
  return xml.substr(open, xml.find("</" + name + ">", open) - open);
}

class HttpFrontendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> errors;
    service_ = std::make_unique<DevService>(LoadServiceData(DEVSERVICE_DATA_DIR, errors), 1);
    ASSERT_TRUE(errors.empty());
    frontend_ = std::make_unique<HttpFrontend>(*service_);
    std::array<Binding, kRoleCount> bindings;
    for (Binding& b : bindings) b = Binding{"127.0.0.1", 0};
    std::string error;
    ASSERT_TRUE(frontend_->Start(bindings, error)) << error;
  }
  void TearDown() override { frontend_->Stop(); }

  httplib::Client Client(Role role) { return httplib::Client("127.0.0.1", frontend_->Port(role)); }

  std::unique_ptr<DevService> service_;
  std::unique_ptr<HttpFrontend> frontend_;
};

TEST_F(HttpFrontendTest, LoginRoundTrip) {
  auto api = Client(Role::kPrimary);
  auto probe = api.Get("/apiv3-getip.html?sessionid=ABCDEF0123456789abcdABCDEF012345");
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->body, "Y|127.0.0.1");

  // The client sends the name as percent-encoded code page bytes.
  auto login = api.Get("/apiv3-loginV3.html?username=demo&password=demo123&sessionid=S1&origin=lumetra&verid=100"
                       "&buildid=3011");
  ASSERT_TRUE(login);
  EXPECT_EQ(login->status, 200);
  EXPECT_EQ(login->get_header_value("Cache-Control"), "no-cache, no-store, must-revalidate");
  const std::string document = netcore::DecipherFromHex(login->body, kLoginKey);
  ASSERT_EQ(document.rfind("<?xml", 0), 0u) << document;
  const std::string xml = GbkToUtf8(document);
  EXPECT_EQ(Field(xml, "result"), "Y");
  EXPECT_EQ(Field(xml, "remark"), "登录成功");
  EXPECT_EQ(Field(xml, "level"), "1");
  EXPECT_EQ(Field(xml, "maxonline"), "2");
  EXPECT_EQ(Field(xml, "expiredate"), "2030-12-31");
  const std::string key = Field(xml, "deskey2").substr(0, 6);

  // Same accounts and sessions behind the login server's address.
  auto jxpass = Client(Role::kLogin).Get("/apiv3-jxpassV3.html?sessionid=S1");
  ASSERT_TRUE(jxpass);
  EXPECT_EQ(jxpass->get_header_value("Content-Type"), "text/xml; charset=gbk");
  const std::string jx = GbkToUtf8(jxpass->body);
  std::size_t hk = jx.find("<jxuser>jx_hk02</jxuser><jxpass>");
  ASSERT_NE(hk, std::string::npos) << jx;
  hk += std::string("<jxuser>jx_hk02</jxuser><jxpass>").size();
  EXPECT_EQ(GbkToUtf8(netcore::DecipherFromHex(jx.substr(hk, jx.find('<', hk) - hk), key)), "港线88");

  auto chinese = api.Get("/apiv3-loginV3.html?username=%B2%E2%CA%D4%D3%C3%BB%A7&password=ceshi123&sessionid=S2"
                         "&origin=&verid=100&buildid=3011");
  ASSERT_TRUE(chinese);
  EXPECT_EQ(Field(GbkToUtf8(netcore::DecipherFromHex(chinese->body, kLoginKey)), "result"), "Y");

  const auto log = service_->LogLines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[1], "primary /apiv3-loginV3.html?username=demo&password=demo123&sessionid=S1&origin=lumetra"
                    "&verid=100&buildid=3011 login-ok");
  EXPECT_EQ(log[2], "login /apiv3-jxpassV3.html?sessionid=S1 jxpass");
}

TEST_F(HttpFrontendTest, ControlOverHttpAndStopDuringSlowAnswer) {
  auto update = Client(Role::kUpdate1);
  auto set = update.Get("/__dev/set?role=update1&path=update3/version.php&mode=html");
  ASSERT_TRUE(set);
  EXPECT_EQ(set->body, "OK update1 update3/version.php html\n");
  auto page = update.Get("/update3/version.php?act=version");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->body.rfind("<!DOCTYPE html>", 0), 0u);
  auto second = Client(Role::kUpdate2).Get("/update3/version.php?act=version");
  ASSERT_TRUE(second);
  EXPECT_EQ(Field(GbkToUtf8(second->body), "versionid"), "100");
  auto log = Client(Role::kAccount).Get("/__dev/log");
  ASSERT_TRUE(log);
  EXPECT_EQ(log->body, "update1 /update3/version.php?act=version injected-html\n"
                       "update2 /update3/version.php?act=version version\n");

  // A request held by a long delay does not keep the server from stopping.
  ASSERT_TRUE(update.Get("/__dev/set?role=primary&mode=slow&delay=600000"));
  std::thread pending([this] { Client(Role::kPrimary).Get("/apiv3-serverlistV3.html"); });
  while (service_->LogLines().size() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  frontend_->Stop();
  pending.join();
}

TEST(HttpFrontend, RefusesAddressesOutsideLoopback) {
  DevService service(ServiceData{}, 1);
  HttpFrontend frontend(service);
  std::array<Binding, kRoleCount> bindings;
  for (Binding& b : bindings) b = Binding{"127.0.0.1", 0};
  bindings[3] = Binding{"0.0.0.0", 0};
  std::string error;
  EXPECT_FALSE(frontend.Start(bindings, error));
  EXPECT_NE(error.find("update1"), std::string::npos) << error;
}

}  // namespace
}  // namespace devservice
