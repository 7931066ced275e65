// The settings-table walk: every kind of entry read and written under its
// name and in table order, ranges, defaults, bounds and entries not saved.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/IniTable.h"

using gui::TMemIniFile;

namespace {

struct TValues {
    int Clamped = 0, Defaulted = 0, Plain = 0;
    bool Flag = false;
    std::wstring Text;
    gui::TBounds Bounds{1, 2, 3, 4};
    std::wstring Rows;
};

std::vector<int> Of(const gui::TBounds& b) { return {b.Left, b.Top, b.Width, b.Height}; }

gui::TIniTable TableOf(TValues& v, bool saveBounds = true) {
    return {
        gui::IniInt(L"A", L"Clamped", v.Clamped, 5, {0, 10}),
        gui::IniInt(L"A", L"Defaulted", v.Defaulted, 7, {0, 10, gui::TOutOfRange::Default}),
        gui::IniBool(L"B", L"Flag", v.Flag, true),
        gui::IniBounds(L"W", v.Bounds, gui::TBoundsKeys::All, saveBounds),
        gui::IniInt(L"A", L"Plain", v.Plain, -1),
        gui::IniRows([&v](const TMemIniFile& ini) { v.Rows = ini.ReadString(L"R", L"0", L""); },
                     [&v](TMemIniFile& ini) { ini.WriteString(L"R", L"0", v.Rows); }),
        gui::IniString(L"B", L"Text", v.Text, L"none"),
    };
}

TEST(IniTable, MissingKeysGiveTheDefaultsAndTheBoundsTheirOwn) {
    TMemIniFile ini(L"");
    TValues v;
    gui::LoadIniTable(ini, TableOf(v));
    EXPECT_EQ(v.Clamped, 5);
    EXPECT_EQ(v.Defaulted, 7);
    EXPECT_EQ(v.Plain, -1);
    EXPECT_TRUE(v.Flag);
    EXPECT_EQ(v.Text, L"none");
    EXPECT_EQ(Of(v.Bounds), (std::vector<int>{1, 2, 3, 4}));
}

TEST(IniTable, OutOfRangeIsHeldToTheRangeOrGivesTheDefault) {
    TMemIniFile ini(L"");
    ini.SetText(L"[A]\r\nClamped=99\r\nDefaulted=99\r\nPlain=-99999\r\n");
    TValues v;
    gui::LoadIniTable(ini, TableOf(v));
    EXPECT_EQ(v.Clamped, 10);
    EXPECT_EQ(v.Defaulted, 7);
    EXPECT_EQ(v.Plain, -99999);
    ini.SetText(L"[A]\r\nClamped=-3\r\nDefaulted=-3\r\n");
    gui::LoadIniTable(ini, TableOf(v));
    EXPECT_EQ(v.Clamped, 0);
    EXPECT_EQ(v.Defaulted, 7);
}

TEST(IniTable, EveryEntryIsWrittenInTableOrderAndReadBack) {
    TValues v;
    v.Clamped = 3, v.Defaulted = 4, v.Plain = 12, v.Flag = false, v.Text = L"文字";
    v.Bounds = {10, 20, 300, 400};
    v.Rows = L"row";
    TMemIniFile ini(L"");
    gui::SaveIniTable(ini, TableOf(v));
    EXPECT_EQ(ini.Text(), L"[A]\r\nClamped=3\r\nDefaulted=4\r\nPlain=12\r\n\r\n"
                          L"[B]\r\nFlag=0\r\nText=文字\r\n\r\n"
                          L"[W]\r\nTop=20\r\nLeft=10\r\nHeight=400\r\nWidth=300\r\n\r\n"
                          L"[R]\r\n0=row\r\n\r\n");
    TValues back;
    gui::LoadIniTable(ini, TableOf(back));
    EXPECT_EQ(back.Clamped, 3);
    EXPECT_EQ(back.Defaulted, 4);
    EXPECT_EQ(back.Plain, 12);
    EXPECT_FALSE(back.Flag);
    EXPECT_EQ(back.Text, L"文字");
    EXPECT_EQ(Of(back.Bounds), (std::vector<int>{10, 20, 300, 400}));
    EXPECT_EQ(back.Rows, L"row");
}

TEST(IniTable, AnEntryNotSavedKeepsWhatTheFileHolds) {
    TMemIniFile ini(L"");
    ini.SetText(L"[W]\r\nTop=5\r\nLeft=6\r\n");
    TValues v;
    v.Bounds = {100, 200, 300, 400};
    gui::SaveIniTable(ini, TableOf(v, false));
    EXPECT_EQ(ini.ReadInteger(L"W", L"Top", -1), 5);
    EXPECT_EQ(ini.ReadInteger(L"W", L"Left", -1), 6);
    EXPECT_FALSE(ini.ValueExists(L"W", L"Width"));
    EXPECT_TRUE(ini.ValueExists(L"A", L"Clamped"));
}

}  // namespace
