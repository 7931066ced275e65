// "His.ini": defaults for a fresh folder, a round trip of every key, the
// one-time conversion of an old file, the sections of other forms, the
// window bounds of a maximised window, and hand-edited or huge files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/history/HisFiles.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/support/IniKeys.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"

using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

using namespace testing_support;

namespace {

std::string Utf16File(const std::wstring& text) { return gui::EncodeText(text, gui::TTextEncoding::Utf16LE); }

bool StartsWithUtf16Mark(const std::string& bytes) { return bytes.rfind("\xFF\xFE", 0) == 0; }

void ExpectSameSettings(const THisSettings& a, const THisSettings& b) {
#define SAME(f) EXPECT_EQ(a.f, b.f) << #f
    SAME(Top); SAME(Left); SAME(Height); SAME(Width); SAME(Normal);
    SAME(CBAutoMin); SAME(CHKAutoMin); SAME(TrackBarTrans); SAME(TBExeClose); SAME(TBCPUCore);
    SAME(RadioGroupStart); SAME(TBSort); SAME(Tab); SAME(MDir); SAME(CHKTooBarList);
    SAME(MHisListNum); SAME(MCHKHisMenuItem); SAME(CHKAutoDel); SAME(CHKNoSave);
    SAME(CHKHookDesktop); SAME(ComboBoxHook); SAME(CHKIconList);
    SAME(EditHTKShow); SAME(EditHTKMenu); SAME(EditHTKLaunch); SAME(CBPasteDir);
    SAME(FontName); SAME(FontSize); SAME(FontStyle); SAME(FontColor);
    SAME(TBFav); SAME(MFavH); SAME(TBEdit); SAME(MEditW);
    SAME(ChkNetwork); SAME(UDWait); SAME(UDMaxClip); SAME(RadioGroupPaste); SAME(CHKWave);
    SAME(EditWave); SAME(FLaunchVisible);
#undef SAME
    EXPECT_EQ(ItemsOf(a.ListBoxNoDrive), ItemsOf(b.ListBoxNoDrive));
    EXPECT_EQ(ItemsOf(a.ListBoxDir), ItemsOf(b.ListBoxDir));
    EXPECT_EQ(ItemsOf(a.ListBoxExe), ItemsOf(b.ListBoxExe));
}

TEST(HisIni, FreshFolderGivesTheDefaultsAndWritesThem) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    THisSettings s;
    s.Top = 11, s.Left = 22, s.Height = 333, s.Width = 444;  // the window's current bounds
    s.FontStyle = 2, s.FontColor = 0x123456;                   // the font's current style and colour
    LoadHisIni(ini, s);
    EXPECT_EQ(::GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "loading creates no file";

    THisSettings want;  // the design defaults
    const THisSettings sys = DefaultHisSettings();
    want.Top = 11, want.Left = 22, want.Height = 333, want.Width = 444;
    want.FontStyle = 2, want.FontColor = 0x123456;
    want.FontName = sys.FontName;
    want.FontSize = sys.FontSize;
    want.MDir = sys.MDir;
    ExpectSameSettings(s, want);
    EXPECT_FALSE(sys.FontName.empty()) << "the icon font has a name";
    EXPECT_GT(sys.FontSize, 0);
    ASSERT_FALSE(sys.MDir.empty());
    EXPECT_EQ(sys.MDir.back(), L'\\');

    ASSERT_TRUE(SaveHisIni(ini, s));
    const std::string bytes = ReadBytes(ini);
    EXPECT_TRUE(StartsWithUtf16Mark(bytes));

    gui::TMemIniFile f(ini);
    EXPECT_EQ(f.Encoding(), gui::TTextEncoding::Utf16LE);
    struct Key {
        const wchar_t* section;
        const wchar_t* key;
        std::wstring value;
    } keys[] = {
        {L"Window", L"Top", L"11"}, {L"Window", L"Left", L"22"}, {L"Window", L"Height", L"333"},
        {L"Window", L"Width", L"444"}, {L"Window", L"Normal", L"1"}, {L"Window", L"Min", L"0"},
        {L"Window", L"Min-Close", L"0"}, {L"Window", L"Trans", L"100"}, {L"Window", L"ExeClose", L"0"},
        {L"Window", L"CPUCore", L"0"}, {L"Window", L"Start", L"1"}, {L"Window", L"Sort", L"0"},
        {L"Window", L"Tab", L"0"}, {L"Window", L"Dir", sys.MDir}, {L"Window", L"ToolBarList", L"1"},
        {L"History", L"List0", L"100"}, {L"History", L"List4", L"100"}, {L"History", L"MenuItem0", L"1"},
        {L"History", L"MenuItem4", L"1"}, {L"History", L"AutoDelete", L"0"}, {L"History", L"NoSave", L"0"},
        {L"History", L"DeskTopWClick", L"0"}, {L"History", L"DeskTopWClickKey", L"0"},
        {L"Icon", L"List", L"0"}, {L"HotKey", L"Show", L""}, {L"HotKey", L"Menu", L""},
        {L"HotKey", L"Launch", L""}, {L"Address", L"Timing", L"0"}, {L"Font", L"Name", sys.FontName},
        {L"Font", L"Size", std::to_wstring(sys.FontSize)}, {L"Font", L"Style", L"2"},
        {L"Font", L"Color", std::to_wstring(0x123456)}, {L"Fav", L"Visible", L"0"}, {L"Fav", L"Height", L"25"},
        {L"Edit", L"Visible", L"0"}, {L"Edit", L"Width", L"25"}, {L"Drive", L"Count", L"-1"},
        {L"Drive", L"Network", L"0"}, {L"Folder", L"Count", L"-1"}, {L"ExecuteFile", L"Count", L"-1"},
        {L"Clip", L"Wait", L"300"}, {L"Clip", L"MAXClip", L"32"}, {L"Clip", L"Paste", L"0"},
        {L"Clip", L"Sound Enabled", L"0"}, {L"Clip", L"Sound File", L""}, {L"Launch", L"Visible", L"0"},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(testing::Message() << gui::WideToUtf8(k.section) << "/" << gui::WideToUtf8(k.key));
        EXPECT_TRUE(f.ValueExists(k.section, k.key));
        EXPECT_EQ(f.ReadString(k.section, k.key, L"<missing>"), k.value);
    }
    EXPECT_EQ(f.ReadSection(L"Window").size(), 15u);
    EXPECT_EQ(f.ReadSection(L"History").size(), 14u);
    EXPECT_EQ(f.ReadSection(L"Clip").size(), 5u);
}

THisSettings EveryKeyChanged() {
    THisSettings s;
    s.Top = -20, s.Left = 1500, s.Height = 480, s.Width = 640, s.Normal = true;
    s.CBAutoMin = 30, s.CHKAutoMin = true, s.TrackBarTrans = 55, s.TBExeClose = true, s.TBCPUCore = true;
    s.RadioGroupStart = 0, s.TBSort = true, s.Tab = 3, s.MDir = L"D:\\作業\\", s.CHKTooBarList = false;
    s.MHisListNum = {10, 20, 30, 90, 50};
    s.MCHKHisMenuItem = {false, true, false, true, false};
    s.CHKAutoDel = true, s.CHKNoSave = true, s.CHKHookDesktop = true, s.ComboBoxHook = 2;
    s.CHKIconList = true;
    s.EditHTKShow = L"Ctrl+Alt+H", s.EditHTKMenu = L"Shift+F12", s.EditHTKLaunch = L"Win+L";
    s.CBPasteDir = 3;
    s.FontName = L"メイリオ", s.FontSize = 14, s.FontStyle = 1 | 4, s.FontColor = 0x00FF8000;
    s.TBFav = true, s.MFavH = 40, s.TBEdit = true, s.MEditW = 33;
    SetItems(s.ListBoxNoDrive, {L"D:\\", L"\\\\SERVER\\SHARE\\"});
    s.ChkNetwork = true;
    SetItems(s.ListBoxDir, {L"C:\\Temp", L"秘密", L"a = b ; c"});
    SetItems(s.ListBoxExe, {L"notepad.exe"});
    s.UDWait = 700, s.UDMaxClip = 128, s.RadioGroupPaste = 1, s.CHKWave = true;
    s.EditWave = L"C:\\Windows\\Media\\ding.wav";
    s.FLaunchVisible = true;
    return s;
}

TEST(HisIni, EveryKeyRoundTrips) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    const THisSettings saved = EveryKeyChanged();
    ASSERT_TRUE(SaveHisIni(ini, saved));
    THisSettings loaded;
    LoadHisIni(ini, loaded);
    ExpectSameSettings(loaded, saved);

