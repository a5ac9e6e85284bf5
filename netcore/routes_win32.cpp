// IP Helper's route table and metric.dll for the route logic.
#include <cstddef>
#include <cstring>

#include "netcore/library_win32.h"

#include <iphlpapi.h>

namespace netcore {

// RouteRow is copied to and from MIB_IPFORWARDROW byte for byte.
static_assert(sizeof(MIB_IPFORWARDROW) == 56 && sizeof(RouteRow) == sizeof(MIB_IPFORWARDROW));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardDest) == offsetof(RouteRow, dest));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardMask) == offsetof(RouteRow, mask));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardPolicy) == offsetof(RouteRow, policy));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardNextHop) == offsetof(RouteRow, nextHop));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardIfIndex) == offsetof(RouteRow, ifIndex));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardType) == offsetof(RouteRow, type));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardProto) == offsetof(RouteRow, proto));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardAge) == offsetof(RouteRow, age));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardNextHopAS) == offsetof(RouteRow, nextHopAs));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardMetric1) == offsetof(RouteRow, metric1));
static_assert(offsetof(MIB_IPFORWARDROW, dwForwardMetric5) == offsetof(RouteRow, metric5));
static_assert(MIB_IPROUTE_TYPE_DIRECT == kRouteTypeDirect && MIB_IPROUTE_TYPE_INDIRECT == kRouteTypeIndirect &&
              MIB_IPPROTO_NETMGMT == kRouteProtoNetmgmt && INADDR_NONE == kInaddrNone);

namespace {

MIB_IPFORWARDROW ToSystem(const RouteRow& row) {
  MIB_IPFORWARDROW system;
  std::memcpy(&system, &row, sizeof system);
  return system;
}

}  // namespace

std::optional<std::vector<RouteRow>> RouteWin32::ReadForwardTable() {
  ULONG size = 0;
  if (GetIpForwardTable(nullptr, &size, TRUE) != ERROR_INSUFFICIENT_BUFFER || size == 0) return std::nullopt;
  std::vector<unsigned char> buffer(size);
  auto* table = reinterpret_cast<MIB_IPFORWARDTABLE*>(buffer.data());
  if (GetIpForwardTable(table, &size, TRUE) != NO_ERROR) return std::nullopt;
  // The count must fit what the system wrote.
  std::size_t room = (buffer.size() - offsetof(MIB_IPFORWARDTABLE, table)) / sizeof(MIB_IPFORWARDROW);
  std::size_t count = table->dwNumEntries < room ? table->dwNumEntries : room;
  std::vector<RouteRow> rows(count);
  if (count) std::memcpy(rows.data(), table->table, count * sizeof(MIB_IPFORWARDROW));
  return rows;
}

std::uint32_t RouteWin32::CreateForwardEntry(const RouteRow& row) {
  MIB_IPFORWARDROW system = ToSystem(row);
  return CreateIpForwardEntry(&system);
}

std::uint32_t RouteWin32::DeleteForwardEntry(const RouteRow& row) {
  MIB_IPFORWARDROW system = ToSystem(row);
  return DeleteIpForwardEntry(&system);
}

std::optional<std::uint32_t> RouteWin32::InterfaceMetric(std::uint32_t ifIndex) {
  using GetMetricFn = DWORD (*)(DWORD);
  auto getMetric = LookUp<GetMetricFn>(metric_, "GetMetric");
  if (!getMetric) return std::nullopt;
  return getMetric(ifIndex);
}

std::uint32_t SocketsWin32::InetAddr(const std::string& text) { return inet_addr(text.c_str()); }

std::string SocketsWin32::ResolveName(const std::string& name) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 0), &data) != 0) return "";
  std::string ip;
  if (const hostent* host = gethostbyname(name.c_str())) {
    if (host->h_addrtype == AF_INET && host->h_addr_list && host->h_addr_list[0]) {
      in_addr address;
      std::memcpy(&address, host->h_addr_list[0], sizeof address);
      if (const char* text = inet_ntoa(address)) ip = text;
    }
  }
  WSACleanup();
  return ip;
}

}  // namespace netcore
