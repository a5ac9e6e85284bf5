#include "client/service/login.h"

#include "client/service/envelope.h"
#include "client/service/service_api.h"
#include "client/service/service_bases.h"

std::u16string LowerAscii(std::u16string text) {
  for (char16_t& c : text)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
  return text;
}

LoginOutcome RunLogin(AppContext& app, const LoginPorts& ports, const LoginInput& input) {
  ClientState& state = app.state;
  const CodePage& codePage = app.cipher.codePage;
  auto request = [&](std::u16string_view pathTemplate, std::initializer_list<std::u16string_view> parameters) {
    return ports.fetch(FormatRequest(pathTemplate, state.apiBase, parameters, codePage));
  };

  state.userName = input.userName;
  state.password = LowerAscii(input.password);

  if (input.remember) {
    WriteConfigValue(app.ini, u"username", state.userName, state.configPath);
    WriteConfigValue(app.ini, u"password", EncipherText(app.cipher, state.password, kFixedKey), state.configPath);
    WriteConfigValue(app.ini, u"remember", u"1", state.configPath);
  } else {
    WriteConfigValue(app.ini, u"password", u"", state.configPath);
    WriteConfigValue(app.ini, u"remember", u"0", state.configPath);
  }

  // End the session of the last successful login, if the service still has it.
  const std::u16string storedSession = ReadConfigValue(app.ini, state.configPath, u"sessionid");
  if (!storedSession.empty()) request(endpoint::kSessionEnd, {state.userName, storedSession});

  const std::u16string version =
      ReadConfigValue(app.ini, state.appFolder + u"\\conf\\version.ini", u"versionid");

  // A primary server that does not answer the probe is given up for the run.
  if (request(endpoint::kProbe, {state.sessionId}).substr(0, 2) != u"Y|") state.apiBase = kLoginServerBase;

  const std::u16string answer = request(
      endpoint::kLogin, {state.userName, state.password, state.sessionId, state.origin, version, kBuildNumber});
  const std::u16string document = DecipherText(app.cipher, answer, kFixedKey);
  if (!IsXmlDocument(document)) {
    ports.inform(u"连接服务器失败");
    return LoginOutcome::kUnreachable;
  }
  const ResultRemark verdict = ReadResultRemark(document);
  if (verdict.result == u"N") {
    ports.inform(verdict.remark);
    return LoginOutcome::kRefused;
  }
  if (verdict.result != u"Y") return LoginOutcome::kUnexpectedResult;

  state.loginAnswer = document;
  state.jxKey = ReadItemField(document, u"deskey2").substr(0, 6);
  WriteConfigValue(app.ini, u"sessionid", state.sessionId, state.configPath);

  std::u16string credentials = request(endpoint::kDialCredentials, {state.sessionId});
  if (!IsXmlDocument(credentials)) {
    ports.inform(u"error:106,获取服务器信息失败");
    return LoginOutcome::kNoDialCredentials;
  }
  state.jxAnswer = std::move(credentials);
  return LoginOutcome::kLoggedIn;
}
