#include "netcore/cipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace netcore {
namespace {

TEST(Cipher, WorkedExampleWithEmptyKey) {
  EXPECT_EQ(EncipherToHex("abc", ""), "b2b3319ab2109238");
  EXPECT_EQ(EncipherToHex("12345678abc", ""), "901391b2b8b99b1eb2b3319ab2109238");
  EXPECT_EQ(DecipherFromHex("b2b3319ab2109238", ""), "abc");
  EXPECT_EQ(DecipherFromHex("B2B3319AB2109238", ""), "abc");
  EXPECT_EQ(DecipherFromHex("901391B2B8B99B1EB2B3319AB2109238", ""), "12345678abc");
}

TEST(Cipher, RoundTripsUnderTheServiceKey) {
  for (const std::string& text : std::vector<std::string>{"a", "secret", "12345678", "123456789", "\xc3\xdc\xc2\xeb GBK bytes",
                           std::string(2040, 'x')}) {
    std::string hex = EncipherToHex(text, "kt204719");
    EXPECT_EQ(hex.size(), (text.size() + 7) / 8 * 16) << text;
    EXPECT_EQ(DecipherFromHex(hex, "kt204719"), text);
  }
}

TEST(Cipher, BlockCountAndPadding) {
  EXPECT_EQ(EncipherToHex("", "k"), "");
  EXPECT_EQ(EncipherToHex("12345678", "k").size(), 16u);
  EXPECT_EQ(EncipherToHex("123456789", "k").size(), 32u);
  // Trailing spaces are the padding, so they do not survive.
  EXPECT_EQ(EncipherToHex("ab  ", "k"), EncipherToHex("ab", "k"));
  EXPECT_EQ(DecipherFromHex(EncipherToHex("ab  ", "k"), "k"), "ab");
  // Blocks are independent.
  std::string twice = EncipherToHex("abcdefghabcdefgh", "k");
  EXPECT_EQ(twice.substr(0, 16), twice.substr(16));
}

TEST(Cipher, KeyBytesBeyondEightAndTopBitsDoNotCount) {
  const std::string base = EncipherToHex("payload", "        ");
  EXPECT_EQ(EncipherToHex("payload", ""), base);
  EXPECT_EQ(EncipherToHex("payload", "kt204719"), EncipherToHex("payload", "kt204719-and-more"));
  // 'k' ^ 0x80 and '2' ^ 0x80 differ only in the most significant bit.
  EXPECT_EQ(EncipherToHex("payload", "kt204719"), EncipherToHex("payload", "\xebt\xb2" "04719"));
  EXPECT_NE(EncipherToHex("payload", "kt204719"), base);
}

TEST(Cipher, MalformedHexIsReadLeniently) {
  const std::string hex = EncipherToHex("hello", "key");
  struct Case { std::string input; const char* why; } cases[] = {
      {hex + "   ", "trailing spaces"},
      {"", "empty"},
      {hex + "7", "odd extra digit forms an ignored short group"},
      {hex + "0102", "short tail group is ignored"},
  };
  EXPECT_EQ(DecipherFromHex(cases[0].input, "key"), "hello") << cases[0].why;
  EXPECT_EQ(DecipherFromHex(cases[1].input, "key"), "") << cases[1].why;
  EXPECT_EQ(DecipherFromHex(cases[2].input, "key"), "hello") << cases[2].why;
  EXPECT_EQ(DecipherFromHex(cases[3].input, "key"), "hello") << cases[3].why;
  EXPECT_EQ(DecipherFromHex("        ", "key"), "");
  // Non-digits read as 0: "zz" deciphers like "00".
  EXPECT_EQ(DecipherFromHex("zz" + hex.substr(2), "k"), DecipherFromHex("00" + hex.substr(2), "k"));
  // An odd length puts the lone digit in the high nibble.
  EXPECT_EQ(DecipherFromHex(hex.substr(0, 15), "key"), DecipherFromHex(hex.substr(0, 15) + "0", "key"));
}

TEST(Cipher, DecipheredTextEndsAtItsFirstZeroByte) {
  // Find a block that deciphers with a zero byte inside by enciphering one.
  std::string withZero("ab\0cd", 5);
  std::string hex = EncipherToHex(withZero, "k");
  EXPECT_EQ(DecipherFromHex(hex, "k"), "ab");
}

TEST(CipherExports, OutputBufferRule) {
  char out[8];
  std::memset(out, '#', sizeof out);
  EncipherInto("abc", "", out, 1);
  EXPECT_EQ(out[0], '#') << "out size 1 writes nothing";

  std::memset(out, '#', sizeof out);
  EncipherInto("abc", "", out, 5);
  EXPECT_EQ(std::string(out, 4), "b2b3");
  EXPECT_EQ(out[4], '#') << "the last byte of out is never written";

  char big[40];
  std::memset(big, '#', sizeof big);
  DecipherInto("b2b3319ab2109238", nullptr, big, 40);
  EXPECT_STREQ(big, "abc");
  for (int i = 3; i < 39; ++i) EXPECT_EQ(big[i], '\0') << i;
  EXPECT_EQ(big[39], '#');

  EXPECT_EQ(EncipherInto("abc", "", nullptr, 10), nullptr);
  EXPECT_EQ(EncipherInto("abc", "", out, 0), out);
}

TEST(CipherExports, InputsBeyondTheLimitsGiveAnEmptyResult) {
  std::string out(4096, '#');
  EncipherInto(std::string(kMaxPlainBytes + 1, 'a').c_str(), "k", out.data(), 4096);
  EXPECT_EQ(out[0], '\0');
  EncipherInto(std::string(kMaxPlainBytes, 'a').c_str(), "k", out.data(), 4096);
  EXPECT_EQ(std::strlen(out.c_str()), 4080u);

  std::string hex = EncipherToHex(std::string(kMaxHexDigits / 2, 'z'), "k");
  std::vector<char> big(8192, '#');
  DecipherInto(hex.c_str(), "k", big.data(), 8192);
  EXPECT_EQ(std::strlen(big.data()), kMaxHexDigits / 2);
  DecipherInto((hex + "00").c_str(), "k", big.data(), 8192);
  EXPECT_EQ(big[0], '\0');
  // Trailing spaces do not count against the limit.
  DecipherInto((hex + "    ").c_str(), "k", big.data(), 8192);
  EXPECT_EQ(std::strlen(big.data()), kMaxHexDigits / 2);
}

}  // namespace
}  // namespace netcore
