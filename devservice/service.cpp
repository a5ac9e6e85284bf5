#include "devservice/service.h"

#include "devservice/text.h"
#include "netcore/cipher.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace devservice {
namespace {

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"gb2312\"?>";
constexpr std::string_view kControlPrefix = "__dev/";

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string ItemXml(const Fields& fields) {
  std::string xml = "<item>";
  for (const auto& [name, value] : fields) xml += "<" + name + ">" + XmlEscape(value) + "</" + name + ">";
  return xml + "</item>";
}

std::string DocumentXml(const std::vector<Fields>& items) {
  std::string xml(kXmlDeclaration);
  xml += "\n<root>\n";
  for (const Fields& item : items) xml += ItemXml(item) + "\n";
  return xml + "</root>\n";
}

// Envelope with result and remark first, then further fields. UTF-8.
std::string EnvelopeXml(bool ok, std::string_view remark, const Fields& more = {}) {
  Fields fields{{"result", ok ? "Y" : "N"}, {"remark", std::string(remark)}};
  fields.insert(fields.end(), more.begin(), more.end());
  return DocumentXml({fields});
}

Answer XmlAnswer(std::string kind, std::string_view utf8Xml) {
  return Answer{200, "text/xml; charset=gbk", Utf8ToGbk(utf8Xml), std::move(kind)};
}

Answer TextAnswer(std::string kind, std::string_view utf8Text) {
  return Answer{200, "text/plain; charset=gbk", Utf8ToGbk(utf8Text), std::move(kind)};
}

Answer HtmlPage(std::string kind, std::string_view title, std::string_view bodyHtml, int status = 200) {
  std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\"><title>" + std::string(title) +
                     "</title>\n<style>body{font-family:sans-serif;margin:12px;font-size:13px}"
                     "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:2px 8px}</style>"
                     "</head>\n<body>\n" +
                     std::string(bodyHtml) + "\n</body></html>\n";
  return Answer{status, "text/html; charset=gbk", Utf8ToGbk(html), std::move(kind)};
}

Answer ControlText(std::string text, int status = 200) {
  Answer answer{status, "text/plain; charset=utf-8", std::move(text), "control"};
  answer.logged = false;
  return answer;
}

long long Today(long long now) { return DaysFromTime(now); }

// Characters the client's dialogs count: UTF-8 code points.
std::size_t CharacterCount(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(),
                                                [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool ParseNonNegative(std::string_view text, int& value) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && ptr == text.data() + text.size() && value >= 0;
}

enum class Endpoint {
  kProbe, kLogin, kJxPass, kServerList, kPing, kRegister, kRenew, kChangePassword, kVersion, kPage
};

struct Route {
  std::string_view path;
  Endpoint endpoint;
  bool api;       // primary and login server
  bool banner;
  bool update;    // both update servers
  bool account;
};

constexpr Route kRoutes[] = {
    {"apiv3-getip.html", Endpoint::kProbe, true, false, false, false},
    {"apiv3-loginV3.html", Endpoint::kLogin, true, false, false, false},
    {"apiv3-jxpassV3.html", Endpoint::kJxPass, true, false, false, false},
    {"apiv3-serverlistV3.html", Endpoint::kServerList, true, false, false, false},
    {"ping.php", Endpoint::kPing, true, false, false, false},
    {"apiv3-clientRegV3.html", Endpoint::kRegister, true, false, false, false},
    {"apiv3-clientRenewV3.html", Endpoint::kRenew, true, false, false, false},
    {"apiv3-changepwV3.html", Endpoint::kChangePassword, true, false, false, false},
    {"update3/version.php", Endpoint::kVersion, false, false, true, false},
    {"main-logintopV2.html", Endpoint::kPage, false, true, false, false},
    {"main-memberMsg.html", Endpoint::kPage, true, false, false, false},
    {"main-payV2.html", Endpoint::kPage, true, false, false, false},
    {"main-helpV2.html", Endpoint::kPage, true, false, false, false},
    {"userinfo.php", Endpoint::kPage, false, false, false, true},
};

const Route* FindRoute(Role role, std::string_view path) {
  for (const Route& route : kRoutes) {
    if (route.path != path) continue;
    switch (role) {
      case Role::kPrimary:
      case Role::kLogin: return route.api ? &route : nullptr;
      case Role::kBanner: return route.banner ? &route : nullptr;
      case Role::kUpdate1:
      case Role::kUpdate2: return route.update ? &route : nullptr;
      case Role::kAccount: return route.account ? &route : nullptr;
    }
  }
  return nullptr;
}

// What a broken proxy or a cut connection gives. A document keeps its first
// half, so it still looks like one, then breaks off into bytes no reader
// accepts, a zero among them; anything else gets the junk in front, so that
// no prefix check passes by accident.
std::string Garble(const std::string& body) {
  static const char kJunk[] = "\xff\xfe\x81\x00<\xa1\x7f\x80garbled\xfe";
  const std::string junk(kJunk, sizeof kJunk - 1);
  if (body.rfind("<?xml", 0) == 0) return body.substr(0, body.size() / 2) + junk;
  return junk + body;
}

// Log lines stay ASCII, one token per field: the client may send raw code
// page bytes in a query.
std::string LogSafe(std::string_view target) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : target) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string_view ModeName(Mode mode) {
  switch (mode) {
    case Mode::kNormal: return "normal";
    case Mode::kHtml: return "html";
    case Mode::kEmpty: return "empty";
    case Mode::kGarbled: return "garbled";
    case Mode::kSlow: return "slow";
    case Mode::kFail: return "fail";
  }
  return "normal";
}

std::optional<Mode> ModeFromName(std::string_view name) {
  for (Mode mode : {Mode::kNormal, Mode::kHtml, Mode::kEmpty, Mode::kGarbled, Mode::kSlow, Mode::kFail}) {
    if (ModeName(mode) == name) return mode;
  }
  return std::nullopt;
}

DevService::DevService(ServiceData seed, unsigned randomSeed)
    : seed_(std::move(seed)), data_(seed_), startVersion_(seed_.version), random_(randomSeed) {}

void DevService::SetLogSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(mutex_);
  sink_ = std::move(sink);
}

