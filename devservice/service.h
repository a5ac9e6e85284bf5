// The service's behaviour: one request in, one answer out, over state kept
// in memory for the run. No sockets here; http_frontend.* carries requests
// in and answers out.
#pragma once

#include "devservice/roles.h"
#include "devservice/service_data.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace devservice {

// The key of the login answer, shared with the client.
inline constexpr std::string_view kLoginKey = "kt204719";
// The client deciphers the login answer through fixed buffers.
inline constexpr std::size_t kMaxLoginDocumentBytes = 2040;
// A session not heard of for this long no longer counts against maxonline.
inline constexpr long long kSessionIdleSeconds = 120;
inline constexpr int kDefaultSlowMs = 3000;

// What an answer is made of, per role and path, switchable by tests.
enum class Mode { kNormal, kHtml, kEmpty, kGarbled, kSlow, kFail };

std::string_view ModeName(Mode mode);
std::optional<Mode> ModeFromName(std::string_view name);

struct Request {
  Role role = Role::kPrimary;
  std::string target;  // "/path?query" exactly as received
  std::string peer;    // the caller's address
  long long now = 0;   // seconds since 1970 (UTC)
};

struct Answer {
  int status = 200;
  std::string contentType;
  std::string body;     // the bytes sent: GBK for everything the client reads
  std::string kind;     // one token for the request log
  int delayMs = 0;      // the front end waits this long before answering
  bool logged = true;   // control requests stay out of the request log
};

struct Session {
  std::string id;
  std::string user;
  std::string desKey;
  long long loginTime = 0;
  long long lastSeen = 0;
  std::string nasName;  // from the last heartbeat
  int heartbeats = 0;
  bool ended = false;
};

class DevService {
 public:
  DevService(ServiceData seed, unsigned randomSeed);

  // Answers a client request or a control request ("/__dev/..."). Never
  // throws; any input gives an answer.
  Answer Handle(const Request& request);

  // role and path may be "*"; role is a role name. Returns false with a
  // reason for an unknown role.
  bool SetSwitch(std::string_view role, std::string_view path, Mode mode, int delayMs, std::string& error);
  void SetVersion(std::string version);
  // What /__dev/reset goes back to: the seed, plus the switches and version
  // as they stand when this is called (the command line's).
  void KeepAsStartState();

  std::vector<std::string> LogLines() const;
  std::optional<Session> FindSession(const std::string& id) const;
  std::optional<Account> FindAccount(const std::string& nameUtf8) const;

  // Receives every request log line as it is made (stdout, a log file).
  void SetLogSink(std::function<void(const std::string&)> sink);

 private:
  struct Switch {
    Mode mode = Mode::kNormal;
    int delayMs = 0;
  };

  Answer HandleControl(const Request& request);
  Answer HandleClient(const Request& request);
  Answer Dispatch(Role role, const std::string& path, const Request& request);
  Switch FindSwitch(Role role, const std::string& path) const;
  // Returns the path as stored (no leading '/', "*" for empty).
  std::string SetSwitchLocked(const std::string& role, std::string path, Mode mode, int delayMs);

  Answer Probe(const Request& request);
  Answer Login(const Request& request);
  Answer JxPass(const Request& request);
  Answer ServerList();
  Answer Ping(const Request& request);
  Answer Register(const Request& request);
  Answer Renew(const Request& request);
  Answer ChangePassword(const Request& request);
  Answer Version(const Request& request);
  Answer PageAnswer(const std::string& path, const Request& request);

  Account* AccountByName(const std::string& nameUtf8);
  std::string NewDesKey();
  std::string DumpState(long long now) const;

  mutable std::mutex mutex_;
  ServiceData seed_;
  ServiceData data_;
  std::map<std::string, Session> sessions_;
  std::map<std::pair<std::string, std::string>, Switch> switches_;
  std::map<std::pair<std::string, std::string>, Switch> startSwitches_;
  std::string startVersion_;
  std::vector<std::string> log_;
  std::function<void(const std::string&)> sink_;
  std::mt19937 random_;
};

}  // namespace devservice