    // Saving what was loaded changes no byte.
    const std::string first = ReadBytes(ini);
    ASSERT_TRUE(SaveHisIni(ini, loaded));
    EXPECT_EQ(ReadBytes(ini), first);
}

// A file written by hand with every key at a value no default has.
const wchar_t* const kEveryKeyFile =
    L"[Window]\r\nTop=-20\r\nLeft=1500\r\nHeight=480\r\nWidth=640\r\nNormal=1\r\nMin=30\r\n"
    L"Min-Close=1\r\nTrans=55\r\nExeClose=1\r\nCPUCore=1\r\nStart=0\r\nSort=1\r\nTab=3\r\n"
    L"Dir=D:\\作業\\\r\nToolBarList=0\r\n"
    L"[History]\r\nList0=10\r\nList1=20\r\nList2=30\r\nList3=90\r\nList4=50\r\nMenuItem0=0\r\n"
    L"MenuItem1=1\r\nMenuItem2=0\r\nMenuItem3=1\r\nMenuItem4=0\r\nAutoDelete=1\r\nNoSave=1\r\n"
    L"DeskTopWClick=1\r\nDeskTopWClickKey=2\r\n"
    L"[Icon]\r\nList=1\r\n"
    L"[HotKey]\r\nShow=Ctrl+Alt+H\r\nMenu=Shift+F12\r\nLaunch=Win+L\r\n"
    L"[Address]\r\nTiming=3\r\n"
    L"[Font]\r\nName=メイリオ\r\nSize=14\r\nStyle=5\r\nColor=16744448\r\n"
    L"[Fav]\r\nVisible=1\r\nHeight=40\r\n"
    L"[Edit]\r\nVisible=1\r\nWidth=33\r\n"
    L"[Drive]\r\nCount=1\r\n0=D:\\\r\n1=\\\\SERVER\\SHARE\\\r\nNetwork=1\r\n"
    L"[Folder]\r\nCount=2\r\n0=C:\\Temp\r\n1=秘密\r\n2=a = b ; c\r\n"
    L"[ExecuteFile]\r\nCount=0\r\n0=notepad.exe\r\n"
    L"[Clip]\r\nWait=700\r\nMAXClip=128\r\nPaste=1\r\nSound Enabled=1\r\n"
    L"Sound File=C:\\Windows\\Media\\ding.wav\r\n"
    L"[Launch]\r\nVisible=1\r\n";