std::vector<std::string> DevService::LogLines() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::optional<Session> DevService::FindSession(const std::string& id) const {
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  if (it == sessions_.end()) return std::nullopt;
  return it->second;
}

std::optional<Account> DevService::FindAccount(const std::string& nameUtf8) const {
  std::lock_guard lock(mutex_);
  for (const Account& account : data_.accounts) {
    if (account.name == nameUtf8) return account;
  }
  return std::nullopt;
}

bool DevService::SetSwitch(std::string_view role, std::string_view path, Mode mode, int delayMs, std::string& error) {
  if (role != "*" && !RoleFromName(role)) {
    error = "unknown role '" + std::string(role) + "'";
    return false;
  }
  std::lock_guard lock(mutex_);
  SetSwitchLocked(std::string(role), std::string(path), mode, delayMs);
  return true;
}

std::string DevService::SetSwitchLocked(const std::string& role, std::string path, Mode mode, int delayMs) {
  while (!path.empty() && path.front() == '/') path.erase(0, 1);
  if (path.empty()) path = "*";
  auto key = std::make_pair(role, path);
  if (mode == Mode::kNormal) {
    switches_.erase(key);
  } else {
    switches_[key] = Switch{mode, mode == Mode::kSlow && delayMs <= 0 ? kDefaultSlowMs : delayMs};
  }
  return path;
}

void DevService::SetVersion(std::string version) {
  std::lock_guard lock(mutex_);
  data_.version = std::move(version);
}

void DevService::KeepAsStartState() {
  std::lock_guard lock(mutex_);
  startSwitches_ = switches_;
  startVersion_ = data_.version;
}

