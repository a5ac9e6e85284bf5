#include "client/shell/update_check.h"

#include "client/service/envelope.h"
#include "client/service/service_api.h"
#include "client/service/service_bases.h"

bool NewerVersionOffered(const FetchText& fetch, IniFiles& ini, const std::u16string& appFolder) {
  std::u16string answer = fetch(WithBase(endpoint::kVersion, kFirstUpdateBase));
  if (!IsXmlDocument(answer)) answer = fetch(WithBase(endpoint::kVersion, kSecondUpdateBase));
  const std::int32_t offered = LeadingNumber(ReadItemField(answer, u"versionid"));
  const std::int32_t installed = LeadingNumber(ReadConfigValue(ini, appFolder + u"\\conf\\version.ini", u"versionid"));
  return installed < offered;
}
