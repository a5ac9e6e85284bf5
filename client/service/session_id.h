// Session identifiers: one per run, made at start-up, sent with every login
// attempt of the run and kept in the configuration after a successful login.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::array<std::uint8_t, 8> data4;
};

// 32 hex digits: data1 and data2 upper-case, data3 lower-case, then the
// eight bytes of data4 upper-case.
std::u16string SessionIdFromGuid(const Guid& guid);

// Without a GUID: the time in seconds followed by six digits from `nextRandom`.
template <typename Random>
std::u16string SessionIdFromTime(std::time_t now, Random&& nextRandom) {
  std::string digits = std::to_string(static_cast<long long>(now));
  for (int i = 0; i < 6; ++i) digits += static_cast<char>('0' + nextRandom() % 10);
  return std::u16string(digits.begin(), digits.end());
}

// The platform's GUID, or the time-based fallback when none can be had.
std::u16string MakeSessionId();