TEST(HisIni, EveryKeyOfAFileIsLoadedAndSavedUnderItsName) {
    ScratchDir from, to;
    const std::wstring source = HisIniFileName(from.Path());
    const std::wstring copy = HisIniFileName(to.Path());
    ASSERT_TRUE(WriteBytes(source, Utf16File(kEveryKeyFile)));
    THisSettings loaded;
    ASSERT_TRUE(LoadHisIni(source, loaded));
    ExpectSameSettings(loaded, EveryKeyChanged());

    ASSERT_TRUE(SaveHisIni(copy, loaded));
    ExpectSameKeysInOrder(gui::TMemIniFile(source), gui::TMemIniFile(copy));
}

TEST(HisIni, MaximisedWindowKeepsTheBoundsSavedBefore) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    THisSettings s;
    s.Top = 10, s.Left = 20, s.Height = 300, s.Width = 400;
    ASSERT_TRUE(SaveHisIni(ini, s));
    s.Normal = false;
    s.Top = 0, s.Left = 0, s.Height = 1024, s.Width = 1280;  // what a maximised window measures
    ASSERT_TRUE(SaveHisIni(ini, s));
    gui::TMemIniFile f(ini);
    EXPECT_EQ(f.ReadString(L"Window", L"Normal", L""), L"0");
    THisSettings back;
    LoadHisIni(ini, back);
    EXPECT_FALSE(back.Normal);
    EXPECT_EQ((std::vector<int>{back.Top, back.Left, back.Height, back.Width}), (std::vector<int>{10, 20, 300, 400}));
}

