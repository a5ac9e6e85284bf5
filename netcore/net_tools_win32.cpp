// Adapter list, registry, DHCP and DNS client notifications, ICMP echo.
#include <cstddef>
#include <cstring>

#include "netcore/library_win32.h"
#include "netcore/out_buffer.h"

#include <iphlpapi.h>
#include <icmpapi.h>

namespace netcore {

static_assert(sizeof(ICMP_ECHO_REPLY) == 40);
static_assert(offsetof(ICMP_ECHO_REPLY, Status) == 4);
static_assert(offsetof(ICMP_ECHO_REPLY, RoundTripTime) == 8);
static_assert(offsetof(ICMP_ECHO_REPLY, DataSize) == 12);
static_assert(offsetof(ICMP_ECHO_REPLY, Data) == 16);
static_assert(offsetof(ICMP_ECHO_REPLY, Options) == 24);

std::optional<std::vector<AdapterInfo>> AdapterWin32::ReadAdapters() {
  std::vector<unsigned char> buffer(640);
  ULONG size = static_cast<ULONG>(buffer.size());
  DWORD error = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
  if (error == ERROR_BUFFER_OVERFLOW) {
    buffer.assign(size, 0);
    error = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
  }
  if (error != NO_ERROR) return std::nullopt;
  std::vector<AdapterInfo> adapters;
  for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next) {
    a->AdapterName[sizeof a->AdapterName - 1] = '\0';
    a->Description[sizeof a->Description - 1] = '\0';
    adapters.push_back({a->AdapterName, a->Description});
  }
  return adapters;
}

bool AdapterWin32::WriteMachineString(const std::string& keyPath, const std::string& valueName,
                                      const std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
  LONG result = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void AdapterWin32::NotifyDhcpConfigChange(const std::string& adapterName) {
  using NotifyFn = DWORD(WINAPI*)(LPWSTR, LPWSTR, BOOL, DWORD, DWORD, DWORD, int);
  ModuleGuard dhcp{LoadSystemLibrary(L"dhcpcsvc.dll")};
  auto notify = LookUp<NotifyFn>(dhcp.module, "DhcpNotifyConfigChange");
  if (!notify) return;
  wchar_t name[257] = {};
  MultiByteToWideChar(CP_ACP, 0, adapterName.c_str(), -1, name, 256);
  notify(nullptr, name, FALSE, 0, 0, 0, 0);
}

void AdapterWin32::FlushDnsCache() {
  using FlushFn = BOOL(WINAPI*)();
  ModuleGuard dns{LoadSystemLibrary(L"dnsapi.dll")};
  if (auto flush = LookUp<FlushFn>(dns.module, "DnsFlushResolverCache")) flush();
}

std::optional<std::vector<EchoReply>> IcmpWin32::SendEcho(std::uint32_t target,
                                                          const std::array<unsigned char, kEchoDataSize>& data,
                                                          std::uint32_t timeoutMs) {
  HANDLE icmp = IcmpCreateFile();
  if (icmp == INVALID_HANDLE_VALUE) return std::nullopt;
  struct IcmpCloser {
    HANDLE h;
    ~IcmpCloser() { IcmpCloseHandle(h); }
  } closer{icmp};
  // Room for one reply with the echoed data, an ICMP error message (8 bytes)
  // and the status block the 64-bit system puts into the same buffer.
  std::vector<unsigned char> replyBuffer(sizeof(ICMP_ECHO_REPLY) + kEchoDataSize + 8 + 16);
  unsigned char request[kEchoDataSize];
  std::memcpy(request, data.data(), sizeof request);
  DWORD count = IcmpSendEcho(icmp, target, request, sizeof request, nullptr, replyBuffer.data(),
                             static_cast<DWORD>(replyBuffer.size()), timeoutMs);
  std::vector<EchoReply> replies;
  if (count > 0) {
    ICMP_ECHO_REPLY reply;
    std::memcpy(&reply, replyBuffer.data(), sizeof reply);
    replies.push_back({reply.Status, reply.RoundTripTime});
  }
  return replies;
}

}  // namespace netcore
