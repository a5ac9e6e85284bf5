#include "netcore/dialer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace netcore {
namespace {

using Message = std::pair<int, std::string>;
std::vector<Message> gMessages;
void Record(int state, const char* text) { gMessages.emplace_back(state, text); }

const std::string kTimeoutText =
    "\xc1\xac\xbd\xd3\xca\xa7\xb0\xdc\xa3\xac\xc7\xeb\xb3\xa2\xca\xd4\xb8\xfc\xbb\xbb\xc8\xed\xbc"
    "\xfe\xd3\xd2\xcf\xc2\xbd\xc7\xb5\xc4\xc1\xac\xbd\xd3\xc0\xe0\xd0\xcd\n";

class FakeEvent : public CompletionEvent {
 public:
  explicit FakeEvent(std::vector<std::uint32_t>& waits, std::function<void()>& onWait)
      : waits_(waits), onWait_(onWait) {}
  void Signal() override { signalled_ = true; }
  // Time passes at once: whatever was signalled by now ends the wait.
  bool Wait(std::uint32_t ms) override {
    waits_.push_back(ms);
    if (auto hook = std::exchange(onWait_, nullptr)) hook();
    return std::exchange(signalled_, false);
  }

 private:
  bool signalled_ = false;
  std::vector<std::uint32_t>& waits_;
  std::function<void()>& onWait_;
};

class FakeSync : public SyncApi {
 public:
  std::unique_ptr<CompletionEvent> NewCompletionEvent(std::uint32_t& error) override {
    if (createError != 0) {
      error = createError;
      return nullptr;
    }
    return std::make_unique<FakeEvent>(waits, onWait);
  }
  void Sleep(std::uint32_t ms) override { slept.push_back(ms); }
  void StartWorker(std::function<void()> work) override { work(); }

  std::uint32_t createError = 0;
  std::vector<std::uint32_t> waits;
  std::vector<std::uint32_t> slept;
  std::function<void()> onWait;  // runs inside the next wait
};

class FakeRas : public RasApi {
 public:
  std::string TempPath() override { return "C:\\Temp\\"; }
  std::uint32_t SetEntryProperties(const std::string& phonebook, const std::string& entry,
                                   const RasEntrySettings& settings) override {
    log.push_back("entry " + entry + " " + phonebook);
    entries.push_back(settings);
    return entryError;
  }
  std::uint32_t SetPresharedKey(const std::string&, const std::string& entry, const std::string& user,
                                const std::string& key) override {
    log.push_back("key " + entry + " " + user + " " + key);
    return keyError;
  }
  std::uint32_t Dial(const std::string&, const RasDialRequest& request, RasHandle* handle) override {
    log.push_back("dial " + request.phoneNumber);
    dials.push_back(request);
    *handle = nextHandle++;
    open.push_back({*handle, "vodev"});
    if (onDial) onDial(request.attemptId, *handle);
    return dialError;
  }
  std::uint32_t HangUp(RasHandle handle) override {
    log.push_back("hangup " + std::to_string(handle));
    std::erase_if(open, [&](const RasConnection& c) { return c.handle == handle; });
    return 0;
  }
  std::uint32_t EnumConnections(std::size_t capacity, std::vector<RasConnection>& out,
                                std::size_t& required) override {
    capacities.push_back(capacity);
    if (open.size() > capacity) {
      required = open.size();
      return kErrorBufferTooSmall;
    }
    out = open;
    return 0;
  }
  std::uint32_t ConnectStatus(RasHandle handle) override {
    log.push_back("status " + std::to_string(handle));
    for (const auto& c : open)
      if (c.handle == handle) return 0;
    if (lingerPolls > 0) {
      --lingerPolls;
      return 0;
    }
    return kErrorInvalidHandle;
  }
  std::string ErrorString(std::uint32_t error) override { return "text of " + std::to_string(error); }
  std::uint32_t ProjectionIp(RasHandle, std::string& ip) override {
    ip = "10.8.0.6";
    return projectionError;
  }
  std::uint32_t Statistics(RasHandle, std::uint32_t& sent, std::uint32_t& received) override {
    sent = bytesSent;
    received = bytesReceived;
    return statsError;
  }

