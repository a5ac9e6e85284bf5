// DNS servers of the adapters, the virtual adapter check, name resolution and
// ICMP echo.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "netcore/routes.h"

namespace netcore {

struct AdapterInfo {
  std::string adapterName;  // the GUID text
  std::string description;
};

// IP Helper's adapter list, the registry and the system's reaction to a
// changed setting.
class AdapterApi {
 public:
  virtual ~AdapterApi() = default;
  virtual std::optional<std::vector<AdapterInfo>> ReadAdapters() = 0;
  // Opens HKEY_LOCAL_MACHINE\keyPath for all access and writes a REG_SZ value.
  virtual bool WriteMachineString(const std::string& keyPath, const std::string& valueName,
                                  const std::string& value) = 0;
  virtual void NotifyDhcpConfigChange(const std::string& adapterName) = 0;
  virtual void FlushDnsCache() = 0;
};

inline constexpr std::size_t kEchoDataSize = 32;

struct EchoReply {
  std::uint32_t status = 0;  // 0 is IP_SUCCESS
  std::uint32_t roundTripTime = 0;
};

class IcmpApi {
 public:
  virtual ~IcmpApi() = default;
  // One echo; the replies that arrived, or nothing when no ICMP handle or
  // reply buffer could be had.
  virtual std::optional<std::vector<EchoReply>> SendEcho(std::uint32_t target,
                                                         const std::array<unsigned char, kEchoDataSize>& data,
                                                         std::uint32_t timeoutMs) = 0;
};

inline constexpr char kInterfacesKey[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// Writes "NameServer" for every adapter; true when the last one was written.
bool SetDnsServers(AdapterApi& adapters, const std::string& servers);
bool HasTapAdapter(AdapterApi& adapters);
bool IsTapAdapter(const std::string& description);
std::array<unsigned char, kEchoDataSize> EchoData();
// Round trip in milliseconds of a successful reply, 0 otherwise.
int Ping(SocketsApi& sockets, IcmpApi& icmp, const std::string& host);

}  // namespace netcore