TEST(HisIni, OtherFormsSectionsAndStaleListKeysStay) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    ASSERT_TRUE(WriteBytes(ini, Utf16File(L"[ExeCmd]\r\nCount=1\r\n0=cmd /c dir\r\n1=notepad\r\n"
                                           L"[Folder]\r\nCount=2\r\n0=TEMP\r\n1=CACHE\r\n2=BACKUP\r\n"
                                           L"[SCMRU]\r\n0=C:\\a.lnk\r\n1=D:\\ショートカット.lnk\r\n"
                                           L"[Window]\r\nUnknown=kept\r\nTop=5\r\n")));
    THisSettings s;
    LoadHisIni(ini, s);
    EXPECT_EQ(ItemsOf(s.ListBoxDir), (Items{L"TEMP", L"CACHE", L"BACKUP"}));
    EXPECT_EQ(s.Top, 5);

    SetItems(s.ListBoxDir, {L"ONLY"});
    ASSERT_TRUE(SaveHisIni(ini, s));
    gui::TMemIniFile f(ini);
    EXPECT_EQ(f.ReadSection(L"ExeCmd"), (Items{L"Count", L"0", L"1"}));
    EXPECT_EQ(f.ReadString(L"ExeCmd", L"0", L""), L"cmd /c dir");
    EXPECT_EQ(f.ReadString(L"SCMRU", L"1", L""), L"D:\\ショートカット.lnk");
    EXPECT_EQ(f.ReadString(L"Window", L"Unknown", L""), L"kept");
    EXPECT_EQ(f.ReadString(L"Folder", L"Count", L""), L"0");
    EXPECT_EQ(f.ReadString(L"Folder", L"0", L""), L"ONLY");
    EXPECT_EQ(f.ReadString(L"Folder", L"2", L""), L"BACKUP") << "keys above Count stay";

    THisSettings back;
    LoadHisIni(ini, back);
    EXPECT_EQ(ItemsOf(back.ListBoxDir), Items{L"ONLY"}) << "and are never read";

    SetItems(s.ListBoxDir, {});
    ASSERT_TRUE(SaveHisIni(ini, s));
    EXPECT_EQ(gui::TMemIniFile(ini).ReadString(L"Folder", L"Count", L""), L"-1");
    LoadHisIni(ini, back);
    EXPECT_TRUE(back.ListBoxDir.Empty());
}

TEST(HisIni, OldCodePageFileIsConvertedOnce) {
    ASSERT_EQ(::GetACP(), 932u) << "the tests run in the Japanese code page";
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    // "ＭＳ ゴシック" and "C:\ソフト\" in code page 932: "ソ" ends in the byte of "\".
    const std::string old = "[Font]\r\nName=\x82l\x82r \x83S\x83V\x83\x62\x83N\r\nSize=11\r\n"
                            "[Window]\r\nDir=C:\\\x83\\\x83t\x83g\\\r\n"
                            "[SCMRU]\r\n0=C:\\\x83\\\x83t\x83g\\a.lnk\r\n";
    ASSERT_TRUE(WriteBytes(ini, old));
    THisSettings s;
    LoadHisIni(ini, s);
    EXPECT_EQ(s.FontName, L"ＭＳ ゴシック");
    EXPECT_EQ(s.FontSize, 11);
    EXPECT_EQ(s.MDir, L"C:\\ソフト\\");
    const std::string converted = ReadBytes(ini);
    EXPECT_TRUE(StartsWithUtf16Mark(converted));
    EXPECT_EQ(gui::TMemIniFile(ini).ReadString(L"SCMRU", L"0", L""), L"C:\\ソフト\\a.lnk")
        << "other forms' sections are converted with it";

    EXPECT_FALSE(ConvertAnsiHisIni(ini)) << "a converted file is left alone";
    THisSettings again;
    LoadHisIni(ini, again);
    EXPECT_EQ(again.FontName, L"ＭＳ ゴシック");
    EXPECT_EQ(ReadBytes(ini), converted);
}

TEST(HisIni, FilesInOtherEncodingsAreNotConverted) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    const std::wstring text = L"[Font]\r\nName=メイリオ\r\n[Window]\r\nDir=D:\\データ\\\r\n";
    struct Case {
        const char* name;
        gui::TTextEncoding enc;
    } cases[] = {{"UTF-8 without mark", gui::TTextEncoding::Utf8NoBom},
                 {"UTF-8 with mark", gui::TTextEncoding::Utf8},
                 {"UTF-16BE", gui::TTextEncoding::Utf16BE},
                 {"UTF-16LE", gui::TTextEncoding::Utf16LE}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const std::string bytes = gui::EncodeText(text, k.enc);
        ASSERT_TRUE(WriteBytes(ini, bytes));
        EXPECT_FALSE(ConvertAnsiHisIni(ini));
        THisSettings s;
        LoadHisIni(ini, s);
        EXPECT_EQ(ReadBytes(ini), bytes) << "loading leaves the file as it is";
        EXPECT_EQ(s.FontName, L"メイリオ") << "read in its own encoding";
        EXPECT_EQ(s.MDir, L"D:\\データ\\");
        // Saving writes UTF-16LE and keeps the text.
        ASSERT_TRUE(SaveHisIni(ini, s));
        EXPECT_TRUE(StartsWithUtf16Mark(ReadBytes(ini)));
        THisSettings back;
        LoadHisIni(ini, back);
        EXPECT_EQ(back.FontName, L"メイリオ");
    }
}

