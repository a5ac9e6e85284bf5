// The seed the service starts from: plain text files in a data folder, one
// record a line, fields separated by '|', '#' starting a comment line.
// Every text is UTF-8 here; the service converts at its edges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace devservice {

struct Account {
  std::string name;
  std::string password;
  int level = 1;  // 1 gold, 2 diamond
  int maxOnline = 1;
  std::string expireDate;  // YYYY-MM-DD, the last day of service
};

struct Card {
  std::string id;
  std::string password;
  std::string type;  // one of the level codes: day1, 1, jidu1, bannian1, nian1
  bool used = false;
};

struct ServerEntry {
  std::string area, description, nasName, jxUser, nasFrom, pptp, l2tp, openVpn, level, online, date;
};

struct DialIn {
  std::string user;
  std::string password;
};

struct ServiceData {
  std::vector<Account> accounts;
  std::vector<Card> cards;
  std::vector<ServerEntry> servers;
  std::vector<DialIn> dialIns;
  std::string version = "100";
};

// Days of service a card of the given level code adds; 0 for an unknown code.
int CardDays(std::string_view levelCode);

// Parsers of one file's content. A malformed line is reported in errors
// ("accounts.txt:3: ...") and skipped.
std::vector<Account> ParseAccounts(std::string_view content, std::vector<std::string>& errors);
std::vector<Card> ParseCards(std::string_view content, std::vector<std::string>& errors);
std::vector<ServerEntry> ParseServers(std::string_view content, std::vector<std::string>& errors);
std::vector<DialIn> ParseDialIns(std::string_view content, std::vector<std::string>& errors);
std::string ParseVersion(std::string_view content, std::vector<std::string>& errors);

// Reads accounts.txt, cards.txt, servers.txt, dialins.txt and version.txt
// from dir. A missing file is an error.
ServiceData LoadServiceData(const std::string& dir, std::vector<std::string>& errors);

}  // namespace devservice
