// The Win32 side of dravik.dll: the system tables behind the portable logic
// and the one library object the exports work on.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "netcore/dialer.h"
#include "netcore/net_tools.h"
#include "netcore/routes.h"

namespace netcore {

class RasWin32 : public RasApi {
 public:
  std::string TempPath() override;
  std::uint32_t SetEntryProperties(const std::string& phonebook, const std::string& entry,
                                   const RasEntrySettings& settings) override;
  std::uint32_t SetPresharedKey(const std::string& phonebook, const std::string& entry,
                                const std::string& userName, const std::string& key) override;
  std::uint32_t Dial(const std::string& phonebook, const RasDialRequest& request, RasHandle* handle) override;
  std::uint32_t HangUp(RasHandle handle) override;
  std::uint32_t EnumConnections(std::size_t capacity, std::vector<RasConnection>& out,
                                std::size_t& required) override;
  std::uint32_t ConnectStatus(RasHandle handle) override;
  std::string ErrorString(std::uint32_t error) override;
  std::uint32_t ProjectionIp(RasHandle handle, std::string& ip) override;
  std::uint32_t Statistics(RasHandle handle, std::uint32_t& bytesSent, std::uint32_t& bytesReceived) override;
};

class SyncWin32 : public SyncApi {
 public:
  std::unique_ptr<CompletionEvent> NewCompletionEvent(std::uint32_t& error) override;
  void Sleep(std::uint32_t milliseconds) override;
  void StartWorker(std::function<void()> work) override;
};

class RouteWin32 : public RouteApi {
 public:
  explicit RouteWin32(HMODULE metric) : metric_(metric) {}
  std::optional<std::vector<RouteRow>> ReadForwardTable() override;
  std::uint32_t CreateForwardEntry(const RouteRow& row) override;
  std::uint32_t DeleteForwardEntry(const RouteRow& row) override;
  std::optional<std::uint32_t> InterfaceMetric(std::uint32_t ifIndex) override;

 private:
  HMODULE metric_;
};

class SocketsWin32 : public SocketsApi {
 public:
  std::uint32_t InetAddr(const std::string& text) override;
  std::string ResolveName(const std::string& name) override;
};

class AdapterWin32 : public AdapterApi {
 public:
  std::optional<std::vector<AdapterInfo>> ReadAdapters() override;
  bool WriteMachineString(const std::string& keyPath, const std::string& valueName,
                          const std::string& value) override;
  void NotifyDhcpConfigChange(const std::string& adapterName) override;
  void FlushDnsCache() override;
};

class IcmpWin32 : public IcmpApi {
 public:
  std::optional<std::vector<EchoReply>> SendEcho(std::uint32_t target,
                                                 const std::array<unsigned char, kEchoDataSize>& data,
                                                 std::uint32_t timeoutMs) override;
};

// A library from the folder of dravik.dll, or one from System32; never from
// the search path, where a planted copy would be found first.
HMODULE LoadOwnLibrary(const wchar_t* fileName);
HMODULE LoadSystemLibrary(const wchar_t* fileName);

template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Frees a library loaded for one call.
struct ModuleGuard {
  HMODULE module;
  ~ModuleGuard() {
    if (module) FreeLibrary(module);
  }
};

struct Library {
  explicit Library(HMODULE metric) : metric(metric), routeApi(metric) {}
  HMODULE metric;  // stays loaded for the life of the process
  RasWin32 ras;
  SyncWin32 sync;
  Dialer dialer{ras, sync};
  RouteWin32 routeApi;
  SocketsWin32 sockets;
  RouteTable routes{routeApi, sockets};
  AdapterWin32 adapters;
  IcmpWin32 icmp;
};

// Started at the first call of any export: loading libraries and showing a
// message box are not safe while the loader lock is held in DllMain.
Library& TheLibrary();

}  // namespace netcore
