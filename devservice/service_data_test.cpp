#include "devservice/roles.h"
#include "devservice/service_data.h"

#include <gtest/gtest.h>

#include <set>

namespace devservice {
namespace {

TEST(ServiceData, ParsersSkipCommentsAndReportBadLines) {
  std::vector<std::string> errors;
  auto accounts = ParseAccounts(
      "# comment\n\n demo | demo123 |1|2|2030-12-31\r\nbroken|x|1|1\nbad|x|one|1|2030-01-01\nbad|x|1|1|2030-1-1\n"
      "|x|1|1|2030-01-01\n",
      errors);
  ASSERT_EQ(accounts.size(), 1u);
  EXPECT_EQ(accounts[0].name, "demo");
  EXPECT_EQ(accounts[0].password, "demo123");
  EXPECT_EQ(accounts[0].maxOnline, 2);
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0].rfind("accounts.txt:4:", 0), 0u) << errors[0];

  errors.clear();
  auto cards = ParseCards("A|p|nian1\nB|p|year\nC|p\n", errors);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0].type, "nian1");
  EXPECT_EQ(errors.size(), 2u);

  errors.clear();
  EXPECT_EQ(ParseServers("a|b|c|d|e|f|g|h|i|j|k\na|b\n", errors).size(), 1u);
  EXPECT_EQ(ParseDialIns("u|p\n|p\nu\n", errors).size(), 1u);
  EXPECT_EQ(errors.size(), 3u);

  errors.clear();
  EXPECT_EQ(ParseVersion("# v\n106\n", errors), "106");
  EXPECT_TRUE(errors.empty());
  ParseVersion("1.0.6\n", errors);
  EXPECT_FALSE(errors.empty());
  errors.clear();
  EXPECT_EQ(ParseVersion("", errors), "0");
  EXPECT_EQ(errors.size(), 1u);
}

TEST(ServiceData, CardDaysByLevelCode) {
  EXPECT_EQ(CardDays("day1"), 1);
  EXPECT_EQ(CardDays("1"), 30);
  EXPECT_EQ(CardDays("jidu1"), 90);
  EXPECT_EQ(CardDays("bannian1"), 180);
  EXPECT_EQ(CardDays("nian1"), 365);
  EXPECT_EQ(CardDays("2"), 0);
  EXPECT_EQ(CardDays(""), 0);
}

TEST(ServiceData, MissingFolderIsReported) {
  std::vector<std::string> errors;
  LoadServiceData("/nonexistent-devservice-data", errors);
  EXPECT_EQ(errors.size(), 5u);
}

// The shipped seed must load cleanly and hang together: what the README
// promises and what the client needs to dial every server.
TEST(ServiceData, ShippedSeedIsConsistent) {
  std::vector<std::string> errors;
  ServiceData data = LoadServiceData(DEVSERVICE_DATA_DIR, errors);
  ASSERT_TRUE(errors.empty()) << errors.front();

  bool demo = false;
  for (const Account& a : data.accounts) demo |= a.name == "demo" && a.password == "demo123" && a.expireDate > "2029";
  EXPECT_TRUE(demo);

  std::set<std::string> dialUsers, names;
  for (const DialIn& d : data.dialIns) dialUsers.insert(d.user);
  std::set<std::string> areas;
  for (const ServerEntry& s : data.servers) {
    EXPECT_TRUE(IsLoopbackAddress(s.nasName)) << s.description;
    EXPECT_TRUE(names.insert(s.description).second) << "duplicate " << s.description;
    if (s.nasFrom == "1") {
      EXPECT_TRUE(dialUsers.count(s.jxUser)) << s.description << " has no dial-in account";
    }
    areas.insert(s.area);
  }
  EXPECT_GE(areas.size(), 3u);
  std::set<std::string> types;
  for (const Card& c : data.cards) types.insert(c.type);
  EXPECT_EQ(types, (std::set<std::string>{"day1", "1", "jidu1", "bannian1", "nian1"}));
}

}  // namespace
}  // namespace devservice
