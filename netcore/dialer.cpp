#include "netcore/dialer.h"

#include <cstdio>
#include <iterator>
#include <utility>

#include "netcore/out_buffer.h"

namespace netcore {
namespace {

// Stored in code page 936, as the client shows it.
constexpr char kTimeoutText[] =
    "\xc1\xac\xbd\xd3\xca\xa7\xb0\xdc\xa3\xac\xc7\xeb\xb3\xa2\xca\xd4\xb8\xfc\xbb\xbb\xc8\xed\xbc"
    "\xfe\xd3\xd2\xcf\xc2\xbd\xc7\xb5\xc4\xc1\xac\xbd\xd3\xc0\xe0\xd0\xcd\n";

constexpr const char* kStateTexts[] = {
    "Opening port...\n",
    "Port opened.\n",
    "Connecting device...\n",
    "Device connected.\n",
    "All devices connected.\n",
    "Authenticating...\n",
    "Authentication notify.\n",
    "Retrying authentication...\n",
    "Authentication callback...\n",
    "Change password...\n",
    "Projection phase started...\n",
    "Negotiating speed...\n",
    "Authentication acknowledge...\n",
    "Retrying Authentication...\n",
    "Authentication complete.\n",
    "Preparing for callback...\n",
    "Waiting for modem reset...\n",
    "Waiting for callback...\n",
    "Projection completed.\n",
    "Starting authentication...\n",
    "Callback complete.\n",
    "Logon to the network.\n",
    "Subentry connected.\n",
    "Subentry disconnected.\n",
};

// Every message fits the client's 1024-byte buffer.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[1024];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

}  // namespace

const char* RasStateText(std::uint32_t rasState) {
  return rasState < std::size(kStateTexts) ? kStateTexts[rasState] : nullptr;
}

RasEntrySettings MakeEntrySettings(const std::string& server, int protocolType) {
  RasEntrySettings entry;
  entry.options = kRaseoRemoteDefaultGateway | kRaseoModemLights | kRaseoShowDialingProgress;
  entry.localPhoneNumber = server;
  entry.netProtocols = kRasnpIp;
  entry.deviceType = "vpn";
  entry.deviceName = "RAS VPN Line 0";
  entry.type = kRasetVpn;
  entry.encryptionType = kEtOptional;
  entry.redialCount = 10;
  entry.redialPause = 10;
  if (protocolType == 2) {
    entry.vpnStrategy = kVsL2tpOnly;
    entry.options2 = kRaseo2UsePreSharedKey;
  } else {
    entry.vpnStrategy = kVsPptpOnly;
  }
  return entry;
}

int Dialer::Connect(const char* server, const char* user, const char* password, int protocolType,
                    ProgressCallback callback) {
  {
    std::lock_guard lock(mutex_);
    callback_ = callback;
    state_ = kStateConnecting;
  }
  auto request = std::make_shared<Request>();
  request->server = server ? server : "";
  request->user = user ? user : "";
  request->password = password ? password : "";
  request->protocolType = protocolType;
  sync_.StartWorker([this, request] {
    ConnectWorker(*request);
    WipeString(request->password);
  });
  sync_.Sleep(100);
  return 0;
}

void Dialer::ConnectWorker(Request& request) {
  // The fixed dial fields would cut a longer value and dial something else.
  if (request.server.size() > kMaxPhoneNumber || request.user.size() > kMaxUserName ||
      request.password.size() > kMaxPassword) {
    SetState(kStateIdle);
    Report(kStateIdle, "Dial parameters too long: server, user name or password\n");
    return;
  }

  std::uint32_t error = 0;
  auto event = sync_.NewCompletionEvent(error);
  if (!event) {
    // Failures that end the attempt carry state 0: only that tells the client
    // to give its buttons back.
    SetState(kStateIdle);
    Report(kStateIdle, Format("CreateEvent failed with error %d\n", static_cast<int>(error)));
    return;
  }
  auto attempt = std::make_shared<Attempt>();
  attempt->event = std::move(event);

  {
    std::unique_lock dialLock(dialMutex_);
    {
      std::lock_guard lock(mutex_);
      attempt->id = ++nextAttemptId_;
    }
    std::shared_ptr<Attempt> previous = Supersede(attempt);
    HangUpAndWait(previous ? previous->handle.load() : 0);

    const std::string phonebook = ras_.TempPath() + "dial.pbk";
    SetupEntry(phonebook, request);
    ReportCurrent(Format("Dialing... %s\n", request.server.c_str()));

    RasDialRequest dial{kEntryName, request.server, request.user, request.password, "", attempt->id};
    RasHandle handle = 0;
    error = ras_.Dial(phonebook, dial, &handle);
    WipeString(dial.password);
    if (handle != 0) attempt->handle = handle;
    if (error != 0) {
      if (handle != 0) ras_.HangUp(handle);  // a refused dial may still hold a handle
      if (IsCurrent(*attempt)) {
        SetState(kStateIdle);
        Report(kStateIdle, Format("RasDial %s failed with error %d\n", request.server.c_str(),
                                  static_cast<int>(error)));
      }
      return;
    }
  }

  if (attempt->event->Wait(kConnectTimeoutMs)) return;

  std::unique_lock dialLock(dialMutex_);
  if (!IsCurrent(*attempt)) {
    // A newer attempt owns "vodev" now; only our own handle is ours to end.
    if (RasHandle own = attempt->handle.load()) ras_.HangUp(own);
    return;
  }
  HangUpAndWait(attempt->handle.load());
  sync_.Sleep(100);
  SetState(kStateIdle);
  Report(kStateIdle, kTimeoutText);
}

void Dialer::SetupEntry(const std::string& phonebook, const Request& request) {
  std::uint32_t error = ras_.SetEntryProperties(phonebook, kEntryName,
                                                MakeEntrySettings(request.server, request.protocolType));
  if (error != 0) {
    SetState(kStateIdle);
    Report(kStateIdle, Format("RasSetEntryProperties %s failed error=%d\n", kEntryName,
                              static_cast<int>(error)));
    return;
  }
  if (request.protocolType != 2) return;
  std::string key = kPresharedKey;
  error = ras_.SetPresharedKey(phonebook, kEntryName, request.user, key);
  WipeString(key);
  if (error != 0) {
    ReportCurrent(Format("RasSetCredentials %s failed error=%d\n", kEntryName, static_cast<int>(error)));
    SetState(kStateIdle);
  }
}

int Dialer::Disconnect(ProgressCallback callback) {
  {
    std::lock_guard lock(mutex_);
    callback_ = callback;
  }
  sync_.StartWorker([this] {
    std::unique_lock dialLock(dialMutex_);
    // The attempt ends here: its late time-out or notifications must not
    // report over the hang-up.
    std::shared_ptr<Attempt> previous = Supersede(nullptr);
    ReportCurrent("DISCONNECTING");
    HangUpAndWait(previous ? previous->handle.load() : 0);
    SetState(kStateHungUp);
    Report(kStateHungUp, "DISCONNECT");
  });
  return 0;
}

int Dialer::Disconnect2() {
  if (auto connections = ListConnections()) {
    for (const RasConnection& c : *connections) {
      if (c.entryName == kEntryName) {
        ras_.HangUp(c.handle);
        break;
      }
    }
  }
  return 0;
}

void Dialer::HangUpAndWait(RasHandle handle) {
  std::vector<RasHandle> ended;
  if (handle != 0) {
    ras_.HangUp(handle);
    ended.push_back(handle);
  }
  if (auto connections = ListConnections()) {
    for (const RasConnection& c : *connections) {
      if (c.entryName == kEntryName) {
        ras_.HangUp(c.handle);
        if (c.handle != handle) ended.push_back(c.handle);
        break;
      }
    }
  }
  for (RasHandle h : ended) WaitUntilGone(h);
}

void Dialer::WaitUntilGone(RasHandle handle) {
  // Dialing again while the old link is still torn down makes the new dial fail.
  for (int i = 0; i < kGonePolls; ++i) {
    if (ras_.ConnectStatus(handle) == kErrorInvalidHandle) return;
    sync_.Sleep(kGonePollMs);
  }
}

std::optional<std::vector<RasConnection>> Dialer::ListConnections() {
  std::size_t capacity = 20;
  for (int tries = 0; tries < 4; ++tries) {
    std::vector<RasConnection> out;
    std::size_t required = 0;
    std::uint32_t error = ras_.EnumConnections(capacity, out, required);
    if (error == 0) return out;
    if (error != kErrorBufferTooSmall || required <= capacity) return std::nullopt;
    capacity = required;  // more connections opened meanwhile: ask again
  }
  return std::nullopt;
}

bool Dialer::Status() {
  auto connections = ListConnections();
  if (!connections) return false;
  for (const RasConnection& c : *connections) {
    if (c.entryName.find(kEntryName) != std::string::npos) return true;
  }
  return false;
}

std::string Dialer::Ip() {
  RasHandle handle = CurrentHandle();
  if (handle == 0) return "";
  std::string ip;
  if (ras_.ProjectionIp(handle, ip) != 0) return "";
  return ip;
}

bool Dialer::Statistics(std::uint32_t& sent, std::uint32_t& received) {
  sent = received = 0;
  if (!Status()) return false;
  // A refused query counts as nothing transferred.
  return ras_.Statistics(CurrentHandle(), sent, received) == 0;
}

std::uint32_t Dialer::Flow() {
  std::uint32_t sent, received;
  if (!Statistics(sent, received)) return 0;
  return sent / 1024 + received / 1024;
}

std::uint32_t Dialer::SendFlow() {
  std::uint32_t sent, received;
  return Statistics(sent, received) ? sent / 1024 : 0;
}

std::uint32_t Dialer::RecvFlow() {
  std::uint32_t sent, received;
  return Statistics(sent, received) ? received / 1024 : 0;
}

void Dialer::OnNotify(std::uint64_t attemptId, RasHandle handle, std::uint32_t rasState,
                      std::uint32_t error) {
  std::shared_ptr<Attempt> attempt;
  {
    std::lock_guard lock(mutex_);
    // A replaced or hung-up attempt has nothing more to say to the client.
    if (!current_ || current_->id != attemptId) return;
    attempt = current_;
  }
  if (handle != 0) {
    RasHandle none = 0;
    attempt->handle.compare_exchange_strong(none, handle);  // may come before Dial returns
  }
  if (error != 0) {
    std::string text = ras_.ErrorString(error);
    SetState(kStateIdle);
    Report(kStateIdle, Format("Error: %d - %s\n", static_cast<int>(error), text.c_str()));
    attempt->event->Signal();
  } else if (rasState == kRasConnected) {
    SetState(kStateConnected);
    Report(kStateConnected, "SUCCESS");
    attempt->event->Signal();
  } else if (rasState == kRasDisconnected) {
    ReportCurrent("disconnecting vpn...\n");
    attempt->event->Signal();
  } else if (const char* text = RasStateText(rasState)) {
    ReportCurrent(text);
  }
}

std::shared_ptr<Dialer::Attempt> Dialer::Supersede(std::shared_ptr<Attempt> next) {
  std::shared_ptr<Attempt> previous;
  {
    std::lock_guard lock(mutex_);
    previous = std::exchange(current_, std::move(next));
  }
  if (previous) previous->event->Signal();  // its worker stops waiting
  return previous;
}

bool Dialer::IsCurrent(const Attempt& attempt) {
  std::lock_guard lock(mutex_);
  return current_.get() == &attempt;
}

RasHandle Dialer::CurrentHandle() {
  std::lock_guard lock(mutex_);
  return current_ ? current_->handle.load() : 0;
}

void Dialer::Report(int state, const std::string& text) {
  ProgressCallback callback;
  {
    std::lock_guard lock(mutex_);
    callback = callback_;
  }
  // Outside the lock: the client's callback may call back into the library.
  if (callback) callback(state, text.c_str());
}

void Dialer::ReportCurrent(const std::string& text) { Report(State(), text); }

void Dialer::SetState(int state) {
  std::lock_guard lock(mutex_);
  state_ = state;
}

int Dialer::State() {
  std::lock_guard lock(mutex_);
  return state_;
}

}  // namespace netcore
