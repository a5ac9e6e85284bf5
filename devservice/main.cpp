// devservice: the local service the client talks to during development and
// tests. Runs until SIGINT or SIGTERM.
#include "devservice/http_frontend.h"
#include "devservice/options.h"
#include "devservice/service.h"
#include "devservice/service_data.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <random>

namespace {

std::string DefaultDataDir(const char* argv0) {
  // A copy next to the executable wins over the source tree's folder.
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = argv0;
  std::filesystem::path beside = exe.parent_path() / "devservice-data";
  if (std::filesystem::is_directory(beside, ec)) return beside.string();
  return DEVSERVICE_DATA_DIR;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace devservice;
  Options options;
  std::string error;
  if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "devservice: " << error << "\n" << kUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }

  const std::string dataDir = options.dataDir.empty() ? DefaultDataDir(argv[0]) : options.dataDir;
  std::vector<std::string> errors;
  ServiceData data = LoadServiceData(dataDir, errors);
  if (!errors.empty()) {
    for (const std::string& e : errors) std::cerr << "devservice: " << e << "\n";
    return 1;
  }

  DevService service(std::move(data), options.seed ? *options.seed : std::random_device{}());
  for (const SwitchOption& s : options.switches) {
    service.SetSwitch(s.role, s.path, s.mode, s.delayMs, error);
  }
  if (options.version) service.SetVersion(*options.version);
  service.KeepAsStartState();

  std::ofstream logFile;
  if (!options.logFile.empty()) {
    logFile.open(options.logFile, std::ios::app);
    if (!logFile) {
      std::cerr << "devservice: cannot open log file " << options.logFile << "\n";
      return 1;
    }
  }
  std::mutex outputMutex;
  service.SetLogSink([&](const std::string& line) {
    std::lock_guard lock(outputMutex);
    if (!options.quiet) std::cout << line << std::endl;
    if (logFile.is_open()) logFile << line << std::endl;
  });

  // Block the stop signals in every thread; the main thread waits for them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  HttpFrontend frontend(service);
  if (!frontend.Start(options.bindings, error)) {
    std::cerr << "devservice: " << error << "\n";
    return 1;
  }
  {
    std::lock_guard lock(outputMutex);
    std::cout << "devservice: data " << dataDir << "\n";
    for (const RoleInfo& info : kRoles) {
      const Binding& b = options.bindings[static_cast<std::size_t>(info.role)];
      std::cout << "devservice: " << info.name << " http://" << b.host << ":" << frontend.Port(info.role) << "/\n";
    }
    std::cout << "devservice: ready" << std::endl;
  }

  int received = 0;
  sigwait(&stopSignals, &received);
  frontend.Stop();
  std::lock_guard lock(outputMutex);
  std::cout << "devservice: stopped" << std::endl;
  return 0;
}
