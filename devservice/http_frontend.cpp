#include "devservice/http_frontend.h"

#include <httplib.h>

#include <chrono>
#include <ctime>

namespace devservice {

HttpFrontend::HttpFrontend(DevService& service) : service_(service) {}

HttpFrontend::~HttpFrontend() { Stop(); }

bool HttpFrontend::Start(const std::array<Binding, kRoleCount>& bindings, std::string& error) {
  // Check every address before binding any, so a refusal leaves nothing open.
  for (std::size_t i = 0; i < kRoleCount; ++i) {
    if (!IsLoopbackAddress(bindings[i].host)) {
      error = std::string(kRoles[i].name) + " " + bindings[i].host + ": only 127.0.0.0/8 addresses are served";
      return false;
    }
  }
  for (std::size_t i = 0; i < kRoleCount; ++i) {
    const Role role = kRoles[i].role;
    const Binding& binding = bindings[i];
    const std::string where = std::string(RoleName(role)) + " " + binding.host + ":" + std::to_string(binding.port);
    auto server = std::make_unique<httplib::Server>();
    // The client does not bypass WinINet's cache: every answer must be fresh.
    server->set_default_headers({{"Cache-Control", "no-cache, no-store, must-revalidate"},
                                 {"Pragma", "no-cache"},
                                 {"Expires", "0"}});
    server->Get(".*", [this, role](const httplib::Request& req, httplib::Response& res) {
      Answer answer;
      try {
        Request request;
        request.role = role;
        request.target = req.target;
        request.peer = req.remote_addr;
        request.now = static_cast<long long>(std::time(nullptr));
        answer = service_.Handle(request);
      } catch (...) {
        answer = Answer{500, "text/plain", "", "error"};
      }
      // Sleep in short steps so that stopping does not wait for slow answers.
      auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(answer.delayMs);
      while (!stopping_ && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      res.status = answer.status;
      res.set_content(answer.body, answer.contentType.empty() ? "text/plain" : answer.contentType.c_str());
    });
    int port = binding.port;
    if (port == 0) {
      port = server->bind_to_any_port(binding.host);
      if (port < 0) port = 0;
    } else if (!server->bind_to_port(binding.host, port)) {
      port = 0;
    }
    if (port <= 0) {
      error = where + ": cannot listen (in use, or port below 1024 without root?)";
      Stop();
      return false;
    }
    ports_[i] = port;
    servers_.push_back(std::move(server));
  }
  // The sockets listen from bind on; connections wait until accepted here.
  for (auto& server : servers_) {
    httplib::Server* s = server.get();
    threads_.emplace_back([s] { s->listen_after_bind(); });
  }
  // httplib's stop() does nothing before its loop runs; wait for the loops so
  // that a Stop() right after Start() cannot leave a thread serving.
  for (auto& server : servers_) {
    for (int i = 0; i < 2000 && !server->is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return true;
}

void HttpFrontend::Stop() {
  stopping_ = true;
  for (auto& server : servers_) server->stop();
  for (auto& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
  threads_.clear();
  servers_.clear();
}

}  // namespace devservice
