#include "netcore/routes.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>

namespace netcore {
namespace {

std::uint32_t Addr(const char* text) { return inet_addr(text); }

RouteRow Row(const char* dest, const char* nextHop, std::uint32_t metric, std::uint32_t ifIndex = 1) {
  RouteRow row;
  row.dest = Addr(dest);
  row.nextHop = Addr(nextHop);
  row.metric1 = metric;
  row.ifIndex = ifIndex;
  return row;
}

class FakeRoutes : public RouteApi {
 public:
  std::optional<std::vector<RouteRow>> ReadForwardTable() override { return table; }
  std::uint32_t CreateForwardEntry(const RouteRow& row) override {
    created.push_back(row);
    if (createResults.empty()) return 0;
    std::uint32_t r = createResults.front();
    createResults.pop_front();
    return r;
  }
  std::uint32_t DeleteForwardEntry(const RouteRow& row) override {
    deleted.push_back(row);
    return deleteResult;
  }
  std::optional<std::uint32_t> InterfaceMetric(std::uint32_t ifIndex) override {
    metricAsked.push_back(ifIndex);
    return metric;
  }

  std::optional<std::vector<RouteRow>> table = std::vector<RouteRow>{};
  std::deque<std::uint32_t> createResults;
  std::uint32_t deleteResult = 0;
  std::optional<std::uint32_t> metric;
  std::vector<RouteRow> created, deleted;
  std::vector<std::uint32_t> metricAsked;
};

class PosixSockets : public SocketsApi {
 public:
  std::uint32_t InetAddr(const std::string& text) override { return inet_addr(text.c_str()); }
  std::string ResolveName(const std::string& name) override {
    auto it = names.find(name);
    return it == names.end() ? "" : it->second;
  }
  std::map<std::string, std::string> names;
};

class RouteTableTest : public ::testing::Test {
 protected:
  FakeRoutes routes;
  PosixSockets sockets;
  RouteTable table{routes, sockets};
};

TEST(FormatIpv4, WritesNetworkOrderAsInetNtoaDoes) {
  EXPECT_EQ(FormatIpv4(Addr("192.168.1.1")), "192.168.1.1");
  EXPECT_EQ(FormatIpv4(0), "0.0.0.0");
  EXPECT_EQ(FormatIpv4(0xFFFFFFFF), "255.255.255.255");
}

TEST_F(RouteTableTest, DefaultGatewayIsTheLowestMetricBelow100) {
  RouteRow masked = Row("0.0.0.0", "10.1.1.1", 3);
  masked.mask = Addr("128.0.0.0");
  struct Case {
    std::vector<RouteRow> rows;
    std::string expected;
  } cases[] = {
      {{Row("0.0.0.0", "10.0.0.1", 25), Row("0.0.0.0", "192.168.1.1", 10)}, "     192.168.1.1"},
      {{Row("0.0.0.0", "10.0.0.1", 100)}, ""},
      {{Row("0.0.0.0", "10.0.0.1", 0xFFFFFFFF)}, ""},
      {{Row("0.0.0.0", "10.0.0.1", 99)}, "        10.0.0.1"},
      {{Row("0.0.0.0", "10.0.0.1", 5), Row("0.0.0.0", "10.0.0.2", 5)}, "        10.0.0.1"},
      {{Row("10.0.0.0", "10.0.0.9", 1), Row("0.0.0.0", "192.168.100.100", 50)}, " 192.168.100.100"},
      {{Row("0.0.0.0", "10.0.0.1", 40), masked}, "        10.1.1.1"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    routes.table = c.rows;
    std::string gateway = table.DefaultGateway();
    EXPECT_EQ(gateway, c.expected);
    EXPECT_TRUE(gateway.empty() || gateway.size() == 16);
  }
  routes.table.reset();
  EXPECT_EQ(table.DefaultGateway(), "");
}

TEST_F(RouteTableTest, GatewayInterfaceIsTheLastExactMatch) {
  routes.table = std::vector<RouteRow>{Row("0.0.0.0", "192.168.1.1", 10, 7), Row("10.0.0.0", "10.0.0.1", 1, 3),
                                       Row("1.0.0.0", "192.168.1.1", 10, 9)};
  EXPECT_EQ(table.GatewayInterface("192.168.1.1"), 9u);
  EXPECT_EQ(table.GatewayInterface("10.0.0.1"), 3u);
  EXPECT_EQ(table.GatewayInterface("  192.168.1.1"), 0u);
  EXPECT_EQ(table.GatewayInterface("192.168.1.10"), 0u);
  routes.table.reset();
  EXPECT_EQ(table.GatewayInterface("192.168.1.1"), 0u);
}

TEST_F(RouteTableTest, AddTriesIndirectThenDirectThenMetricOne) {
  routes.table = std::vector<RouteRow>{Row("0.0.0.0", "192.168.1.1", 10, 7)};
  routes.metric = 35;
  struct Case {
    std::deque<std::uint32_t> results;
    bool added;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tries;  // type, metric
  } cases[] = {
      {{0}, true, {{4, 35}}},
      {{87, 0}, true, {{4, 35}, {3, 35}}},
      {{87, 87, 0}, true, {{4, 35}, {3, 35}, {4, 1}}},
      {{5010, 5010, 5010}, false, {{4, 35}, {3, 35}, {4, 1}}},  // the route exists already
  };
  for (const Case& c : cases) {
    routes.created.clear();
    routes.createResults = c.results;
    EXPECT_EQ(table.Change("10.0.0.0", "255.0.0.0", "192.168.1.1", true), c.added);
    ASSERT_EQ(routes.created.size(), c.tries.size());
    for (std::size_t i = 0; i < c.tries.size(); ++i) {
      const RouteRow& r = routes.created[i];
      EXPECT_EQ(std::make_pair(r.type, r.metric1), c.tries[i]) << i;
      EXPECT_EQ(r.dest, Addr("10.0.0.0"));
      EXPECT_EQ(r.mask, Addr("255.0.0.0"));
      EXPECT_EQ(r.nextHop, Addr("192.168.1.1"));
      EXPECT_EQ(r.ifIndex, 7u);
      EXPECT_EQ(r.proto, 3u);
      EXPECT_EQ(r.policy, 0u);
      EXPECT_EQ(r.age, 0u);
      EXPECT_EQ(r.nextHopAs, 0u);
      EXPECT_EQ(r.metric2, 0xFFFFFFFFu);
      EXPECT_EQ(r.metric5, 0xFFFFFFFFu);
    }
  }
  EXPECT_EQ(routes.metricAsked.back(), 7u);
}

TEST_F(RouteTableTest, MetricFallsBackTo20WithoutTheMetricLibrary) {
  routes.metric.reset();
  EXPECT_TRUE(table.Change("10.0.0.0", "255.0.0.0", "192.168.1.1", true));
  EXPECT_EQ(routes.created[0].metric1, 20u);
  EXPECT_EQ(routes.created[0].ifIndex, 0u) << "no row through that gateway";
}

TEST_F(RouteTableTest, DeleteSetsOnlyTheRouteAndItsInterface) {
  routes.table = std::vector<RouteRow>{Row("0.0.0.0", "192.168.1.1", 10, 7)};
  EXPECT_TRUE(table.Change("10.0.0.0", "255.0.0.0", "192.168.1.1", false));
  routes.deleteResult = 1168;
  EXPECT_FALSE(table.Change("10.0.0.0", "255.0.0.0", "192.168.1.1", false));
  ASSERT_EQ(routes.deleted.size(), 2u);
  RouteRow expected{};
  expected.dest = Addr("10.0.0.0");
  expected.mask = Addr("255.0.0.0");
  expected.nextHop = Addr("192.168.1.1");
  expected.ifIndex = 7;
  EXPECT_EQ(std::memcmp(&routes.deleted[0], &expected, sizeof expected), 0);
  EXPECT_TRUE(routes.created.empty());
}

TEST_F(RouteTableTest, AddRouteSplitsAtTheFirstHyphen) {
  struct Case {
    const char* range;
    std::uint32_t dest, mask;
  } cases[] = {
      {"10.0.0.0-255.0.0.0", Addr("10.0.0.0"), Addr("255.0.0.0")},
      {"10.0.0.0-255.0.0.0-1", Addr("10.0.0.0"), kInaddrNone},
      {"255.255.0.0", kInaddrNone, Addr("255.255.0.0")},
  };
  for (const Case& c : cases) {
    routes.created.clear();
    EXPECT_TRUE(table.AddRange(c.range, "192.168.1.1"));
    ASSERT_EQ(routes.created.size(), 1u);
    EXPECT_EQ(routes.created[0].dest, c.dest) << c.range;
    EXPECT_EQ(routes.created[0].mask, c.mask) << c.range;
  }
}

}  // namespace
}  // namespace netcore
