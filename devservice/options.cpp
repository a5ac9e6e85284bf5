#include "devservice/options.h"

#include <charconv>

namespace devservice {
namespace {

bool ParseNumber(std::string_view text, int& value) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

// ROLE=HOST[:PORT]
bool ParseBind(std::string_view text, Options& options, std::string& error) {
  std::size_t eq = text.find('=');
  auto role = RoleFromName(text.substr(0, eq));
  if (eq == std::string_view::npos || !role) {
    error = "--bind wants ROLE=HOST[:PORT] with ROLE one of primary, login, banner, update1, update2, account";
    return false;
  }
  std::string_view address = text.substr(eq + 1);
  std::size_t colon = address.find(':');
  Binding binding{std::string(address.substr(0, colon)), 80};
  if (colon != std::string_view::npos &&
      (!ParseNumber(address.substr(colon + 1), binding.port) || binding.port < 0 || binding.port > 65535)) {
    error = "--bind: bad port in '" + std::string(address) + "'";
    return false;
  }
  if (!IsLoopbackAddress(binding.host)) {
    error = "--bind: '" + binding.host + "' is not a 127.x.x.x address";
    return false;
  }
  options.bindings[static_cast<std::size_t>(*role)] = binding;
  return true;
}

// ROLE:PATH=MODE[:DELAY]
bool ParseSet(std::string_view text, Options& options, std::string& error) {
  std::size_t colon = text.find(':');
  std::size_t eq = text.find('=');
  if (colon == std::string_view::npos || eq == std::string_view::npos || eq < colon) {
    error = "--set wants ROLE:PATH=MODE[:DELAY_MS]";
    return false;
  }
  SwitchOption option;
  option.role = std::string(text.substr(0, colon));
  option.path = std::string(text.substr(colon + 1, eq - colon - 1));
  std::string_view modeText = text.substr(eq + 1);
  std::size_t delayColon = modeText.find(':');
  auto mode = ModeFromName(modeText.substr(0, delayColon));
  if (!mode) {
    error = "--set: mode must be normal, html, empty, garbled, slow or fail";
    return false;
  }
  option.mode = *mode;
  if (delayColon != std::string_view::npos &&
      (!ParseNumber(modeText.substr(delayColon + 1), option.delayMs) || option.delayMs < 0)) {
    error = "--set: bad delay in '" + std::string(text) + "'";
    return false;
  }
  if (option.role != "*" && !RoleFromName(option.role)) {
    error = "--set: unknown role '" + option.role + "'";
    return false;
  }
  options.switches.push_back(std::move(option));
  return true;
}

}  // namespace

const char kUsage[] =
    "usage: devservice [options]\n"
    "  --data DIR                 seed data folder (accounts.txt, cards.txt, servers.txt,\n"
    "                             dialins.txt, version.txt)\n"
    "  --log FILE                 append every request log line to FILE\n"
    "  --bind ROLE=HOST[:PORT]    where a role listens (127.x.x.x only; port 0: any free)\n"
    "  --port-offset N            add N to every role's port (after --bind)\n"
    "  --set ROLE:PATH=MODE[:MS]  answer switch; ROLE and PATH may be '*';\n"
    "                             MODE: normal, html, empty, garbled, slow, fail\n"
    "  --fail-probe               same as --set primary:apiv3-getip.html=fail\n"
    "  --update1-html             same as --set update1:update3/version.php=html\n"
    "  --version N                version number the update servers announce\n"
    "  --seed N                   seed of the session keys (repeatable runs)\n"
    "  --quiet                    no request lines on stdout\n"
    "roles: primary 127.0.0.1:80, login 127.0.0.2:80, banner 127.0.0.3:80,\n"
    "       update1 127.0.0.4:80, update2 127.0.0.5:80, account 127.0.0.6:80\n";

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  int portOffset = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--data") {
      if (!value(options.dataDir)) return false;
    } else if (arg == "--log") {
      if (!value(options.logFile)) return false;
    } else if (arg == "--bind") {
      if (!value(text) || !ParseBind(text, options, error)) return false;
    } else if (arg == "--port-offset") {
      if (!value(text)) return false;
      if (!ParseNumber(text, portOffset) || portOffset < 0 || portOffset > 65535) {
        error = "--port-offset wants a number from 0 to 65535";
        return false;
      }
    } else if (arg == "--set") {
      if (!value(text) || !ParseSet(text, options, error)) return false;
    } else if (arg == "--fail-probe") {
      options.switches.push_back({"primary", "apiv3-getip.html", Mode::kFail, 0});
    } else if (arg == "--update1-html") {
      options.switches.push_back({"update1", "update3/version.php", Mode::kHtml, 0});
    } else if (arg == "--version") {
      int number;
      if (!value(text)) return false;
      if (!ParseNumber(text, number) || number < 0) {
        error = "--version wants a decimal number";
        return false;
      }
      options.version = text;
    } else if (arg == "--seed") {
      int number;
      if (!value(text)) return false;
      if (!ParseNumber(text, number) || number < 0) {
        error = "--seed wants a number";
        return false;
      }
      options.seed = static_cast<unsigned>(number);
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else {
      error = "unknown argument '" + arg + "'";
      return false;
    }
  }
  for (Binding& binding : options.bindings) {
    if (binding.port == 0) continue;
    binding.port += portOffset;
    if (binding.port > 65535) {
      error = "--port-offset takes a port beyond 65535";
      return false;
    }
  }
  return true;
}

}  // namespace devservice
