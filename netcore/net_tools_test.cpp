#include "netcore/net_tools.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "netcore/out_buffer.h"

namespace netcore {
namespace {

class FakeAdapters : public AdapterApi {
 public:
  std::optional<std::vector<AdapterInfo>> ReadAdapters() override { return adapters; }
  bool WriteMachineString(const std::string& keyPath, const std::string& valueName,
                          const std::string& value) override {
    log.push_back("write " + keyPath + " " + valueName + "=" + value);
    return !refused.count(keyPath);
  }
  void NotifyDhcpConfigChange(const std::string& adapterName) override { log.push_back("notify " + adapterName); }
  void FlushDnsCache() override { log.push_back("flush"); }

  std::optional<std::vector<AdapterInfo>> adapters;
  std::set<std::string> refused;
  std::vector<std::string> log;
};

const std::string kKey = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

TEST(SetDns, WritesEveryAdapterAndAnswersForTheLast) {
  struct Case {
    std::set<std::string> refused;
    bool result;
  } cases[] = {{{}, true}, {{kKey + "{B}"}, false}, {{kKey + "{A}"}, true}};
  for (const Case& c : cases) {
    FakeAdapters fake;
    fake.adapters = std::vector<AdapterInfo>{{"{A}", "Ethernet"}, {"{B}", "Wi-Fi"}};
    fake.refused = c.refused;
    EXPECT_EQ(SetDnsServers(fake, "8.8.8.8,8.8.4.4"), c.result);
    std::vector<std::string> expected;
    for (const char* name : {"{A}", "{B}"}) {
      expected.push_back("write " + kKey + name + " NameServer=8.8.8.8,8.8.4.4");
      if (!c.refused.count(kKey + name)) {
        expected.push_back(std::string("notify ") + name);
        expected.push_back("flush");
      }
    }
    EXPECT_EQ(fake.log, expected);
  }
}

TEST(SetDns, EmptyTextStillNotifiesUnreadableListWritesNothing) {
  FakeAdapters fake;
  fake.adapters = std::vector<AdapterInfo>{{"{A}", "Ethernet"}};
  EXPECT_TRUE(SetDnsServers(fake, ""));
  EXPECT_EQ(fake.log, (std::vector<std::string>{"write " + kKey + "{A} NameServer=", "notify {A}", "flush"}));

  FakeAdapters none;
  EXPECT_FALSE(SetDnsServers(none, "8.8.8.8"));
  none.adapters = std::vector<AdapterInfo>{};
  EXPECT_FALSE(SetDnsServers(none, "8.8.8.8"));
  EXPECT_TRUE(none.log.empty());
}

TEST(TapAdapter, RecognisedByEitherDriverPrefixCaseSensitively) {
  struct Case {
    const char* description;
    bool tap;
  } cases[] = {
      {"TAP-Win32 Adapter V9", true},        {"TAP-Win32 Adapter V9 #2", true},
      {"TAP-Windows Adapter V9", true},      {"TAP-Windows Adapter V9 for OpenVPN Connect", true},
      {"tap-win32 adapter v9", false},       {"TAP-Win32 Adapter V8", false},
      {"TAP-Win32 Adapter", false},          {"Intel(R) Ethernet TAP-Win32 Adapter V9", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsTapAdapter(c.description), c.tap) << c.description;

  FakeAdapters fake;
  EXPECT_FALSE(HasTapAdapter(fake));
  fake.adapters = std::vector<AdapterInfo>{{"{A}", "Realtek"}, {"{B}", "TAP-Windows Adapter V9"}};
  EXPECT_TRUE(HasTapAdapter(fake));
  fake.adapters->pop_back();
  EXPECT_FALSE(HasTapAdapter(fake));
}

class FakeSockets : public SocketsApi {
 public:
  std::uint32_t InetAddr(const std::string& text) override { return inet_addr(text.c_str()); }
  std::string ResolveName(const std::string& name) override {
    resolved.push_back(name);
    auto it = names.find(name);
    return it == names.end() ? "" : it->second;
  }
  std::map<std::string, std::string> names{{"vpn.example.net", "203.0.113.7"}};
  std::vector<std::string> resolved;
};

class FakeIcmp : public IcmpApi {
 public:
  std::optional<std::vector<EchoReply>> SendEcho(std::uint32_t target,
                                                 const std::array<unsigned char, kEchoDataSize>& data,
                                                 std::uint32_t timeoutMs) override {
    targets.push_back(target);
    lastData = data;
    lastTimeout = timeoutMs;
    return replies;
  }
  std::optional<std::vector<EchoReply>> replies = std::vector<EchoReply>{{0, 37}};
  std::vector<std::uint32_t> targets;
  std::array<unsigned char, kEchoDataSize> lastData{};
  std::uint32_t lastTimeout = 0;
};

TEST(Ping, SendsOneEchoToTheAddressOrResolvedName) {
  FakeSockets sockets;
  FakeIcmp icmp;
  EXPECT_EQ(Ping(sockets, icmp, "198.51.100.1"), 37);
  EXPECT_EQ(icmp.targets.back(), inet_addr("198.51.100.1"));
  EXPECT_TRUE(sockets.resolved.empty());
  EXPECT_EQ(icmp.lastTimeout, 1000u);
  std::array<unsigned char, 32> data{'D', 'a', 't', 'a', ' ', 'B', 'u', 'f', 'f', 'e', 'r'};
  EXPECT_EQ(icmp.lastData, data);

  EXPECT_EQ(Ping(sockets, icmp, "vpn.example.net"), 37);
  EXPECT_EQ(icmp.targets.back(), inet_addr("203.0.113.7"));

  // Nothing goes out for a name that does not resolve.
  EXPECT_EQ(Ping(sockets, icmp, "nowhere.invalid"), 0);
  EXPECT_EQ(icmp.targets.size(), 2u);
}

TEST(Ping, OnlyASuccessfulReplyCounts) {
  struct Case {
    std::optional<std::vector<EchoReply>> replies;
    int rtt;
  } cases[] = {
      {std::vector<EchoReply>{{0, 12}}, 12},
      {std::vector<EchoReply>{{0, 0}}, 0},
      {std::vector<EchoReply>{{11013, 250}}, 0},  // TTL expired in transit
      {std::vector<EchoReply>{{11003, 4}}, 0},    // host unreachable
      {std::vector<EchoReply>{}, 0},
      {std::nullopt, 0},
  };
  for (const Case& c : cases) {
    FakeSockets sockets;
    FakeIcmp icmp;
    icmp.replies = c.replies;
    EXPECT_EQ(Ping(sockets, icmp, "127.0.0.1"), c.rtt);
  }
}

TEST(OutputBuffer, WritesAtMostSizeMinusOneAndAZeroAtTheEnd) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  CopyToBuffer("10.8.0.6", out, 8);
  EXPECT_STREQ(out, "10.8.0.");
  std::memset(out, 'x', sizeof out);
  CopyToBuffer("10.8.0.6", out, 1);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], 'x');
  std::memset(out, 'x', sizeof out);
  CopyToBuffer("1.2", out, 6);
  EXPECT_STREQ(out, "1.2");
  EXPECT_EQ(out[5], '\0');
  EXPECT_EQ(out[6], 'x');
  CopyToBuffer("1.2", out, 0);
  CopyToBuffer("1.2", nullptr, 5);
  EXPECT_EQ(out[6], 'x');
}

}  // namespace
}  // namespace netcore
