// Starting the program with Windows: a value under the machine's Run key
// holding the program path.
#pragma once

#include <string>

inline constexpr char16_t kRunValueName[] = u"qarvo";

// False when the Run key cannot be opened (no administrator rights).
bool SetStartWithSystem(const std::u16string& valueName, bool on);
// True only when the value holds exactly this program's path; a moved
// program or a missing value gives false.
bool IsStartWithSystem(const std::u16string& valueName);
