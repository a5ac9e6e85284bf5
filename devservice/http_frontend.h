// Puts a DevService on the network: one HTTP server per role, each on its
// own loopback address, all answering through the same service state.
#pragma once

#include "devservice/roles.h"
#include "devservice/service.h"

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace devservice {

class HttpFrontend {
 public:
  explicit HttpFrontend(DevService& service);
  ~HttpFrontend();
  HttpFrontend(const HttpFrontend&) = delete;
  HttpFrontend& operator=(const HttpFrontend&) = delete;

  // Binds every role, then serves on background threads. Refuses addresses
  // outside 127.0.0.0/8. On failure nothing is left listening.
  bool Start(const std::array<Binding, kRoleCount>& bindings, std::string& error);
  // The port a role listens on: the one asked for, or the one the system
  // chose for port 0.
  int Port(Role role) const { return ports_[static_cast<std::size_t>(role)]; }
  // Stops accepting, cuts short slow answers and joins every thread.
  void Stop();

 private:
  DevService& service_;
  std::vector<std::unique_ptr<httplib::Server>> servers_;
  std::vector<std::thread> threads_;
  std::array<int, kRoleCount> ports_{};
  std::atomic<bool> stopping_{false};
};

}  // namespace devservice
