// The IPv4 route table operations: the best default gateway, adding and
// deleting routes through a gateway with the metric of its interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace netcore {

// One row of the system's IPv4 forward table, field for field
// (MIB_IPFORWARDROW; the layout is checked in routes_win32.cpp).
struct RouteRow {
  std::uint32_t dest = 0;
  std::uint32_t mask = 0;
  std::uint32_t policy = 0;
  std::uint32_t nextHop = 0;
  std::uint32_t ifIndex = 0;
  std::uint32_t type = 0;
  std::uint32_t proto = 0;
  std::uint32_t age = 0;
  std::uint32_t nextHopAs = 0;
  std::uint32_t metric1 = 0;
  std::uint32_t metric2 = 0;
  std::uint32_t metric3 = 0;
  std::uint32_t metric4 = 0;
  std::uint32_t metric5 = 0;
};

inline constexpr std::uint32_t kRouteTypeDirect = 3;    // MIB_IPROUTE_TYPE_DIRECT
inline constexpr std::uint32_t kRouteTypeIndirect = 4;  // MIB_IPROUTE_TYPE_INDIRECT
inline constexpr std::uint32_t kRouteProtoNetmgmt = 3;  // MIB_IPPROTO_NETMGMT
inline constexpr std::uint32_t kDefaultRouteMetricLimit = 100;
inline constexpr std::uint32_t kFallbackMetric = 20;
inline constexpr std::uint32_t kLastResortMetric = 1;
inline constexpr std::uint32_t kInaddrNone = 0xFFFFFFFF;

// IP Helper's route table. Results are system error codes, 0 for success.
class RouteApi {
 public:
  virtual ~RouteApi() = default;
  // The table sorted, or nothing when it cannot be read.
  virtual std::optional<std::vector<RouteRow>> ReadForwardTable() = 0;
  virtual std::uint32_t CreateForwardEntry(const RouteRow& row) = 0;
  virtual std::uint32_t DeleteForwardEntry(const RouteRow& row) = 0;
  // GetMetric of metric.dll; nothing when the library or its export is missing.
  virtual std::optional<std::uint32_t> InterfaceMetric(std::uint32_t ifIndex) = 0;
};

// The Windows Sockets conversions the library relies on.
class SocketsApi {
 public:
  virtual ~SocketsApi() = default;
  virtual std::uint32_t InetAddr(const std::string& text) = 0;  // network order, kInaddrNone
  // First IPv4 address of the name in dotted-decimal form, "" when unresolved.
  virtual std::string ResolveName(const std::string& name) = 0;
};

// inet_ntoa's form of an address in network byte order.
std::string FormatIpv4(std::uint32_t networkOrder);

class RouteTable {
 public:
  RouteTable(RouteApi& routes, SocketsApi& sockets) : routes_(routes), sockets_(sockets) {}

  // The next hop of the default route with the lowest metric below 100, right
  // aligned in 16 characters ("%16s"); "" when there is none.
  std::string DefaultGateway();
  bool Change(const std::string& dest, const std::string& mask, const std::string& gateway, bool add);
  // range: destination, "-", mask; split at the first hyphen.
  bool AddRange(const std::string& range, const std::string& gateway);

  std::uint32_t GatewayInterface(const std::string& gateway);
  std::uint32_t Metric(std::uint32_t ifIndex);

 private:
  bool Add(const std::string& dest, const std::string& mask, const std::string& gateway);

  RouteApi& routes_;
  SocketsApi& sockets_;
};

}  // namespace netcore
