#include "devservice/service_data.h"

#include "devservice/text.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace devservice {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Calls onRecord(lineNumber, fields) for every non-empty, non-comment line.
template <typename F>
void ForEachRecord(std::string_view content, F onRecord) {
  int lineNumber = 0;
  while (!content.empty()) {
    std::size_t nl = content.find('\n');
    std::string_view line = Trim(content.substr(0, nl));
    ++lineNumber;
    content = nl == std::string_view::npos ? std::string_view() : content.substr(nl + 1);
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> fields;
    while (true) {
      std::size_t bar = line.find('|');
      fields.emplace_back(Trim(line.substr(0, bar)));
      if (bar == std::string_view::npos) break;
      line.remove_prefix(bar + 1);
    }
    onRecord(lineNumber, fields);
  }
}

bool ParseInt(const std::string& text, int& value) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && ptr == text.data() + text.size();
}

std::string Where(const char* file, int line) { return std::string(file) + ":" + std::to_string(line) + ": "; }

}  // namespace

int CardDays(std::string_view levelCode) {
  if (levelCode == "day1") return 1;
  if (levelCode == "1") return 30;
  if (levelCode == "jidu1") return 90;
  if (levelCode == "bannian1") return 180;
  if (levelCode == "nian1") return 365;
  return 0;
}

std::vector<Account> ParseAccounts(std::string_view content, std::vector<std::string>& errors) {
  std::vector<Account> accounts;
  ForEachRecord(content, [&](int line, const std::vector<std::string>& f) {
    Account a;
    long days;
    if (f.size() != 5 || f[0].empty() || !ParseInt(f[2], a.level) || !ParseInt(f[3], a.maxOnline) ||
        !ParseDate(f[4], days)) {
      errors.push_back(Where("accounts.txt", line) + "expected name|password|level|maxonline|YYYY-MM-DD");
      return;
    }
    a.name = f[0];
    a.password = f[1];
    a.expireDate = f[4];
    accounts.push_back(std::move(a));
  });
  return accounts;
}

std::vector<Card> ParseCards(std::string_view content, std::vector<std::string>& errors) {
  std::vector<Card> cards;
  ForEachRecord(content, [&](int line, const std::vector<std::string>& f) {
    if (f.size() != 3 || f[0].empty() || CardDays(f[2]) == 0) {
      errors.push_back(Where("cards.txt", line) + "expected id|password|day1, 1, jidu1, bannian1 or nian1");
      return;
    }
    cards.push_back(Card{f[0], f[1], f[2], false});
  });
  return cards;
}

std::vector<ServerEntry> ParseServers(std::string_view content, std::vector<std::string>& errors) {
  std::vector<ServerEntry> servers;
  ForEachRecord(content, [&](int line, const std::vector<std::string>& f) {
    if (f.size() != 11) {
      errors.push_back(Where("servers.txt", line) +
                       "expected area|description|nasname|jxuer|nasfrom|pptp|l2tp|openvpn|level|online|date");
      return;
    }
    servers.push_back(ServerEntry{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]});
  });
  return servers;
}

std::vector<DialIn> ParseDialIns(std::string_view content, std::vector<std::string>& errors) {
  std::vector<DialIn> dialIns;
  ForEachRecord(content, [&](int line, const std::vector<std::string>& f) {
    if (f.size() != 2 || f[0].empty()) {
      errors.push_back(Where("dialins.txt", line) + "expected jxuser|jxpass");
      return;
    }
    dialIns.push_back(DialIn{f[0], f[1]});
  });
  return dialIns;
}

std::string ParseVersion(std::string_view content, std::vector<std::string>& errors) {
  std::string version;
  ForEachRecord(content, [&](int line, const std::vector<std::string>& f) {
    int number;
    if (!version.empty() || f.size() != 1 || !ParseInt(f[0], number)) {
      errors.push_back(Where("version.txt", line) + "expected one decimal version number");
      return;
    }
    version = f[0];
  });
  if (version.empty()) {
    errors.push_back("version.txt: no version number");
    version = "0";
  }
  return version;
}

ServiceData LoadServiceData(const std::string& dir, std::vector<std::string>& errors) {
  auto read = [&](const char* name, std::string& content) {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    if (!in) {
      errors.push_back(dir + "/" + name + ": cannot be read");
      return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
  };
  ServiceData data;
  std::string content;
  if (read("accounts.txt", content)) data.accounts = ParseAccounts(content, errors);
  if (read("cards.txt", content)) data.cards = ParseCards(content, errors);
  if (read("servers.txt", content)) data.servers = ParseServers(content, errors);
  if (read("dialins.txt", content)) data.dialIns = ParseDialIns(content, errors);
  if (read("version.txt", content)) data.version = ParseVersion(content, errors);
  return data;
}

}  // namespace devservice
