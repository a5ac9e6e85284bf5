#include "devservice/options.h"

#include <gtest/gtest.h>

namespace devservice {
namespace {

TEST(Options, DefaultsAreTheClientsBases) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({}, options, error));
  EXPECT_EQ(options.bindings[0].host, "127.0.0.1");
  EXPECT_EQ(options.bindings[0].port, 80);
  EXPECT_TRUE(options.switches.empty());
}

TEST(Options, BindingsSwitchesAndOffset) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--bind", "login=127.0.0.9:8080", "--bind", "banner=127.0.0.3:0", "--port-offset", "8000",
                            "--set", "*:*=slow:250", "--fail-probe", "--update1-html", "--version", "106", "--seed",
                            "7", "--data", "/tmp/d", "--log", "/tmp/l", "--quiet"},
                           options, error))
      << error;
  EXPECT_EQ(options.bindings[static_cast<std::size_t>(Role::kPrimary)].port, 8080);
  EXPECT_EQ(options.bindings[static_cast<std::size_t>(Role::kLogin)].host, "127.0.0.9");
  EXPECT_EQ(options.bindings[static_cast<std::size_t>(Role::kLogin)].port, 16080);
  EXPECT_EQ(options.bindings[static_cast<std::size_t>(Role::kBanner)].port, 0);  // any free port stays so
  ASSERT_EQ(options.switches.size(), 3u);
  EXPECT_EQ(options.switches[0].role, "*");
  EXPECT_EQ(options.switches[0].mode, Mode::kSlow);
  EXPECT_EQ(options.switches[0].delayMs, 250);
  EXPECT_EQ(options.switches[1].path, "apiv3-getip.html");
  EXPECT_EQ(options.switches[1].mode, Mode::kFail);
  EXPECT_EQ(options.switches[2].role, "update1");
  EXPECT_EQ(options.version, "106");
  EXPECT_EQ(options.seed, 7u);
  EXPECT_EQ(options.dataDir, "/tmp/d");
  EXPECT_TRUE(options.quiet);
}

TEST(Options, RefusesWhatCouldNotBeServedSafely) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bind", "primary=0.0.0.0:80"},     {"--bind", "primary=192.168.1.5"}, {"--bind", "nobody=127.0.0.1"},
      {"--bind", "primary=127.0.0.1:x"},   {"--bind", "primary=127.0.0.1:70000"},
      {"--set", "primary:x=loud"},          {"--set", "nobody:x=html"},        {"--set", "primary=html"},
      {"--set", "primary:x=slow:-5"},       {"--port-offset", "-1"},           {"--port-offset", "65500"},
      {"--version", "1.2"},                 {"--data"},                        {"--frobnicate"},
  };
  for (const auto& args : bad) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, options, error)) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace devservice
