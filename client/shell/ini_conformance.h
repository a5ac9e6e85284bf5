// One table of INI cases, run natively against the portable implementation
// and under Wine against the private-profile functions.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "client/shell/config_store.h"

// `folder` is an existing, empty, writable folder; `slash` its separator.
inline void CheckIniConformance(IniFiles& ini, const std::u16string& folder, char16_t slash) {
  const std::u16string file = folder + slash + u"config.ini";
  const std::u16string missingFolderFile = folder + slash + u"no-such-folder" + slash + u"config.ini";

  // A missing file reads as empty everywhere.
  EXPECT_EQ(ReadConfigValue(ini, file, u"username"), u"");

  // Writing creates file and section; names compare without regard to case.
  WriteConfigValue(ini, u"UserName", u"alice", file);
  WriteConfigValue(ini, u"remember", u"1", file);
  struct Case {
    const char16_t* key;
    const char16_t* expected;
  } reads[] = {
      {u"username", u"alice"}, {u"USERNAME", u"alice"}, {u"remember", u"1"}, {u"password", u""}, {u"", u""},
  };
  for (const Case& c : reads) EXPECT_EQ(ReadConfigValue(ini, file, c.key), c.expected);

  // A write replaces the key's value and leaves the other keys alone.
  WriteConfigValue(ini, u"username", u"bob", file);
  EXPECT_EQ(ReadConfigValue(ini, file, u"username"), u"bob");
  EXPECT_EQ(ReadConfigValue(ini, file, u"remember"), u"1");
  WriteConfigValue(ini, u"password", u"", file);
  EXPECT_EQ(ReadConfigValue(ini, file, u"password"), u"");

  // Chinese text survives (a new file is written in the system code page).
  WriteConfigValue(ini, u"area", u"美国西部", file);
  EXPECT_EQ(ReadConfigValue(ini, file, u"area"), u"美国西部");

  // Long values read back as their first 1023 characters.
  const std::u16string longValue(1500, u'x');
  WriteConfigValue(ini, u"long", longValue, file);
  EXPECT_EQ(ReadConfigValue(ini, file, u"long"), longValue.substr(0, kConfigValueMaxChars));

  // Keys of other sections are not ours.
  ini.Write(file, u"other", u"language", u"en");
  EXPECT_EQ(ReadConfigValue(ini, file, u"language"), u"");
  EXPECT_EQ(ini.Read(file, u"OTHER", u"language"), u"en");
  EXPECT_EQ(ReadConfigValue(ini, file, u"username"), u"bob");

  // A write into a folder that does not exist is lost without a trace.
  WriteConfigValue(ini, u"username", u"carol", missingFolderFile);
  EXPECT_EQ(ReadConfigValue(ini, missingFolderFile, u"username"), u"");
}
