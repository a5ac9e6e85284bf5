// Loads the built dravik.dll by name, as the client does, and calls its exports.
// Only exports that read or are harmless run for real; route and DNS changes
// are covered by the native tests with fakes.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

using CipherFn = char* (*)(const char*, const char*, char*, int);
using Callback = void (*)(int, const char*);
using ConnectFn = int (*)(const char*, const char*, const char*, int, Callback);
using DisconnectFn = int (*)(Callback);
using TextOutFn = void (*)(char*, int);
using PingFn = int (*)(const char*);
using DomainIpFn = void (*)(const char*, char*, int);
using MetricFn = DWORD (*)(DWORD);

class DravikExports : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(L"dravik.dll");
    ASSERT_NE(module_, nullptr) << "dravik.dll next to the test";
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  template <typename Fn>
  Fn Lookup(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HMODULE module_ = nullptr;
};

// Messages arrive on the library's threads.
struct Messages {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::pair<int, std::string>> list;

  // Waits for a message with the given state; false when none came in time.
  bool WaitForState(int state, std::chrono::seconds limit) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, limit, [&] {
      for (const auto& m : list)
        if (m.first == state) return true;
      return false;
    });
  }
};
Messages gMessages;

void Record(int state, const char* text) {
  std::lock_guard lock(gMessages.mutex);
  gMessages.list.emplace_back(state, text ? text : "");
  gMessages.changed.notify_all();
}

TEST_F(DravikExports, EveryExportIsThereByName) {
  for (const char* name : {"ConnnectVpn", "DisconnectVpn", "DisconnectVpn2", "GetVpnStatus", "GetVpnIP", "GetVpnFlow",
                           "GetVpnSendFlow", "GetVpnRecvFlow", "GetDefaultGateway", "ChangeRouteTable", "AddRoute",
                           "SetDNS", "FindTapAdapter", "GetDomainIp", "PingHost", "opa", "opb"}) {
    EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
  }
}

TEST_F(DravikExports, CipherRoundTripThroughUndecoratedNames) {
  auto opa = Lookup<CipherFn>("opa");
  auto opb = Lookup<CipherFn>("opb");
  ASSERT_NE(opa, nullptr);
  ASSERT_NE(opb, nullptr);

  char out[4096] = {};
  EXPECT_EQ(opa("abc", "", out, sizeof out), out);
  EXPECT_STREQ(out, "b2b3319ab2109238");
  char back[4096] = {};
  opb(out, nullptr, back, sizeof back);
  EXPECT_STREQ(back, "abc");

  // A text past the 2040-byte limit gives an empty result, never an overflow.
  std::string tooLong(3000, 'a');
  out[0] = 'x';
  opa(tooLong.c_str(), "kt204719", out, sizeof out);
  EXPECT_STREQ(out, "");
}

TEST_F(DravikExports, PingAndNameResolutionOnLoopback) {
  auto ping = Lookup<PingFn>("PingHost");
  auto domainIp = Lookup<DomainIpFn>("GetDomainIp");
  ASSERT_NE(ping, nullptr);
  ASSERT_NE(domainIp, nullptr);
  // Loopback may answer within the same millisecond, which reads as 0.
  EXPECT_GE(ping("127.0.0.1"), 0);
  EXPECT_EQ(ping("name.that.does.not.resolve.invalid"), 0);

  char out[64];
  std::memset(out, 'x', sizeof out);
  domainIp("127.0.0.1", out, sizeof out);
  EXPECT_STREQ(out, "127.0.0.1");
  std::memset(out, 'x', sizeof out);
  domainIp("127.0.0.1", out, 4);
  EXPECT_STREQ(out, "127");
  EXPECT_EQ(out[4], 'x');
}

TEST_F(DravikExports, DefaultGatewayIsRightAlignedIn16Characters) {
  auto gateway = Lookup<TextOutFn>("GetDefaultGateway");
  ASSERT_NE(gateway, nullptr);
  char out[260];
  std::memset(out, 'x', sizeof out);
  gateway(out, sizeof out);
  std::string text = out;
  if (text.empty()) GTEST_SKIP() << "no default route below metric 100 here";
  ASSERT_EQ(text.size(), 16u) << "'" << text << "'";
  EXPECT_NE(text.back(), ' ');
  std::size_t first = text.find_first_not_of(' ');
  EXPECT_EQ(text.find(' ', first), std::string::npos);
}

TEST_F(DravikExports, ReadOnlyQueriesAnswerWithoutAConnection) {
  auto vpnIp = Lookup<TextOutFn>("GetVpnIP");
  ASSERT_NE(vpnIp, nullptr);
  char out[32];
  std::memset(out, 'x', sizeof out);
  vpnIp(out, 1);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], 'x');
  EXPECT_EQ(Lookup<bool (*)()>("GetVpnStatus")(), false);
  EXPECT_EQ(Lookup<unsigned (*)()>("GetVpnFlow")(), 0u);
  EXPECT_EQ(Lookup<int (*)()>("DisconnectVpn2")(), 0);
  Lookup<bool (*)()>("FindTapAdapter")();  // must simply answer
}

TEST_F(DravikExports, DialingFailsThroughTheCallbackThenDisconnectReports) {
  auto connect = Lookup<ConnectFn>("ConnnectVpn");
  auto disconnect = Lookup<DisconnectFn>("DisconnectVpn");
  ASSERT_NE(connect, nullptr);
  ASSERT_NE(disconnect, nullptr);
  {
    std::lock_guard lock(gMessages.mutex);
    gMessages.list.clear();
  }
  // Wine's Remote Access cannot dial: the failure comes back with state 0.
  EXPECT_EQ(connect("192.0.2.1", "user", "password", 1, Record), 0);
  EXPECT_TRUE(gMessages.WaitForState(0, std::chrono::seconds(60))) << [] {
    std::lock_guard lock(gMessages.mutex);
    std::string all;
    for (const auto& m : gMessages.list) all += std::to_string(m.first) + " " + m.second + "|";
    return all;
  }();

  {
    std::lock_guard lock(gMessages.mutex);
    gMessages.list.clear();
  }
  EXPECT_EQ(disconnect(Record), 0);
  ASSERT_TRUE(gMessages.WaitForState(-1, std::chrono::seconds(30)));
  std::lock_guard lock(gMessages.mutex);
  ASSERT_GE(gMessages.list.size(), 2u);
  auto& list = gMessages.list;
  EXPECT_EQ(list[list.size() - 2].second, "DISCONNECTING");
  EXPECT_EQ(list.back(), std::make_pair(-1, std::string("DISCONNECT")));
}

TEST(MetricDll, UnknownInterfaceGetsTheDefault) {
  HMODULE metric = LoadLibraryW(L"metric.dll");
  ASSERT_NE(metric, nullptr);
  auto getMetric = reinterpret_cast<MetricFn>(reinterpret_cast<void*>(GetProcAddress(metric, "GetMetric")));
  ASSERT_NE(getMetric, nullptr);
  EXPECT_EQ(getMetric(0), 20u);
  FreeLibrary(metric);
}

}  // namespace
