// Loads the built dravik.dll by name, as the client does, and calls its exports.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using CipherFn = char* (*)(const char*, const char*, char*, int);

class DravikExports : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(L"dravik.dll");
    ASSERT_NE(module_, nullptr) << "dravik.dll next to the test";
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  template <typename Fn>
  Fn Lookup(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HMODULE module_ = nullptr;
};

TEST_F(DravikExports, CipherRoundTripThroughUndecoratedNames) {
  auto opa = Lookup<CipherFn>("opa");
  auto opb = Lookup<CipherFn>("opb");
  ASSERT_NE(opa, nullptr);
  ASSERT_NE(opb, nullptr);

  char out[4096] = {};
  EXPECT_EQ(opa("abc", "", out, sizeof out), out);
  EXPECT_STREQ(out, "b2b3319ab2109238");
  char back[4096] = {};
  opb(out, nullptr, back, sizeof back);
  EXPECT_STREQ(back, "abc");

  // A text past the 2040-byte limit gives an empty result, never an overflow.
  std::string tooLong(3000, 'a');
  out[0] = 'x';
  opa(tooLong.c_str(), "kt204719", out, sizeof out);
  EXPECT_STREQ(out, "");
}

}  // namespace