DevService::Switch DevService::FindSwitch(Role role, const std::string& path) const {
  const std::string name(RoleName(role));
  for (const auto& key : {std::make_pair(name, path), std::make_pair(name, std::string("*")),
                          std::make_pair(std::string("*"), path), std::make_pair(std::string("*"), std::string("*"))}) {
    auto it = switches_.find(key);
    if (it != switches_.end()) return it->second;
  }
  return Switch{};
}

Answer DevService::Handle(const Request& request) {
  Answer answer;
  std::function<void(const std::string&)> sink;
  std::string line;
  {
    std::lock_guard lock(mutex_);
    Target target = ParseTarget(request.target);
    if (target.path.rfind(kControlPrefix, 0) == 0) {
      answer = HandleControl(request);
    } else {
      answer = HandleClient(request);
    }
    if (!answer.logged) return answer;
    line = std::string(RoleName(request.role)) + " " + LogSafe(request.target) + " " + answer.kind;
    log_.push_back(line);
    sink = sink_;
  }
  // Outside the lock: a slow sink must not hold up other requests' state.
  if (sink) sink(line);
  return answer;
}

Answer DevService::HandleClient(const Request& request) {
  const std::string path = ParseTarget(request.target).path;
  Switch current = FindSwitch(request.role, path);
  switch (current.mode) {
    case Mode::kHtml:
      return HtmlPage("injected-html", "Service Unavailable",
                      "<h1>Service Unavailable</h1><p>The server is temporarily unable to service your request.</p>");
    case Mode::kEmpty: return Answer{200, "text/plain", "", "injected-empty"};
    case Mode::kFail: return Answer{503, "text/plain", "", "injected-fail"};
    case Mode::kGarbled: {
      Answer answer = Dispatch(request.role, path, request);
      answer.body = Garble(answer.body);
      answer.kind = "injected-garbled";
      return answer;
    }
    case Mode::kSlow: {
      Answer answer = Dispatch(request.role, path, request);
      answer.kind = "slow-" + answer.kind;
      answer.delayMs = current.delayMs;
      return answer;
    }
    case Mode::kNormal: break;
  }
  return Dispatch(request.role, path, request);
}

Answer DevService::Dispatch(Role role, const std::string& path, const Request& request) {
  const Route* route = FindRoute(role, path);
  if (!route) {
    return HtmlPage("not-found", "404 Not Found", "<h1>404</h1><p>页面不存在。</p>", 404);
  }
  switch (route->endpoint) {
    case Endpoint::kProbe: return Probe(request);
    case Endpoint::kLogin: return Login(request);
    case Endpoint::kJxPass: return JxPass(request);
    case Endpoint::kServerList: return ServerList();
    case Endpoint::kPing: return Ping(request);
    case Endpoint::kRegister: return Register(request);
    case Endpoint::kRenew: return Renew(request);
    case Endpoint::kChangePassword: return ChangePassword(request);
    case Endpoint::kVersion: return Version(request);
    case Endpoint::kPage: return PageAnswer(path, request);
  }
  return HtmlPage("not-found", "404 Not Found", "<h1>404</h1>", 404);
}

Account* DevService::AccountByName(const std::string& nameUtf8) {
  for (Account& account : data_.accounts) {
    if (account.name == nameUtf8) return &account;
  }
  return nullptr;
}

std::string DevService::NewDesKey() {
  static constexpr char kAlphabet[] = "abcdefghijkmnpqrstuvwxyz23456789";
  std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
  std::string key;
  for (int i = 0; i < 8; ++i) key.push_back(kAlphabet[pick(random_)]);
  return key;
}

Answer DevService::Probe(const Request& request) { return TextAnswer("probe", "Y|" + request.peer); }

