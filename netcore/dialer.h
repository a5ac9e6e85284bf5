// Dialing, watching and hanging up the library's own remote-access entry
// "vodev". The logic talks to Remote Access only through RasApi and waits only
// through SyncApi, so every decision runs under native tests with fakes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace netcore {

using RasHandle = std::uintptr_t;  // HRASCONN; 0 is none

inline constexpr char kEntryName[] = "vodev";
inline constexpr char kPresharedKey[] = "ruvo";

// Connection states reported with every message.
inline constexpr int kStateHungUp = -1;
inline constexpr int kStateIdle = 0;
inline constexpr int kStateConnected = 1;
inline constexpr int kStateConnecting = 2;

// Remote Access values the logic decides with (checked against the SDK in
// ras_win32.cpp).
inline constexpr std::uint32_t kRasConnected = 0x2000;     // RASCS_Connected
inline constexpr std::uint32_t kRasDisconnected = 0x2001;  // RASCS_Disconnected
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorBufferTooSmall = 603;

inline constexpr std::uint32_t kRaseoRemoteDefaultGateway = 0x00000010;
inline constexpr std::uint32_t kRaseoModemLights = 0x00000100;
inline constexpr std::uint32_t kRaseoShowDialingProgress = 0x04000000;
inline constexpr std::uint32_t kRaseo2UsePreSharedKey = 0x00000010;
inline constexpr std::uint32_t kRasnpIp = 0x00000004;
inline constexpr std::uint32_t kRasetVpn = 2;
inline constexpr std::uint32_t kEtOptional = 3;
inline constexpr std::uint32_t kVsPptpOnly = 1;
inline constexpr std::uint32_t kVsL2tpOnly = 3;

// Room of the fixed Remote Access text fields, terminating zero excluded.
inline constexpr std::size_t kMaxEntryName = 256;
inline constexpr std::size_t kMaxPhoneNumber = 128;
inline constexpr std::size_t kMaxUserName = 256;
inline constexpr std::size_t kMaxPassword = 256;
inline constexpr std::size_t kMaxDomain = 15;

// The fields of the phonebook entry that the library sets; all others zero.
struct RasEntrySettings {
  std::uint32_t options = 0;
  std::uint32_t options2 = 0;
  std::string localPhoneNumber;
  std::uint32_t netProtocols = 0;
  std::string deviceType;
  std::string deviceName;
  std::uint32_t type = 0;
  std::uint32_t encryptionType = 0;
  std::uint32_t vpnStrategy = 0;
  std::uint32_t redialCount = 0;
  std::uint32_t redialPause = 0;
};

struct RasDialRequest {
  std::string entryName;
  std::string phoneNumber;
  std::string userName;
  std::string password;
  std::string domain;
  std::uint64_t attemptId = 0;  // comes back with every notification
};

struct RasConnection {
  RasHandle handle = 0;
  std::string entryName;
};

// Remote Access. Results are system error codes, 0 for success.
class RasApi {
 public:
  virtual ~RasApi() = default;
  virtual std::string TempPath() = 0;  // ends in a backslash
  virtual std::uint32_t SetEntryProperties(const std::string& phonebook, const std::string& entry,
                                           const RasEntrySettings& settings) = 0;
  virtual std::uint32_t SetPresharedKey(const std::string& phonebook, const std::string& entry,
                                        const std::string& userName, const std::string& key) = 0;
  // Starts an asynchronous dial; progress arrives through Dialer::OnNotify.
  virtual std::uint32_t Dial(const std::string& phonebook, const RasDialRequest& request,
                             RasHandle* handle) = 0;
  virtual std::uint32_t HangUp(RasHandle handle) = 0;
  // Lists up to capacity connections; kErrorBufferTooSmall with required set
  // when more are open.
  virtual std::uint32_t EnumConnections(std::size_t capacity, std::vector<RasConnection>& out,
                                        std::size_t& required) = 0;
  virtual std::uint32_t ConnectStatus(RasHandle handle) = 0;
  virtual std::string ErrorString(std::uint32_t error) = 0;
  virtual std::uint32_t ProjectionIp(RasHandle handle, std::string& ip) = 0;
  virtual std::uint32_t Statistics(RasHandle handle, std::uint32_t& bytesSent,
                                   std::uint32_t& bytesReceived) = 0;
};

class CompletionEvent {
 public:
  virtual ~CompletionEvent() = default;
  virtual void Signal() = 0;
  virtual bool Wait(std::uint32_t milliseconds) = 0;  // true when signalled
};

// Waiting and threads: real on Windows, instant and inline in tests.
class SyncApi {
 public:
  virtual ~SyncApi() = default;
  // Null with the system error code when no event can be had.
  virtual std::unique_ptr<CompletionEvent> NewCompletionEvent(std::uint32_t& error) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual void StartWorker(std::function<void()> work) = 0;
};

using ProgressCallback = void (*)(int state, const char* text);

// Texts reported for the Remote Access states 0 to 23.
const char* RasStateText(std::uint32_t rasState);

RasEntrySettings MakeEntrySettings(const std::string& server, int protocolType);

class Dialer {
 public:
  Dialer(RasApi& ras, SyncApi& sync) : ras_(ras), sync_(sync) {}

  static constexpr std::uint32_t kConnectTimeoutMs = 20000;
  static constexpr std::uint32_t kGonePollMs = 50;
  static constexpr int kGonePolls = 60;  // about 3 seconds

  // The exports. Callbacks never run on the calling thread.
  int Connect(const char* server, const char* user, const char* password, int protocolType,
              ProgressCallback callback);
  int Disconnect(ProgressCallback callback);
  int Disconnect2();
  bool Status();
  std::string Ip();
  std::uint32_t Flow();
  std::uint32_t SendFlow();
  std::uint32_t RecvFlow();

  // The notification routine; RAS passes back the attempt id of the dial.
  void OnNotify(std::uint64_t attemptId, RasHandle handle, std::uint32_t rasState,
                std::uint32_t error);

 private:
  struct Attempt {
    std::uint64_t id = 0;
    std::unique_ptr<CompletionEvent> event;
    std::atomic<RasHandle> handle{0};
  };
  struct Request {
    std::string server, user, password;
    int protocolType = 1;
  };

  void ConnectWorker(Request& request);
  void SetupEntry(const std::string& phonebook, const Request& request);
  // Hangs up the handle and the first connection named exactly "vodev", then
  // waits until Remote Access has let go of both.
  void HangUpAndWait(RasHandle handle);
  void WaitUntilGone(RasHandle handle);
  std::optional<std::vector<RasConnection>> ListConnections();
  bool Statistics(std::uint32_t& sent, std::uint32_t& received);
  std::shared_ptr<Attempt> Supersede(std::shared_ptr<Attempt> next);
  bool IsCurrent(const Attempt& attempt);
  RasHandle CurrentHandle();

  void Report(int state, const std::string& text);  // with the given state
  void ReportCurrent(const std::string& text);      // with the state as it is
  void SetState(int state);
  int State();

  RasApi& ras_;
  SyncApi& sync_;
  std::mutex mutex_;
  // Held from a hang-up to the dial that follows it, so no other worker's
  // hang-up by name can fall in between and end the new connection.
  std::mutex dialMutex_;
  ProgressCallback callback_ = nullptr;
  int state_ = kStateIdle;
  std::shared_ptr<Attempt> current_;
  std::uint64_t nextAttemptId_ = 0;
};

}  // namespace netcore
