#include "netcore/cipher.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace netcore {
namespace {

using u8 = std::uint8_t;
using u64 = std::uint64_t;

// Permutation tables in the classic notation: output bit i (from 1, most
// significant first) is input bit table[i - 1].
constexpr u8 kIp[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};
constexpr u8 kFinal[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};
constexpr u8 kExpand[48] = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
    12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
    22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};
constexpr u8 kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                       2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};
constexpr u8 kPc1[56] = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
    10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
    14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
// Entries 31 and 40 are 33 and 50: part of the stored format.
constexpr u8 kPc2[48] = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
    26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 33, 37, 47, 55, 30, 40,
    51, 45, 33, 48, 44, 49, 39, 50, 34, 53, 46, 42, 50, 36, 29, 32};
// Five entries differ from the classic boxes (S1 row 3 columns 8 and 10,
// S2 row 0 column 10, S5 row 2 column 7, S8 row 2 column 15): also format.
constexpr u8 kSBox[8][4][16] = {
    {{14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7},
     {0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8},
     {4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0},
     {15, 12, 8, 2, 4, 9, 1, 7, 4, 11, 1, 14, 10, 0, 6, 13}},
    {{15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 1, 13, 12, 0, 5, 10},
     {3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5},
     {0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15},
     {13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9}},
    {{10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8},
     {13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1},
     {13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7},
     {1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12}},
    {{7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15},
     {13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9},
     {10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4},
     {3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14}},
    {{2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9},
     {14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6},
     {4, 2, 1, 11, 10, 13, 7, 7, 15, 9, 12, 5, 6, 3, 0, 14},
     {11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3}},
    {{12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11},
     {10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8},
     {9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6},
     {4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13}},
    {{4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1},
     {13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6},
     {1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2},
     {6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12}},
    {{13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7},
     {1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2},
     {7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 0},
     {2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}}};

// Bit n (from 1) of a value of `width` bits, most significant first.
constexpr u64 Bit(u64 value, int width, int n) { return (value >> (width - n)) & 1u; }

template <std::size_t N>
u64 Permute(u64 input, int inputWidth, const u8 (&table)[N]) {
  u64 out = 0;
  for (std::size_t i = 0; i < N; ++i) out = (out << 1) | Bit(input, inputWidth, table[i]);
  return out;
}

u64 RoundKey(std::string_view key) {
  u8 block[8];
  std::memset(block, ' ', sizeof block);
  std::memcpy(block, key.data(), key.size() < 8 ? key.size() : 8);
  u64 keyBits = 0;
  for (u8 b : block) keyBits = (keyBits << 8) | b;
  // Each selected bit is the one just below the classic position, so the
  // top bit of every key byte never takes part.
  u64 cd = 0;
  for (u8 v : kPc1) cd = (cd << 1) | Bit(keyBits, 64, v + 1);
  constexpr u64 kMask28 = (1u << 28) - 1;
  u64 c = cd >> 28, d = cd & kMask28;
  c = ((c << 1) | (c >> 27)) & kMask28;
  d = ((d << 1) | (d >> 27)) & kMask28;
  return Permute((c << 28) | d, 56, kPc2);
}

std::uint32_t F(std::uint32_t half, u64 roundKey) {
  u64 x = Permute(half, 32, kExpand) ^ roundKey;
  std::uint32_t joined = 0;
  for (int box = 0; box < 8; ++box) {
    unsigned group = static_cast<unsigned>(x >> (42 - 6 * box)) & 0x3F;
    unsigned row = ((group >> 4) & 2) | (group & 1);
    unsigned col = (group >> 1) & 0xF;
    joined = (joined << 4) | kSBox[box][row][col];
  }
  return static_cast<std::uint32_t>(Permute(joined, 32, kP));
}

u64 Encipher(u64 block, u64 roundKey) {
  u64 lr = Permute(block, 64, kIp);
  auto l0 = static_cast<std::uint32_t>(lr >> 32), r0 = static_cast<std::uint32_t>(lr);
  std::uint32_t l1 = r0, r1 = l0 ^ F(r0, roundKey);
  return Permute((u64{l1} << 32) | r1, 64, kFinal);
}

u64 Decipher(u64 block, u64 roundKey) {
  u64 lr = Permute(block, 64, kIp);
  auto l1 = static_cast<std::uint32_t>(lr >> 32), r1 = static_cast<std::uint32_t>(lr);
  std::uint32_t r0 = l1, l0 = r1 ^ F(l1, roundKey);
  return Permute((u64{l0} << 32) | r0, 64, kFinal);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // malformed digits read as 0, never refused
}

std::string_view TrimTrailingSpaces(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

char* CopyOut(const std::string& result, char* out, int outSize) {
  if (out == nullptr || outSize < 1) return out;
  std::size_t room = static_cast<std::size_t>(outSize) - 1;
  std::size_t n = result.size() < room ? result.size() : room;
  std::memcpy(out, result.data(), n);
  std::memset(out + n, 0, room - n);
  return out;
}

}  // namespace

std::string EncipherToHex(std::string_view text, std::string_view key) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const u64 roundKey = RoundKey(key);
  std::string hex;
  hex.reserve((text.size() + 7) / 8 * 16);
  for (std::size_t pos = 0; pos < text.size(); pos += 8) {
    u8 block[8];
    std::memset(block, ' ', sizeof block);
    std::size_t n = text.size() - pos < 8 ? text.size() - pos : 8;
    std::memcpy(block, text.data() + pos, n);
    u64 value = 0;
    for (u8 b : block) value = (value << 8) | b;
    value = Encipher(value, roundKey);
    for (int shift = 60; shift >= 0; shift -= 4) hex += kDigits[(value >> shift) & 0xF];
  }
  return hex;
}

std::string DecipherFromHex(std::string_view hex, std::string_view key) {
  const u64 roundKey = RoundKey(key);
  hex = TrimTrailingSpaces(hex);
  std::string text;
  // Two digits per byte; a lone last digit is a high nibble; a group shorter
  // than 8 bytes at the end is ignored.
  const std::size_t bytes = (hex.size() + 1) / 2;
  for (std::size_t blockStart = 0; blockStart + 8 <= bytes; blockStart += 8) {
    u64 value = 0;
    for (std::size_t i = blockStart; i < blockStart + 8; ++i) {
      int high = HexValue(hex[2 * i]);
      int low = 2 * i + 1 < hex.size() ? HexValue(hex[2 * i + 1]) : 0;
      value = (value << 8) | static_cast<u64>(high << 4 | low);
    }
    value = Decipher(value, roundKey);
    for (int shift = 56; shift >= 0; shift -= 8) text += static_cast<char>((value >> shift) & 0xFF);
  }
  if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  text.resize(TrimTrailingSpaces(text).size());
  return text;
}

char* EncipherInto(const char* text, const char* key, char* out, int outSize) {
  std::string_view plain = text ? std::string_view(text) : std::string_view();
  std::string result;
  if (plain.size() <= kMaxPlainBytes) result = EncipherToHex(plain, key ? key : "");
  return CopyOut(result, out, outSize);
}

char* DecipherInto(const char* hex, const char* key, char* out, int outSize) {
  std::string_view digits = TrimTrailingSpaces(hex ? std::string_view(hex) : std::string_view());
  std::string result;
  if (digits.size() <= kMaxHexDigits) result = DecipherFromHex(digits, key ? key : "");
  return CopyOut(result, out, outSize);
}

}  // namespace netcore
