// The login conversation with the service, from the typed account to the
// dial credentials. The windows it ends in (the main frame) are the login
// dialog's business; this decides only what is sent, kept and said.
#pragma once

#include <functional>
#include <string>

#include "client/shell/app_context.h"

struct LoginPorts {
  // One GET; the empty text when the request failed.
  std::function<std::u16string(const std::u16string& url)> fetch;
  // A message for the user.
  std::function<void(const std::u16string& text)> inform;
};

struct LoginInput {
  std::u16string userName;
  std::u16string password;
  bool remember = false;
};

enum class LoginOutcome {
  kLoggedIn,
  kUnreachable,         // "连接服务器失败"
  kRefused,             // the service's remark was shown
  kUnexpectedResult,    // nothing said
  kNoDialCredentials,   // "error:106,获取服务器信息失败"
};

// ASCII capitals become small letters; everything else stays.
std::u16string LowerAscii(std::u16string text);

// Runs the whole conversation on the calling thread and fills `state`:
// userName, password, apiBase (switched when the probe fails), loginAnswer,
// jxKey and jxAnswer. What it wrote to the configuration stays written
// whatever the outcome.
LoginOutcome RunLogin(AppContext& app, const LoginPorts& ports, const LoginInput& input);
