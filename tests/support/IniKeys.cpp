#include "tests/support/IniKeys.h"

#include <gtest/gtest.h>

namespace testing_support {

void ExpectSameSection(const gui::TMemIniFile& want, const gui::TMemIniFile& got, const std::wstring& section) {
    ASSERT_EQ(got.ReadSection(section), want.ReadSection(section)) << section;
    for (const std::wstring& key : want.ReadSection(section))
        EXPECT_EQ(got.ReadString(section, key, L"<none>"), want.ReadString(section, key, L"<none>"))
            << section << L"/" << key;
}

void ExpectSameKeysInOrder(const gui::TMemIniFile& want, const gui::TMemIniFile& got) {
    ASSERT_EQ(got.ReadSections(), want.ReadSections());
    for (const std::wstring& section : want.ReadSections()) ExpectSameSection(want, got, section);
}

gui::TMemIniFile IniOfText(const std::wstring& text) {
    gui::TMemIniFile ini(L"");
    ini.SetText(text);
    return ini;
}

}  // namespace testing_support