Answer DevService::Login(const Request& request) {
  Target target = ParseTarget(request.target);
  const std::string user = GbkToUtf8(ParamValue(target, "username"));
  const std::string password = GbkToUtf8(ParamValue(target, "password"));
  const std::string sessionId = ParamValue(target, "sessionid");

  std::string xml;
  std::string kind;
  Account* account = AccountByName(user);
  long expireDays = 0;
  if (sessionId.empty()) {
    kind = "login-refused";
    xml = EnvelopeXml(false, "会话标识无效，请重新启动程序");
  } else if (!account || user.empty() || !EqualsIgnoreAsciiCase(account->password, password)) {
    // The client lower-cases the password it logs in with, while the
    // registration keeps it as typed: compare without ASCII case.
    kind = "login-refused";
    xml = EnvelopeXml(false, "用户名或密码错误");
  } else if (!ParseDate(account->expireDate, expireDays) || expireDays < Today(request.now)) {
    kind = "login-expired";
    xml = EnvelopeXml(false, "您的账号已于" + account->expireDate + "到期，请充值续费");
  } else {
    int online = 0;
    for (const auto& [id, session] : sessions_) {
      if (id != sessionId && session.user == user && !session.ended &&
          request.now - session.lastSeen < kSessionIdleSeconds) {
        ++online;
      }
    }
    if (online >= account->maxOnline) {
      kind = "login-full";
      xml = EnvelopeXml(false, "该账号在线数已达上限(" + std::to_string(account->maxOnline) + ")，请稍后再试");
    } else {
      Session session;
      session.id = sessionId;
      session.user = user;
      session.desKey = NewDesKey();
      session.loginTime = request.now;
      session.lastSeen = request.now;
      kind = "login-ok";
      xml = EnvelopeXml(true, "登录成功",
                        {{"deskey2", session.desKey},
                         {"level", std::to_string(account->level)},
                         {"maxonline", std::to_string(account->maxOnline)},
                         {"expiredate", account->expireDate}});
      sessions_[sessionId] = std::move(session);
    }
  }
  std::string document = Utf8ToGbk(xml);
  if (document.size() > kMaxLoginDocumentBytes) {
    // Only reachable with absurd account data; the client could not read it.
    kind = "login-refused";
    document = Utf8ToGbk(EnvelopeXml(false, "账号信息过长"));
  }
  return Answer{200, "text/plain; charset=gbk", netcore::EncipherToHex(document, kLoginKey), kind};
}

Answer DevService::JxPass(const Request& request) {
  Target target = ParseTarget(request.target);
  auto it = sessions_.find(ParamValue(target, "sessionid"));
  if (it == sessions_.end() || it->second.ended) {
    return XmlAnswer("jxpass-refused", EnvelopeXml(false, "会话已失效，请重新登录"));
  }
  const std::string key = it->second.desKey.substr(0, 6);
  std::vector<Fields> items;
  for (const DialIn& dialIn : data_.dialIns) {
    // The client reads the password as code page text after deciphering it.
    items.push_back({{"jxuser", dialIn.user}, {"jxpass", netcore::EncipherToHex(Utf8ToGbk(dialIn.password), key)}});
  }
  return XmlAnswer("jxpass", DocumentXml(items));
}

Answer DevService::ServerList() {
  std::vector<Fields> items;
  for (const ServerEntry& s : data_.servers) {
    items.push_back({{"area", s.area},
                     {"description", s.description},
                     {"nasname", s.nasName},
                     {"jxuer", s.jxUser},
                     {"nasfrom", s.nasFrom},
                     {"pptp", s.pptp},
                     {"l2tp", s.l2tp},
                     {"openvpn", s.openVpn},
                     {"level", s.level},
                     {"online", s.online},
                     {"date", s.date}});
  }
  return XmlAnswer("serverlist", DocumentXml(items));
}