  std::vector<std::string> log;
  std::vector<RasEntrySettings> entries;
  std::vector<RasDialRequest> dials;
  std::vector<RasConnection> open;
  std::vector<std::size_t> capacities;
  std::function<void(std::uint64_t, RasHandle)> onDial;
  RasHandle nextHandle = 100;
  std::uint32_t entryError = 0, keyError = 0, dialError = 0, projectionError = 0, statsError = 0;
  std::uint32_t bytesSent = 0, bytesReceived = 0;
  int lingerPolls = 0;  // polls a hung-up handle still looks alive
};

class DialerTest : public ::testing::Test {
 protected:
  void SetUp() override { gMessages.clear(); }
  void Connect(const std::string& server = "1.2.3.4", int type = 1, const std::string& user = "u",
               const std::string& password = "p") {
    dialer.Connect(server.c_str(), user.c_str(), password.c_str(), type, Record);
  }
  // Remote Access answers the dial with these states, then the given error.
  void AnswerDial(std::vector<std::uint32_t> states, std::uint32_t error = 0) {
    ras.onDial = [this, states, error](std::uint64_t id, RasHandle handle) {
      for (std::uint32_t s : states) dialer.OnNotify(id, handle, s, 0);
      if (error) dialer.OnNotify(id, handle, 0, error);
    };
  }
  FakeRas ras;
  FakeSync sync;
  Dialer dialer{ras, sync};
};

TEST_F(DialerTest, ReportsEveryDialingStateThenSuccess) {
  std::vector<std::uint32_t> states;
  for (std::uint32_t s = 0; s <= 23; ++s) states.push_back(s);
  states.push_back(0x1000);  // paused states say nothing
  states.push_back(kRasConnected);
  AnswerDial(states);
  Connect();

  std::vector<Message> expected{{2, "Dialing... 1.2.3.4\n"}};
  const char* texts[] = {"Opening port...\n", "Port opened.\n", "Connecting device...\n", "Device connected.\n",
                         "All devices connected.\n", "Authenticating...\n", "Authentication notify.\n",
                         "Retrying authentication...\n", "Authentication callback...\n", "Change password...\n",
                         "Projection phase started...\n", "Negotiating speed...\n",
                         "Authentication acknowledge...\n", "Retrying Authentication...\n",
                         "Authentication complete.\n", "Preparing for callback...\n",
                         "Waiting for modem reset...\n", "Waiting for callback...\n", "Projection completed.\n",
                         "Starting authentication...\n", "Callback complete.\n", "Logon to the network.\n",
                         "Subentry connected.\n", "Subentry disconnected.\n"};
  for (const char* t : texts) expected.emplace_back(2, t);
  expected.emplace_back(1, "SUCCESS");
  EXPECT_EQ(gMessages, expected);
  EXPECT_EQ(sync.waits, std::vector<std::uint32_t>{20000});
  EXPECT_EQ(sync.slept, std::vector<std::uint32_t>{100});  // the pause of the export only
}

TEST_F(DialerTest, RasErrorEndsTheAttemptAtOnce) {
  AnswerDial({0}, 691);
  Connect();
  ASSERT_EQ(gMessages.size(), 3u);
  EXPECT_EQ(gMessages[2], Message(0, "Error: 691 - text of 691\n"));
  EXPECT_EQ(std::count(ras.log.begin(), ras.log.end(), "hangup 100"), 0);
}

TEST_F(DialerTest, DropEndsTheWaitWithoutChangingTheState) {
  AnswerDial({kRasDisconnected});
  Connect();
  EXPECT_EQ(gMessages.back(), Message(2, "disconnecting vpn...\n"));
  EXPECT_EQ(std::count(gMessages.begin(), gMessages.end(), Message(0, kTimeoutText)), 0);
}

TEST_F(DialerTest, NoAnswerWithinTwentySecondsHangsUpSilentlyThenFails) {
  Connect();
  EXPECT_EQ(sync.waits, std::vector<std::uint32_t>{20000});
  EXPECT_TRUE(ras.open.empty()) << "the dialed connection is hung up";
  ASSERT_EQ(gMessages.size(), 2u);
  EXPECT_EQ(gMessages[0], Message(2, "Dialing... 1.2.3.4\n"));
  EXPECT_EQ(gMessages[1], Message(0, kTimeoutText));
}

TEST_F(DialerTest, EntryAndCredentialsFollowTheProtocol) {
  struct Case {
    int type;
    std::uint32_t strategy, options2;
    bool key;
  } cases[] = {{1, kVsPptpOnly, 0, false}, {0, kVsPptpOnly, 0, false}, {3, kVsPptpOnly, 0, false},
               {2, kVsL2tpOnly, kRaseo2UsePreSharedKey, true}};
  for (const Case& c : cases) {
    ras.log.clear();
    ras.entries.clear();
    ras.dials.clear();
    AnswerDial({kRasConnected});
    Connect("vpn.example.net", c.type, "alice", "secret");
    ASSERT_EQ(ras.entries.size(), 1u);
    const RasEntrySettings& e = ras.entries[0];
    EXPECT_EQ(e.vpnStrategy, c.strategy) << c.type;
    EXPECT_EQ(e.options2, c.options2) << c.type;
    EXPECT_EQ(e.options, 0x04000110u);
    EXPECT_EQ(e.localPhoneNumber, "vpn.example.net");
    EXPECT_EQ(e.netProtocols, 4u);
    EXPECT_EQ(e.deviceType, "vpn");
    EXPECT_EQ(e.deviceName, "RAS VPN Line 0");
    EXPECT_EQ(e.type, 2u);
    EXPECT_EQ(e.encryptionType, 3u);
    EXPECT_EQ(e.redialCount, 10u);
    EXPECT_EQ(e.redialPause, 10u);
    EXPECT_EQ(std::count(ras.log.begin(), ras.log.end(), "key vodev alice ruvo"), c.key ? 1 : 0) << c.type;
    EXPECT_EQ(std::count(ras.log.begin(), ras.log.end(), "entry vodev C:\\Temp\\dial.pbk"), 1);

    ASSERT_EQ(ras.dials.size(), 1u);
    const RasDialRequest& d = ras.dials[0];
    EXPECT_EQ(d.entryName, "vodev");
    EXPECT_EQ(d.phoneNumber, "vpn.example.net");
    EXPECT_EQ(d.userName, "alice");
    EXPECT_EQ(d.password, "secret");
    EXPECT_EQ(d.domain, "");
  }
}

TEST_F(DialerTest, FailedSetupIsReportedButStillDials) {
  ras.entryError = 621;
  AnswerDial({kRasConnected});
  Connect();
  ASSERT_GE(gMessages.size(), 2u);
  EXPECT_EQ(gMessages[0], Message(0, "RasSetEntryProperties vodev failed error=621\n"));
  EXPECT_EQ(gMessages[1], Message(0, "Dialing... 1.2.3.4\n"));
  EXPECT_EQ(ras.dials.size(), 1u);

  gMessages.clear();
  ras.entryError = 0;
  ras.keyError = 87;
  Connect("1.2.3.4", 2);
  EXPECT_EQ(gMessages[0], Message(2, "RasSetCredentials vodev failed error=87\n"));
  EXPECT_EQ(gMessages[1], Message(0, "Dialing... 1.2.3.4\n"));
  EXPECT_EQ(ras.dials.size(), 2u);
}

TEST_F(DialerTest, RefusedDialAndMissingEventFailWithState0) {
  ras.dialError = 623;
  Connect();
  EXPECT_EQ(gMessages.back(), Message(0, "RasDial 1.2.3.4 failed with error 623\n"));
  EXPECT_TRUE(sync.waits.empty());

  gMessages.clear();
  sync.createError = 8;
  Connect();
  EXPECT_EQ(gMessages, (std::vector<Message>{{0, "CreateEvent failed with error 8\n"}}));
  EXPECT_EQ(ras.dials.size(), 1u) << "nothing dialed without an event";
}

TEST_F(DialerTest, ValuesBeyondTheDialFieldsAreRefused) {
  struct Case {
    std::size_t server, user, password;
    bool dials;
  } cases[] = {{128, 256, 256, true}, {129, 1, 1, false}, {1, 257, 1, false}, {1, 1, 257, false}};
  for (const Case& c : cases) {
    gMessages.clear();
    ras.dials.clear();
    Connect(std::string(c.server, 's'), 1, std::string(c.user, 'u'), std::string(c.password, 'p'));
    EXPECT_EQ(ras.dials.size(), c.dials ? 1u : 0u) << c.server << " " << c.user << " " << c.password;
    if (!c.dials) {
      ASSERT_EQ(gMessages.size(), 1u);
      EXPECT_EQ(gMessages[0].first, 0);
    }
  }
}

TEST_F(DialerTest, DisconnectReportsBeforeAndAfterEvenWhenIdle) {
  dialer.Disconnect(Record);
  EXPECT_EQ(gMessages, (std::vector<Message>{{0, "DISCONNECTING"}, {-1, "DISCONNECT"}}));
}

TEST_F(DialerTest, HangUpsMatchTheWholeNameStatusAnySubstring) {
  ras.open = {{1, "vodev2"}, {2, "myvodev"}, {3, "vodev"}, {4, "vodev"}};
  EXPECT_TRUE(dialer.Status());
  dialer.Disconnect2();
  EXPECT_EQ(ras.log, (std::vector<std::string>{"hangup 3"}));

  ras.log.clear();
  ras.open = {{2, "myvodev"}};
  EXPECT_TRUE(dialer.Status()) << "a name containing vodev counts as open";
  dialer.Disconnect2();
  dialer.Disconnect(Record);
  EXPECT_EQ(ras.log, std::vector<std::string>{}) << "hang-ups leave other entries alone";

  ras.open = {{2, "VODEV"}};
  EXPECT_FALSE(dialer.Status());
}

TEST_F(DialerTest, ListingGrowsPastTwentyConnections) {
  for (RasHandle h = 1; h <= 25; ++h) ras.open.push_back({h, h == 25 ? "vodev" : "other"});
  dialer.Disconnect2();
  EXPECT_EQ(ras.log, (std::vector<std::string>{"hangup 25"}));
  EXPECT_EQ(ras.capacities, (std::vector<std::size_t>{20, 25}));
}

TEST_F(DialerTest, DialsOnlyOnceTheOldConnectionIsGone) {
  ras.open = {{7, "vodev"}};
  ras.lingerPolls = 2;
  AnswerDial({kRasConnected});
  Connect();
  EXPECT_EQ(ras.log[0], "hangup 7");
  EXPECT_EQ(ras.log[1], "status 7");
  EXPECT_EQ(ras.log[2], "status 7");
  EXPECT_EQ(ras.log[3], "status 7");
  EXPECT_EQ(ras.log[4].rfind("entry", 0), 0u);
  EXPECT_EQ(sync.slept, (std::vector<std::uint32_t>{50, 50, 100}));

  // A connection that never goes away delays the dial by about 3 s, no more.
  ras.log.clear();
  sync.slept.clear();
  ras.open.push_back({8, "vodev"});
  ras.lingerPolls = 1000;
  Connect();
  EXPECT_EQ(sync.slept.size(), static_cast<std::size_t>(Dialer::kGonePolls) * 2 + 1);
  EXPECT_EQ(ras.dials.size(), 2u);
}

TEST_F(DialerTest, LateTimeOutOfAnEarlierAttemptLeavesTheNewConnection) {
  // The first attempt waits; meanwhile a second attempt connects.
  sync.onWait = [this] {
    gMessages.clear();
    AnswerDial({kRasConnected});
    Connect("5.6.7.8");
  };
  Connect("1.2.3.4");  // no answer for the first one
  EXPECT_EQ(gMessages.back(), Message(1, "SUCCESS"));
  EXPECT_EQ(std::count(gMessages.begin(), gMessages.end(), Message(0, kTimeoutText)), 0);
  ASSERT_EQ(ras.open.size(), 1u);
  EXPECT_EQ(ras.open[0].handle, 101u) << "the second connection is still up";

  // Remote Access still talking about the first attempt changes nothing.
  gMessages.clear();
  dialer.OnNotify(ras.dials[0].attemptId, 100, 0, 629);
  EXPECT_TRUE(gMessages.empty());
  EXPECT_NE(ras.dials[0].attemptId, ras.dials[1].attemptId);
}

TEST_F(DialerTest, IpAndFlowsComeFromTheCurrentConnection) {
  EXPECT_EQ(dialer.Ip(), "");
  EXPECT_EQ(dialer.Flow(), 0u);
  AnswerDial({kRasConnected});
  Connect();
  EXPECT_EQ(dialer.Ip(), "10.8.0.6");
  ras.projectionError = 720;
  EXPECT_EQ(dialer.Ip(), "");

  struct Case {
    std::uint32_t sent, received, flow, send, recv;
  } cases[] = {{1023, 1023, 0, 0, 0}, {1024, 1024, 2, 1, 1}, {2047, 3072, 4, 1, 3}, {0, 0xFFFFFFFF, 4194303, 0, 4194303}};
  for (const Case& c : cases) {
    ras.bytesSent = c.sent;
    ras.bytesReceived = c.received;
    EXPECT_EQ(dialer.Flow(), c.flow) << c.sent << "/" << c.received;
    EXPECT_EQ(dialer.SendFlow(), c.send);
    EXPECT_EQ(dialer.RecvFlow(), c.recv);
  }
  ras.statsError = 6;
  EXPECT_EQ(dialer.Flow(), 0u);
  ras.statsError = 0;
  ras.open.clear();  // no "vodev" open any more
  EXPECT_EQ(dialer.Flow(), 0u);
  EXPECT_EQ(dialer.SendFlow(), 0u);
}

TEST_F(DialerTest, DisconnectEndsTheAttemptAndItsLateReports) {
  AnswerDial({kRasConnected});
  Connect();
  std::uint64_t attemptId = ras.dials[0].attemptId;
  gMessages.clear();
  dialer.Disconnect(Record);
  EXPECT_EQ(gMessages, (std::vector<Message>{{1, "DISCONNECTING"}, {-1, "DISCONNECT"}}));
  EXPECT_TRUE(ras.open.empty());
  EXPECT_EQ(dialer.Ip(), "");
  gMessages.clear();
  dialer.OnNotify(attemptId, 100, kRasDisconnected, 0);
  EXPECT_TRUE(gMessages.empty());
}

}  // namespace
}  // namespace netcore
