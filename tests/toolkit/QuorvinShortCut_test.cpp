#include <gtest/gtest.h>

#include "toolkit/QuorvinShortCut.h"

namespace {

TEST(ShortCutText, BothWays) {
    struct {
        TShortCut value;
        const wchar_t* text;
    } cases[] = {
        {TShortCut('A' | scCtrl), L"Ctrl+A"},
        {TShortCut('H' | scCtrl | scShift), L"Shift+Ctrl+H"},
        {TShortCut(VK_F5 | scCtrl | scAlt), L"Ctrl+Alt+F5"},
        {TShortCut(VK_F12 | scShift | scCtrl | scAlt), L"Shift+Ctrl+Alt+F12"},
        {TShortCut(VK_F24 | scAlt), L"Alt+F24"},
        {TShortCut('7' | scAlt), L"Alt+7"},
        {TShortCut(VK_SPACE | scCtrl), L"Ctrl+Space"},
        {TShortCut(VK_BACK | scAlt), L"Alt+BkSp"},
        {TShortCut(VK_TAB | scCtrl), L"Ctrl+Tab"},
        {TShortCut(VK_RETURN | scShift), L"Shift+Enter"},
        {TShortCut(VK_ESCAPE | scCtrl), L"Ctrl+Esc"},
        {TShortCut(VK_PRIOR | scCtrl), L"Ctrl+PgUp"},
        {TShortCut(VK_NEXT | scCtrl), L"Ctrl+PgDn"},
        {TShortCut(VK_HOME | scCtrl), L"Ctrl+Home"},
        {TShortCut(VK_END | scCtrl), L"Ctrl+End"},
        {TShortCut(VK_LEFT | scAlt), L"Alt+Left"},
        {TShortCut(VK_UP | scAlt), L"Alt+Up"},
        {TShortCut(VK_RIGHT | scAlt), L"Alt+Right"},
        {TShortCut(VK_DOWN | scAlt), L"Alt+Down"},
        {TShortCut(VK_INSERT | scShift), L"Shift+Ins"},
        {TShortCut(VK_DELETE | scCtrl | scAlt), L"Ctrl+Alt+Del"},
        {TShortCut('Z'), L"Z"},
        {TShortCut(VK_F1), L"F1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(ShortCutToText(c.value), c.text);
        EXPECT_EQ(TextToShortCut(c.text), c.value);
    }
}

TEST(ShortCutText, ValuesFromKeysAndHeldModifiers) {
    EXPECT_EQ(ShortCut('H', ssCtrl | ssShift), TShortCut('H' | scCtrl | scShift));
    EXPECT_EQ(ShortCut(VK_F5, ssAlt | ssLeft | ssDouble), TShortCut(VK_F5 | scAlt)) << "mouse state ignored";
    EXPECT_EQ(ShortCut(0x100, ssCtrl), 0) << "no virtual key";
    EXPECT_EQ(ShortCutToText(0), L"");
    EXPECT_EQ(ShortCutToText(TShortCut(0xE8 | scCtrl)), L"Ctrl+") << "a key without a name";
}

TEST(ShortCutText, ReadingTexts) {
    EXPECT_EQ(TextToShortCut(L"ctrl+alt+f5"), TShortCut(VK_F5 | scCtrl | scAlt)) << "names without case";
    EXPECT_EQ(TextToShortCut(L"Alt+Ctrl+F5"), TShortCut(VK_F5 | scCtrl | scAlt)) << "any modifier order";
    EXPECT_EQ(TextToShortCut(L"SHIFT+a"), TShortCut('A' | scShift));
    for (const wchar_t* bad : {L"", L"Ctrl+", L"Ctrl+Nothing", L"Hyper+A", L"Ctrl+AB", L"Shift+Ctrl"}) {
        EXPECT_EQ(TextToShortCut(bad), 0) << testing::PrintToString(std::wstring(bad));
    }
}

TEST(ShortCutText, EveryNamedKeyReadsBack) {
    // Keys the keyboard layout names (digits, punctuation, the number pad)
    // come back as a key of the same name.
    int named = 0;
    for (int key = 1; key <= 0xFF; ++key) {
        std::wstring text = ShortCutToText(TShortCut(key | scCtrl));
        if (text == L"Ctrl+") continue;
        ++named;
        SCOPED_TRACE(testing::PrintToString(text));
        TShortCut back = TextToShortCut(text);
        EXPECT_NE(back, 0);
        EXPECT_EQ(ShortCutToText(back), text);
    }
    EXPECT_GT(named, 80);
}

}  // namespace
