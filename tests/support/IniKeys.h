// Comparing a settings file a program wrote with the one it was given: the
// same sections, the same keys in the same order, the same values.
#pragma once

#include <string>

#include "gui/IniFile.h"

namespace testing_support {

// Adds a failure for each section, key order or value of `got` that differs
// from `want`.
void ExpectSameKeysInOrder(const gui::TMemIniFile& want, const gui::TMemIniFile& got);
// The same for one section only.
void ExpectSameSection(const gui::TMemIniFile& want, const gui::TMemIniFile& got, const std::wstring& section);

// A settings file's text, as a file in memory.
gui::TMemIniFile IniOfText(const std::wstring& text);

}  // namespace testing_support
