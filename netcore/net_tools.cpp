#include "netcore/net_tools.h"

#include <cstring>
#include <string_view>

namespace netcore {

bool SetDnsServers(AdapterApi& adapters, const std::string& servers) {
  auto list = adapters.ReadAdapters();
  if (!list) return false;
  bool lastWritten = false;
  for (const AdapterInfo& adapter : *list) {
    lastWritten = adapters.WriteMachineString(kInterfacesKey + adapter.adapterName, "NameServer", servers);
    if (lastWritten) {
      // The DNS client keeps the old servers until told and its cache flushed.
      adapters.NotifyDhcpConfigChange(adapter.adapterName);
      adapters.FlushDnsCache();
    }
  }
  return lastWritten;
}

bool IsTapAdapter(const std::string& description) {
  // Older drivers name the adapter "TAP-Win32", current ones "TAP-Windows".
  for (std::string_view prefix : {"TAP-Win32 Adapter V9", "TAP-Windows Adapter V9"}) {
    if (description.compare(0, prefix.size(), prefix) == 0) return true;
  }
  return false;
}

bool HasTapAdapter(AdapterApi& adapters) {
  auto list = adapters.ReadAdapters();
  if (!list) return false;
  for (const AdapterInfo& adapter : *list) {
    if (IsTapAdapter(adapter.description)) return true;
  }
  return false;
}

std::array<unsigned char, kEchoDataSize> EchoData() {
  std::array<unsigned char, kEchoDataSize> data{};
  static constexpr char kText[] = "Data Buffer";
  std::memcpy(data.data(), kText, sizeof kText);
  return data;
}

int Ping(SocketsApi& sockets, IcmpApi& icmp, const std::string& host) {
  std::uint32_t target = sockets.InetAddr(host);
  if (target == kInaddrNone) {
    std::string ip = sockets.ResolveName(host);
    if (ip.empty()) return 0;  // nothing to send to
    target = sockets.InetAddr(ip);
    if (target == kInaddrNone) return 0;
  }
  auto replies = icmp.SendEcho(target, EchoData(), 1000);
  if (!replies || replies->empty()) return 0;
  const EchoReply& first = replies->front();
  // An error reply (unreachable, TTL expired) carries a time but no answer.
  if (first.status != 0) return 0;
  return static_cast<int>(first.roundTripTime);
}

}  // namespace netcore