Answer DevService::Ping(const Request& request) {
  Target target = ParseTarget(request.target);
  auto it = sessions_.find(ParamValue(target, "sessionid"));
  if (ParamValue(target, "q") == "1") {
    // Ends the session whoever asks: the client ends a stored earlier
    // session under the name it is about to log in with.
    if (it == sessions_.end()) return TextAnswer("session-end-unknown", "N");
    it->second.ended = true;
    it->second.lastSeen = request.now;
    return TextAnswer("session-end", "Y");
  }
  if (it == sessions_.end()) return TextAnswer("heartbeat-unknown", "N");
  if (it->second.ended) return TextAnswer("heartbeat-ended", "N");
  it->second.lastSeen = request.now;
  it->second.nasName = GbkToUtf8(ParamValue(target, "nasname"));
  ++it->second.heartbeats;
  return TextAnswer("heartbeat", "Y");
}

Answer DevService::Register(const Request& request) {
  Target target = ParseTarget(request.target);
  const std::string user = GbkToUtf8(ParamValue(target, "username"));
  const std::string password = GbkToUtf8(ParamValue(target, "password"));
  const std::string email = GbkToUtf8(ParamValue(target, "email"));
  const std::string level = ParamValue(target, "level");
  auto refuse = [](std::string_view remark) { return XmlAnswer("register-refused", EnvelopeXml(false, remark)); };

  const std::size_t length = CharacterCount(user);
  if (length < 3 || length > 15) return refuse("请输入3-15位之间的数字或字符");
  if (level != "1" && level != "2") return refuse("会员类型错误");
  if (password.size() < 6) return refuse("密码不能低于6位");
  if (email.empty()) return refuse("email不能为空");
  std::size_t at = email.find('@');
  if (at == std::string::npos || at == 0 || at + 1 == email.size()) return refuse("email格式不正确");
  if (AccountByName(user)) return refuse("该用户名已被注册，请换一个用户名");

  Account account;
  account.name = user;
  account.password = password;
  account.level = level == "2" ? 2 : 1;
  account.maxOnline = 1;
  account.expireDate = FormatDate(Today(request.now) + 1);  // one day to try the service
  const std::string remark = "注册成功，赠送1天体验时间，有效期至" + account.expireDate;
  data_.accounts.push_back(std::move(account));
  return XmlAnswer("register-ok", EnvelopeXml(true, remark));
}

Answer DevService::Renew(const Request& request) {
  Target target = ParseTarget(request.target);
  const std::string user = GbkToUtf8(ParamValue(target, "username"));
  const std::string password = GbkToUtf8(ParamValue(target, "password"));
  const std::string cardId = GbkToUtf8(ParamValue(target, "cardID"));
  const std::string cardPassword = GbkToUtf8(ParamValue(target, "cardPW"));
  const std::string level = ParamValue(target, "level");
  auto refuse = [](std::string_view remark) { return XmlAnswer("renew-refused", EnvelopeXml(false, remark)); };

  Account* account = AccountByName(user);
  if (!account) return refuse("充值账户不存在");
  if (!EqualsIgnoreAsciiCase(account->password, password)) return refuse("账户密码错误");
  const int days = CardDays(level);
  if (days == 0) return refuse("充值类型错误");
  auto card = std::find_if(data_.cards.begin(), data_.cards.end(),
                           [&](const Card& c) { return c.id == cardId && c.password == cardPassword; });
  if (card == data_.cards.end()) return refuse("充值卡卡号或密码错误");
  if (card->used) return refuse("该充值卡已被使用");
  if (card->type != level) return refuse("充值卡类型与所选充值天数不符");

  long expireDays = 0;
  if (!ParseDate(account->expireDate, expireDays)) expireDays = 0;
  // Time left is kept; an expired account starts again from today.
  long start = std::max<long>(expireDays, Today(request.now) - 1);
  account->expireDate = FormatDate(start + days);
  card->used = true;
  return XmlAnswer("renew-ok", EnvelopeXml(true, "充值成功，账号有效期至" + account->expireDate));
}

