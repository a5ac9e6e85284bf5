// Requests to the service: URLs made from a base and a path template, and
// the checks every caller makes on an answer.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "client/shell/code_page.h"

// Path templates; the leading %s takes the base, the others the parameters.
namespace endpoint {
inline constexpr char16_t kProbe[] = u"%sapiv3-getip.html?sessionid=%s";
inline constexpr char16_t kLogin[] =
    u"%sapiv3-loginV3.html?username=%s&password=%s&sessionid=%s&origin=%s&verid=%s&buildid=%s";
inline constexpr char16_t kDialCredentials[] = u"%sapiv3-jxpassV3.html?sessionid=%s";
inline constexpr char16_t kServerList[] = u"%sapiv3-serverlistV3.html";
inline constexpr char16_t kHeartbeat[] = u"%sping.php?username=%s&sessionid=%s&nasname=%s";
inline constexpr char16_t kSessionEnd[] = u"%sping.php?username=%s&sessionid=%s&q=1";
inline constexpr char16_t kRegister[] = u"%sapiv3-clientRegV3.html?level=%s&origin=%s&username=%s&password=%s&email=%s";
inline constexpr char16_t kRenew[] =
    u"%sapiv3-clientRenewV3.html?username=%s&password=%s&cardID=%s&cardPW=%s&level=%s";
inline constexpr char16_t kChangePassword[] = u"%sapiv3-changepwV3.html?username=%s&password=%s&newpass=%s&newpass2=%s";
inline constexpr char16_t kVersion[] = u"%supdate3/version.php?act=version";
inline constexpr char16_t kLoginBanner[] = u"%smain-logintopV2.html?ctype=public&origin=%s";
inline constexpr char16_t kMemberMessage[] = u"%smain-memberMsg.html?ctype=public&origin=%s";
inline constexpr char16_t kRechargePage[] = u"%smain-payV2.html";
inline constexpr char16_t kFaqPage[] = u"%smain-helpV2.html";
inline constexpr char16_t kAccountPage[] = u"%suserinfo.php";
}  // namespace endpoint

// The login's build number, sent with every login request.
inline constexpr char16_t kBuildNumber[] = u"3011";

// Fills a template: the base as it stands, each parameter percent-encoded
// from its system-code-page bytes (unreserved characters stay as they are),
// so '&', '=', '#', '+', '%' and spaces reach the service intact. Missing
// parameters count as empty; surplus ones are ignored.
std::u16string FormatRequest(std::u16string_view pathTemplate, std::u16string_view base,
                             std::initializer_list<std::u16string_view> parameters, const CodePage& codePage);

// A template without parameters (pages, the version request).
std::u16string WithBase(std::u16string_view pathTemplate, std::u16string_view base);

std::u16string PercentEncode(std::string_view bytes);

// Callers that need a document test for this exact beginning.
bool IsXmlDocument(std::u16string_view answer);
