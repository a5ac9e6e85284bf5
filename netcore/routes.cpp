#include "netcore/routes.h"

#include <cstdio>

namespace netcore {

std::string FormatIpv4(std::uint32_t networkOrder) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", networkOrder & 0xFF, (networkOrder >> 8) & 0xFF,
                (networkOrder >> 16) & 0xFF, networkOrder >> 24);
  return text;
}

std::string RouteTable::DefaultGateway() {
  std::string result;
  auto table = routes_.ReadForwardTable();
  if (!table) return result;
  std::uint32_t best = kDefaultRouteMetricLimit;
  for (const RouteRow& row : *table) {
    if (row.dest == 0 && row.metric1 < best) {
      best = row.metric1;
      char text[32];
      std::snprintf(text, sizeof text, "%16s", FormatIpv4(row.nextHop).c_str());
      result = text;
    }
  }
  return result;
}

std::uint32_t RouteTable::GatewayInterface(const std::string& gateway) {
  std::uint32_t ifIndex = 0;
  auto table = routes_.ReadForwardTable();
  if (!table) return 0;
  for (const RouteRow& row : *table) {
    if (FormatIpv4(row.nextHop) == gateway) ifIndex = row.ifIndex;  // the last match wins
  }
  return ifIndex;
}

std::uint32_t RouteTable::Metric(std::uint32_t ifIndex) {
  return routes_.InterfaceMetric(ifIndex).value_or(kFallbackMetric);
}

bool RouteTable::Add(const std::string& dest, const std::string& mask, const std::string& gateway) {
  RouteRow row;
  row.dest = sockets_.InetAddr(dest);
  row.mask = sockets_.InetAddr(mask);
  row.nextHop = sockets_.InetAddr(gateway);
  row.ifIndex = GatewayInterface(gateway);
  row.proto = kRouteProtoNetmgmt;
  row.metric2 = row.metric3 = row.metric4 = row.metric5 = 0xFFFFFFFF;
  const std::uint32_t metric = Metric(row.ifIndex);

  // Some systems refuse an indirect route to an on-link gateway, others any
  // metric below the interface's: try the forms that one of them accepts.
  const struct {
    std::uint32_t type, metric;
  } tries[] = {{kRouteTypeIndirect, metric}, {kRouteTypeDirect, metric}, {kRouteTypeIndirect, kLastResortMetric}};
  for (const auto& attempt : tries) {
    row.type = attempt.type;
    row.metric1 = attempt.metric;
    if (routes_.CreateForwardEntry(row) == 0) return true;
  }
  return false;
}

bool RouteTable::Change(const std::string& dest, const std::string& mask, const std::string& gateway,
                        bool add) {
  if (add) return Add(dest, mask, gateway);
  RouteRow row{};
  row.dest = sockets_.InetAddr(dest);
  row.mask = sockets_.InetAddr(mask);
  row.nextHop = sockets_.InetAddr(gateway);
  row.ifIndex = GatewayInterface(gateway);
  return routes_.DeleteForwardEntry(row) == 0;
}

bool RouteTable::AddRange(const std::string& range, const std::string& gateway) {
  // Without a hyphen the whole text counts as the mask of an empty destination.
  std::size_t hyphen = range.find('-');
  std::string dest = hyphen == std::string::npos ? "" : range.substr(0, hyphen);
  std::string mask = hyphen == std::string::npos ? range : range.substr(hyphen + 1);
  return Add(dest, mask, gateway);
}

}  // namespace netcore
