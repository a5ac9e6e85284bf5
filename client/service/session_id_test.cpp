#include "client/service/session_id.h"

#include <gtest/gtest.h>

namespace {

TEST(SessionId, GuidFieldsInTheirCases) {
  Guid guid{0x1a2b3c4d, 0xabcd, 0xef01, {0xde, 0xad, 0xbe, 0xef, 0x00, 0x01, 0x0a, 0xff}};
  EXPECT_EQ(SessionIdFromGuid(guid), u"1A2B3C4DABCDef01DEADBEEF00010AFF");
}

TEST(SessionId, TimeFallbackAppendsSixRandomDigits) {
  int calls = 0;
  auto random = [&calls] { return 17 + calls++; };  // 17, 18, ... -> 7, 8, 9, 0, 1, 2
  EXPECT_EQ(SessionIdFromTime(1700000000, random), u"1700000000789012");
}

}  // namespace
