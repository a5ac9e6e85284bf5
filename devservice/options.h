// Command line of the devservice executable.
#pragma once

#include "devservice/roles.h"
#include "devservice/service.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace devservice {

struct SwitchOption {
  std::string role;  // a role name or "*"
  std::string path;  // a path without leading '/', or "*"
  Mode mode = Mode::kNormal;
  int delayMs = 0;
};

struct Options {
  std::string dataDir;  // empty: the default data folder
  std::string logFile;  // empty: no log file
  std::array<Binding, kRoleCount> bindings = DefaultBindings();
  std::vector<SwitchOption> switches;
  std::optional<std::string> version;
  std::optional<unsigned> seed;
  bool quiet = false;
  bool help = false;
};

// Parses argv[1..]; false with a message on a bad argument.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

extern const char kUsage[];

}  // namespace devservice
