// metric.dll: the metric of an IPv4 interface, for the routes dravik.dll adds.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <string>

namespace {

constexpr DWORD kDefaultMetric = 20;

// Older systems have no per-interface metric: the fixed default answers there.
bool HasInterfaceMetrics() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) return false;
  return version.dwMajorVersion > 5;
}

// From System32 only, never from the search path.
HMODULE LoadIpHelper() {
  wchar_t folder[MAX_PATH];
  UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, n) + L"\\Iphlpapi.dll").c_str());
}

}  // namespace

extern "C" DWORD GetMetric(DWORD interfaceIndex) {
  if (!HasInterfaceMetrics()) return kDefaultMetric;
  HMODULE ipHelper = LoadIpHelper();
  if (!ipHelper) return kDefaultMetric;
  using GetEntryFn = DWORD(WINAPI*)(MIB_IPINTERFACE_ROW*);
  auto getEntry =
      reinterpret_cast<GetEntryFn>(reinterpret_cast<void*>(GetProcAddress(ipHelper, "GetIpInterfaceEntry")));
  DWORD metric = kDefaultMetric;
  if (getEntry) {
    MIB_IPINTERFACE_ROW row{};
    row.Family = AF_INET;
    row.InterfaceLuid.Value = 0;
    row.InterfaceIndex = interfaceIndex;
    if (getEntry(&row) == NO_ERROR) metric = row.Metric;
  }
  FreeLibrary(ipHelper);
  return metric;
}