Answer DevService::ChangePassword(const Request& request) {
  Target target = ParseTarget(request.target);
  const std::string user = GbkToUtf8(ParamValue(target, "username"));
  const std::string password = GbkToUtf8(ParamValue(target, "password"));
  const std::string newPassword = GbkToUtf8(ParamValue(target, "newpass"));
  const std::string newPassword2 = GbkToUtf8(ParamValue(target, "newpass2"));
  auto refuse = [](std::string_view remark) { return XmlAnswer("changepw-refused", EnvelopeXml(false, remark)); };

  Account* account = AccountByName(user);
  if (!account || !EqualsIgnoreAsciiCase(account->password, password)) return refuse("用户名或原密码错误");
  if (newPassword.empty()) return refuse("新密码不能为空");
  if (newPassword != newPassword2) return refuse("两次密码不一致");
  if (newPassword.size() < 6) return refuse("新密码不能低于6位");
  account->password = newPassword;
  return XmlAnswer("changepw-ok", EnvelopeXml(true, "密码修改成功，请使用新密码登录"));
}

Answer DevService::Version(const Request& request) {
  Target target = ParseTarget(request.target);
  if (ParamValue(target, "act") != "version") return XmlAnswer("version-refused", EnvelopeXml(false, "参数错误"));
  return XmlAnswer("version", EnvelopeXml(true, "当前版本", {{"versionid", data_.version}}));
}

Answer DevService::PageAnswer(const std::string& path, const Request& request) {
  Target target = ParseTarget(request.target);
  if (path == "main-logintopV2.html") {
    return HtmlPage("page", "Lumetra",
                    "<div style=\"background:#1d5fa8;color:#fff;padding:8px\"><b>Lumetra 网络加速</b>"
                    " &mdash; 稳定快速的海外线路，一键连接。</div>");
  }
  if (path == "main-memberMsg.html") {
    std::size_t areas = 0;
    std::vector<std::string> seen;
    for (const ServerEntry& s : data_.servers) {
      if (std::find(seen.begin(), seen.end(), s.area) == seen.end()) seen.push_back(s.area);
    }
    areas = seen.size();
    return HtmlPage("page", "会员公告",
                    "<p><b>会员公告：</b>本周新增线路，现有 " + std::to_string(data_.servers.size()) + " 台服务器，覆盖 " +
                        std::to_string(areas) + " 个国家和地区。</p>");
  }
  if (path == "main-payV2.html") {
    return HtmlPage("page", "充值续费",
                    "<h3>充值续费</h3><table><tr><th>卡类</th><th>充值天数</th><th>代码</th></tr>"
                    "<tr><td>天卡</td><td>1</td><td>day1</td></tr><tr><td>月卡</td><td>30</td><td>1</td></tr>"
                    "<tr><td>季度卡</td><td>90</td><td>jidu1</td></tr>"
                    "<tr><td>半年卡</td><td>180</td><td>bannian1</td></tr>"
                    "<tr><td>年卡</td><td>365</td><td>nian1</td></tr></table>"
                    "<p>请在登录窗口点击“充值续费”，输入充值卡卡号和密码。</p>");
  }
  if (path == "main-helpV2.html") {
    return HtmlPage("page", "常见问题",
                    "<h3>常见问题</h3><dl><dt>PPTP无法连接（619错误）？</dt><dd>请尝试L2TP或OPENVPN。</dd>"
                    "<dt>提示账号已到期？</dt><dd>请使用充值卡续费。</dd>"
                    "<dt>速度慢？</dt><dd>请测速后选择延迟最低的服务器。</dd></dl>");
  }
  // userinfo.php: the account page, opened in the user's own browser.
  std::string body =
      "<h3>账户管理</h3><form method=\"get\" action=\"userinfo.php\">用户名：<input name=\"username\"> "
      "密码：<input name=\"password\" type=\"password\"> <input type=\"submit\" value=\"查询\"></form>";
  const std::string user = GbkToUtf8(ParamValue(target, "username"));
  if (!user.empty()) {
    Account* account = AccountByName(user);
    if (account && EqualsIgnoreAsciiCase(account->password, GbkToUtf8(ParamValue(target, "password")))) {
      body += "<table><tr><td>用户名</td><td>" + XmlEscape(account->name) + "</td></tr><tr><td>会员级别</td><td>" +
              (account->level == 2 ? "钻石会员" : "黄金会员") + "</td></tr><tr><td>同时在线</td><td>" +
              std::to_string(account->maxOnline) + "</td></tr><tr><td>到期时间</td><td>" + account->expireDate +
              "</td></tr></table>";
    } else {
      body += "<p>用户名或密码错误</p>";
    }
  }
  return HtmlPage("page", "账户管理", body);
}