TEST(HisIni, HandEditedValuesAreHeldToTheirRanges) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    ASSERT_TRUE(WriteBytes(ini, Utf16File(L"[History]\r\nList0=-5\r\nList1=5\r\nList2=100000\r\nList3=abc\r\n"
                                           L"List4=0\r\nDeskTopWClickKey=7\r\n"
                                           L"[Window]\r\nTrans=0\r\nTab=9\r\nMin=-1\r\nStart=3\r\n"
                                           L"[Clip]\r\nWait=5000\r\nMAXClip=1\r\nPaste=-2\r\n"
                                           L"[Address]\r\nTiming=99\r\n")));
    THisSettings s;
    LoadHisIni(ini, s);
    EXPECT_EQ(s.MHisListNum, (std::array<int, 5>{0, 5, 100, 100, 0}))
        << "a length below 0 becomes 0, above 100 becomes 100; 5 and 0 are used as they are";
    EXPECT_EQ(s.ComboBoxHook, 2);
    EXPECT_EQ(s.TrackBarTrans, 20);
    EXPECT_EQ(s.Tab, 4);
    EXPECT_EQ(s.CBAutoMin, 0);
    EXPECT_EQ(s.RadioGroupStart, 1);
    EXPECT_EQ(s.UDWait, 1000);
    EXPECT_EQ(s.UDMaxClip, 8);
    EXPECT_EQ(s.RadioGroupPaste, 0);
    EXPECT_EQ(s.CBPasteDir, 4);
}

TEST(HisIni, DamagedCountsAndHugeFilesLoad) {
    ScratchDir dir;
    const std::wstring ini = HisIniFileName(dir.Path());
    // 100,000 keys in a list section whose Count claims even more, and a
    // foreign section that makes the file over 10 MB.
    std::wstring text = L"[Drive]\r\nCount=2147483647\r\n0=D:\\\r\n5=E:\\\r\n[Folder]\r\nCount=2147483647\r\n";
    for (int i = 0; i < 100000; ++i) text += std::to_wstring(i) + L"=F" + std::to_wstring(i) + L"\r\n";
    text += L"[ExeCmd]\r\n";
    const std::wstring filler(100, L'x');
    for (int i = 0; i < 50000; ++i) text += L"k" + std::to_wstring(i) + L"=" + filler + L"\r\n";
    text += L"[History]\r\nList1=30\r\n[ExecuteFile]\r\nCount=-7\r\n0=never.exe\r\n";
    const std::string bytes = Utf16File(text);
    ASSERT_GT(bytes.size(), 10u * 1024 * 1024);
    ASSERT_TRUE(WriteBytes(ini, bytes));

    THisSettings s;
    LoadHisIni(ini, s);
    EXPECT_EQ(s.MHisListNum[1], 30);
    EXPECT_EQ(ItemsOf(s.ListBoxNoDrive), (Items{L"D:\\", L"E:\\"})) << "missing keys give no empty items";
    ASSERT_GT(s.ListBoxDir.Count(), 0);
    EXPECT_LE(s.ListBoxDir.Count(), 1000) << "a list no settings page made is cut";
    EXPECT_EQ(s.ListBoxDir[0], L"F0");
    EXPECT_TRUE(s.ListBoxExe.Empty()) << "a Count below 0 reads nothing";

    ASSERT_TRUE(SaveHisIni(ini, s));
    gui::TMemIniFile f(ini);
    EXPECT_EQ(f.ReadSection(L"ExeCmd").size(), 50000u) << "the foreign section is kept whole";
    EXPECT_EQ(f.ReadString(L"Folder", L"99999", L""), L"F99999");
}

TEST(HisListItemHeight, RoundsByTheFont) {
    struct Case {
        const wchar_t* font;
        int size;
        int height;
    } cases[] = {{L"メイリオ", 9, 22},  {L"メイリオ", 10, 24}, {L"メイリオ", 12, 29},
                 {L"MS UI Gothic", 9, 20}, {L"MS UI Gothic", 10, 22}, {L"Tahoma", 12, 26},
                 {L"Tahoma", 8, 18}};
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << gui::WideToUtf8(k.font) << " " << k.size);
        EXPECT_EQ(HisListItemHeight(k.font, k.size), k.height);
    }
}

}  // namespace
