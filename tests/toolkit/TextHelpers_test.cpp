#include <gtest/gtest.h>

#include <string>

#include "toolkit/TextHelpers.h"

namespace {

TEST(TextCompareAndCase, SameTextIgnoresCaseOfEveryLetterTheSystemKnows) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    } const cases[] = {
        {L"", L"", true},
        {L"Progman", L"PROGMAN", true},
        {L"ｅｘｐｌｏｒｅｒ", L"ＥＸＰＬＯＲＥＲ", true},  // fullwidth letters
        {L"café", L"CAFÉ", true},
        {L"C:\\メモ\\a.txt", L"c:\\メモ\\A.TXT", true},
        {L"abc", L"abd", false},
        {L"abc", L"abc ", false},
        {L"", L"a", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameText(c.a, c.b), c.same) << "'" << testing::PrintToString(std::wstring(c.a)) << "' ~ '"
                                              << testing::PrintToString(std::wstring(c.b)) << "'";
        EXPECT_EQ(SameText(c.b, c.a), c.same) << "symmetric";
    }
}

TEST(TextCompareAndCase, UpperAndLowerCaseChangeLettersBeyondAscii) {
    EXPECT_EQ(UpperCase(L"explorer.exe"), L"EXPLORER.EXE");
    EXPECT_EQ(UpperCase(L"ｅｄｉｔ"), L"ＥＤＩＴ");
    EXPECT_EQ(UpperCase(L"é1-あ"), L"É1-あ");
    EXPECT_EQ(LowerCase(L"SearchHost.EXE"), L"searchhost.exe");
    EXPECT_EQ(LowerCase(L"ＴＥＸＴ"), L"ｔｅｘｔ");
    EXPECT_EQ(LowerCase(L""), L"");
}

TEST(TextCompareAndCase, LowerExtTakesTheLastDotOfTheFileNameOnly) {
    struct Case {
        const wchar_t* path;
        const wchar_t* ext;
    } const cases[] = {
        {L"C:\\Windows\\Media\\Ding.WAV", L".wav"},
        {L"C:\\a.b\\c.Lnk", L".lnk"},
        {L"C:\\a.b\\readme", L""},    // the dot is in a folder name
        {L"C:/a.b/readme", L""},      // "/" separates folders too
        {L"D:.EXE", L".exe"},         // a name right after the drive
        {L"D:x", L""},
        {L"archive.tar.GZ", L".gz"},
        {L"name.", L"."},
        {L"メモ.ＴＸＴ", L".ｔｘｔ"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LowerExt(c.path), c.ext) << testing::PrintToString(std::wstring(c.path));
}

TEST(TextCompareAndCase, ReplaceAllReplacesEachOccurrenceOnceFromTheLeft) {
    struct Case {
        const wchar_t* s;
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* result;
    } const cases[] = {
        {L"a\r\nb\r\nc", L"\r\n", L"{改行}", L"a{改行}b{改行}c"},
        {L"a{改行}{改行}", L"{改行}", L"\r\n", L"a\r\n\r\n"},
        {L"aaa", L"a", L"aa", L"aaaaaa"},  // what was put in is not searched again
        {L"aaaa", L"aa", L"b", L"bb"},
        {L"abc", L"x", L"y", L"abc"},
        {L"abc", L"", L"y", L"abc"},  // nothing to look for: unchanged, and no endless loop
        {L"abc", L"b", L"", L"ac"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceAll(c.s, c.from, c.to), c.result) << testing::PrintToString(std::wstring(c.s));
}

}  // namespace