Answer DevService::HandleControl(const Request& request) {
  Target target = ParseTarget(request.target);
  const std::string command = target.path.substr(kControlPrefix.size());
  if (command == "set") {
    const std::string role = HasParam(target, "role") ? ParamValue(target, "role") : "*";
    const std::string path = HasParam(target, "path") ? ParamValue(target, "path") : "*";
    auto mode = ModeFromName(ParamValue(target, "mode"));
    if (!mode) return ControlText("ERR mode must be normal, html, empty, garbled, slow or fail\n", 400);
    int delayMs = 0;
    if (HasParam(target, "delay") && !ParseNonNegative(ParamValue(target, "delay"), delayMs)) {
      return ControlText("ERR delay must be milliseconds\n", 400);
    }
    if (role != "*" && !RoleFromName(role)) return ControlText("ERR unknown role '" + role + "'\n", 400);
    const std::string cleanPath = SetSwitchLocked(role, path, *mode, delayMs);
    return ControlText("OK " + role + " " + cleanPath + " " + std::string(ModeName(*mode)) + "\n");
  }
  if (command == "log") {
    int since = 0;
    if (HasParam(target, "since") && !ParseNonNegative(ParamValue(target, "since"), since)) {
      return ControlText("ERR since must be a line number\n", 400);
    }
    std::string text;
    for (std::size_t i = static_cast<std::size_t>(since); i < log_.size(); ++i) text += log_[i] + "\n";
    return ControlText(text);
  }
  if (command == "reset") {
    data_ = seed_;
    data_.version = startVersion_;
    sessions_.clear();
    switches_ = startSwitches_;
    log_.clear();
    return ControlText("OK reset\n");
  }
  if (command == "version") {
    int number = 0;
    const std::string value = ParamValue(target, "value");
    if (!ParseNonNegative(value, number)) return ControlText("ERR value must be a decimal number\n", 400);
    data_.version = value;
    return ControlText("OK version " + value + "\n");
  }
  if (command == "switches") {
    std::string text;
    for (const auto& [key, value] : switches_) {
      text += key.first + " " + key.second + " " + std::string(ModeName(value.mode));
      if (value.mode == Mode::kSlow) text += " " + std::to_string(value.delayMs);
      text += "\n";
    }
    return ControlText(text);
  }
  if (command == "state") return ControlText(DumpState(request.now));
  return ControlText("ERR unknown control command; try set, log, reset, version, switches, state\n", 404);
}

std::string DevService::DumpState(long long now) const {
  std::ostringstream out;
  out << "version " << data_.version << "\n";
  for (const Account& a : data_.accounts) {
    out << "account " << a.name << " password=" << a.password << " level=" << a.level << " maxonline=" << a.maxOnline
        << " expiredate=" << a.expireDate << "\n";
  }
  for (const Card& c : data_.cards) {
    out << "card " << c.id << " type=" << c.type << (c.used ? " used" : " unused") << "\n";
  }
  for (const auto& [id, s] : sessions_) {
    out << "session " << id << " user=" << s.user << " deskey2=" << s.desKey << " heartbeats=" << s.heartbeats
        << " nasname=" << s.nasName << " idle=" << (now - s.lastSeen) << (s.ended ? " ended" : " open") << "\n";
  }
  return out.str();
}

}  // namespace devservice
