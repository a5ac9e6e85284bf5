// The plain C exports of dravik.dll. The client looks each one up by name;
// booleans are one byte, texts are in the system code page, and nothing is
// thrown across this boundary.
#include "netcore/library_win32.h"
#include "netcore/out_buffer.h"

using netcore::TheLibrary;

namespace {

template <typename Fn, typename Result>
Result Guarded(Fn&& fn, Result fallback) {
  try {
    return fn();
  } catch (...) {
    return fallback;
  }
}

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

extern "C" {

int ConnnectVpn(const char* server, const char* user, const char* password, int protocolType,
                netcore::ProgressCallback callback) {
  return Guarded([&] { return TheLibrary().dialer.Connect(server, user, password, protocolType, callback); }, 0);
}

int DisconnectVpn(netcore::ProgressCallback callback) {
  return Guarded([&] { return TheLibrary().dialer.Disconnect(callback); }, 0);
}

int DisconnectVpn2() {
  return Guarded([] { return TheLibrary().dialer.Disconnect2(); }, 0);
}

bool GetVpnStatus() {
  return Guarded([] { return TheLibrary().dialer.Status(); }, false);
}

void GetVpnIP(char* out, int size) {
  netcore::CopyToBuffer("", out, size);
  Guarded([&] { netcore::CopyToBuffer(TheLibrary().dialer.Ip(), out, size); return 0; }, 0);
}

unsigned int GetVpnFlow() {
  return Guarded([] { return TheLibrary().dialer.Flow(); }, 0u);
}

unsigned int GetVpnSendFlow() {
  return Guarded([] { return TheLibrary().dialer.SendFlow(); }, 0u);
}

unsigned int GetVpnRecvFlow() {
  return Guarded([] { return TheLibrary().dialer.RecvFlow(); }, 0u);
}

void GetDefaultGateway(char* out, int size) {
  netcore::CopyToBuffer("", out, size);
  Guarded([&] { netcore::CopyToBuffer(TheLibrary().routes.DefaultGateway(), out, size); return 0; }, 0);
}

bool ChangeRouteTable(const char* dest, const char* mask, const char* gateway, unsigned char add) {
  // A one-byte flag: only 1 adds, anything else deletes.
  return Guarded([&] { return TheLibrary().routes.Change(Text(dest), Text(mask), Text(gateway), add == 1); },
                 false);
}

bool AddRoute(const char* range, const char* gateway) {
  return Guarded([&] { return TheLibrary().routes.AddRange(Text(range), Text(gateway)); }, false);
}

bool SetDNS(const char* servers) {
  return Guarded([&] { return netcore::SetDnsServers(TheLibrary().adapters, Text(servers)); }, false);
}

bool FindTapAdapter() {
  return Guarded([] { return netcore::HasTapAdapter(TheLibrary().adapters); }, false);
}

void GetDomainIp(const char* host, char* out, int size) {
  netcore::CopyToBuffer("", out, size);
  Guarded([&] { netcore::CopyToBuffer(TheLibrary().sockets.ResolveName(Text(host)), out, size); return 0; }, 0);
}

int PingHost(const char* host) {
  return Guarded([&] { return netcore::Ping(TheLibrary().sockets, TheLibrary().icmp, Text(host)); }, 0);
}

}  // extern "C"
