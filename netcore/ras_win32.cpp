// Remote Access for the dialer: translates its requests into the fixed
// structures of rasapi32 and the dial notifications back.
#include <cstddef>
#include <cstring>

#include "netcore/library_win32.h"
#include "netcore/out_buffer.h"

#include <ras.h>
#include <raserror.h>

namespace netcore {

// The structures are handed to rasapi32 by size; a different header would
// silently send another layout.
static_assert(sizeof(RASENTRYA) == 2884, "RASENTRYA ending with the redial fields");
static_assert(offsetof(RASENTRYA, dwfOptions) == 4);
static_assert(offsetof(RASENTRYA, szLocalPhoneNumber) == 27);
static_assert(offsetof(RASENTRYA, dwfNetProtocols) == 184);
static_assert(offsetof(RASENTRYA, szDeviceType) == 972);
static_assert(offsetof(RASENTRYA, szDeviceName) == 989);
static_assert(offsetof(RASENTRYA, dwType) == 1796);
static_assert(offsetof(RASENTRYA, dwEncryptionType) == 1800);
static_assert(offsetof(RASENTRYA, guidId) == 1808);
static_assert(offsetof(RASENTRYA, dwVpnStrategy) == 2084);
static_assert(offsetof(RASENTRYA, dwfOptions2) == 2088);
static_assert(offsetof(RASENTRYA, dwRedialCount) == 2876);
static_assert(offsetof(RASENTRYA, dwRedialPause) == 2880);
static_assert(sizeof(RASDIALPARAMSA) == 1068);
static_assert(offsetof(RASDIALPARAMSA, szEntryName) == 4);
static_assert(offsetof(RASDIALPARAMSA, szPhoneNumber) == 261);
static_assert(offsetof(RASDIALPARAMSA, szUserName) == 519);
static_assert(offsetof(RASDIALPARAMSA, szPassword) == 776);
static_assert(offsetof(RASDIALPARAMSA, szDomain) == 1033);
static_assert(offsetof(RASDIALPARAMSA, dwSubEntry) == 1052);
static_assert(offsetof(RASDIALPARAMSA, dwCallbackId) == 1056);
static_assert(sizeof(RASCREDENTIALSA) == 540);
static_assert(offsetof(RASCREDENTIALSA, dwMask) == 4);
static_assert(offsetof(RASCREDENTIALSA, szUserName) == 8);
static_assert(offsetof(RASCREDENTIALSA, szPassword) == 265);
static_assert(offsetof(RASCREDENTIALSA, szDomain) == 522);

// The values the portable side decides with.
static_assert(RASCS_Connected == kRasConnected && RASCS_Disconnected == kRasDisconnected);
static_assert(RASCS_SubEntryDisconnected == 23);
static_assert(ERROR_BUFFER_TOO_SMALL == kErrorBufferTooSmall && ERROR_INVALID_HANDLE == kErrorInvalidHandle);
static_assert(RASEO_RemoteDefaultGateway == kRaseoRemoteDefaultGateway && RASEO_ModemLights == kRaseoModemLights &&
              RASEO_ShowDialingProgress == kRaseoShowDialingProgress);
static_assert(RASEO2_UsePreSharedKey == kRaseo2UsePreSharedKey && RASNP_Ip == kRasnpIp);
static_assert(RASET_Vpn == kRasetVpn && ET_Optional == kEtOptional);
static_assert(VS_PptpOnly == kVsPptpOnly && VS_L2tpOnly == kVsL2tpOnly);
static_assert(sizeof(RasHandle) == sizeof(HRASCONN));
static_assert(RAS_MaxPhoneNumber == kMaxPhoneNumber && UNLEN == kMaxUserName && PWLEN == kMaxPassword &&
              DNLEN == kMaxDomain && RAS_MaxEntryName == kMaxEntryName);

namespace {

// Copies into a fixed field; the dialer has refused longer values already.
template <std::size_t N>
void CopyField(char (&field)[N], const std::string& value) {
  CopyToBuffer(value, field, static_cast<int>(N));
}

HRASCONN ToHandle(RasHandle handle) { return reinterpret_cast<HRASCONN>(handle); }

DWORD WINAPI OnRasNotify(ULONG_PTR callbackId, DWORD, HRASCONN connection, UINT, RASCONNSTATE state, DWORD error,
                         DWORD) {
  TheLibrary().dialer.OnNotify(callbackId, reinterpret_cast<RasHandle>(connection), state, error);
  return 1;  // keep the notifications coming
}

}  // namespace

std::string RasWin32::TempPath() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetTempPathA(sizeof path, path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

std::uint32_t RasWin32::SetEntryProperties(const std::string& phonebook, const std::string& entry,
                                           const RasEntrySettings& settings) {
  RASENTRYA ras{};
  ras.dwSize = sizeof ras;
  ras.dwfOptions = settings.options;
  ras.dwfOptions2 = settings.options2;
  CopyField(ras.szLocalPhoneNumber, settings.localPhoneNumber);
  ras.dwfNetProtocols = settings.netProtocols;
  CopyField(ras.szDeviceType, settings.deviceType);
  CopyField(ras.szDeviceName, settings.deviceName);
  ras.dwType = settings.type;
  ras.dwEncryptionType = settings.encryptionType;
  ras.dwVpnStrategy = settings.vpnStrategy;
  ras.dwRedialCount = settings.redialCount;
  ras.dwRedialPause = settings.redialPause;
  // The system tells the entry size it expects; our structure is written in it.
  DWORD entrySize = 0;
  RasGetEntryPropertiesA(nullptr, nullptr, nullptr, &entrySize, nullptr, nullptr);
  if (entrySize == 0 || entrySize > sizeof ras) entrySize = sizeof ras;
  return RasSetEntryPropertiesA(phonebook.c_str(), entry.c_str(), &ras, entrySize, nullptr, 0);
}

std::uint32_t RasWin32::SetPresharedKey(const std::string& phonebook, const std::string& entry,
                                        const std::string& userName, const std::string& key) {
  RASCREDENTIALSA credentials{};
  credentials.dwSize = sizeof credentials;
  credentials.dwMask = RASCM_PreSharedKey;
  CopyField(credentials.szUserName, userName);
  CopyField(credentials.szPassword, key);
  DWORD error = RasSetCredentialsA(phonebook.c_str(), entry.c_str(), &credentials, FALSE);
  Wipe(&credentials, sizeof credentials);
  return error;
}

std::uint32_t RasWin32::Dial(const std::string& phonebook, const RasDialRequest& request, RasHandle* handle) {
  RASDIALPARAMSA params{};
  params.dwSize = sizeof params;
  CopyField(params.szEntryName, request.entryName);
  CopyField(params.szPhoneNumber, request.phoneNumber);
  CopyField(params.szUserName, request.userName);
  CopyField(params.szPassword, request.password);
  CopyField(params.szDomain, request.domain);
  // Comes back with every notification: it tells the attempts apart.
  params.dwCallbackId = static_cast<ULONG_PTR>(request.attemptId);
  HRASCONN connection = nullptr;
  DWORD error = RasDialA(nullptr, phonebook.c_str(), &params, 2, reinterpret_cast<LPVOID>(&OnRasNotify),
                         &connection);
  Wipe(&params, sizeof params);
  *handle = reinterpret_cast<RasHandle>(connection);
  return error;
}

std::uint32_t RasWin32::HangUp(RasHandle handle) { return RasHangUpA(ToHandle(handle)); }

std::uint32_t RasWin32::EnumConnections(std::size_t capacity, std::vector<RasConnection>& out,
                                        std::size_t& required) {
  std::vector<RASCONNA> connections(capacity > 0 ? capacity : 1);
  connections[0].dwSize = sizeof(RASCONNA);
  DWORD bytes = static_cast<DWORD>(connections.size() * sizeof(RASCONNA));
  DWORD count = 0;
  DWORD error = RasEnumConnectionsA(connections.data(), &bytes, &count);
  if (error == ERROR_BUFFER_TOO_SMALL) {
    required = (bytes + sizeof(RASCONNA) - 1) / sizeof(RASCONNA);
    return error;
  }
  if (error != 0) return error;
  out.clear();
  for (DWORD i = 0; i < count && i < connections.size(); ++i) {
    connections[i].szEntryName[RAS_MaxEntryName] = '\0';
    out.push_back({reinterpret_cast<RasHandle>(connections[i].hrasconn), connections[i].szEntryName});
  }
  return 0;
}

std::uint32_t RasWin32::ConnectStatus(RasHandle handle) {
  RASCONNSTATUSA status{};
  status.dwSize = sizeof status;
  return RasGetConnectStatusA(ToHandle(handle), &status);
}

std::string RasWin32::ErrorString(std::uint32_t error) {
  char text[256] = {};
  if (RasGetErrorStringA(error, text, sizeof text) != 0) return "";
  text[sizeof text - 1] = '\0';
  return text;
}

std::uint32_t RasWin32::ProjectionIp(RasHandle handle, std::string& ip) {
  RASPPPIPA projection{};
  projection.dwSize = sizeof projection;
  DWORD size = sizeof projection;
  DWORD error = RasGetProjectionInfoA(ToHandle(handle), RASP_PppIp, &projection, &size);
  if (error != 0) return error;
  projection.szIpAddress[RAS_MaxIpAddress] = '\0';
  ip = projection.szIpAddress;
  return 0;
}

std::uint32_t RasWin32::Statistics(RasHandle handle, std::uint32_t& bytesSent, std::uint32_t& bytesReceived) {
  RAS_STATS stats{};
  stats.dwSize = sizeof stats;
  DWORD error = RasGetConnectionStatistics(ToHandle(handle), &stats);
  bytesSent = stats.dwBytesXmited;
  bytesReceived = stats.dwBytesRcved;
  return error;
}

}  // namespace netcore
