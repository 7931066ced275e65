#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/monitors/BtnFiles.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/support/IniKeys.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

TBtnEntry Entry(std::wstring program, std::wstring caption, std::wstring height, std::wstring width,
                std::wstring button, std::wstring message) {
    TBtnEntry e;
    e[bfProgram] = std::move(program);
    e[bfCaption] = std::move(caption);
    e[bfClass] = L"#32770";
    e[bfHeight] = std::move(height);
    e[bfWidth] = std::move(width);
    e[bfButtonCaption] = std::move(button);
    e[bfButtonClass] = L"Button";
    e[bfMessage] = std::move(message);
    return e;
}

const std::string kBom16 = "\xFF\xFE";

TEST(BtnFiles, MissingFilesGiveTheDefaults) {
    ScratchDir dir;
    std::vector<TBtnEntry> entries{Entry(L"X.EXE", L"x", L"", L"", L"OK", L"")};
    bool move = false;
    LoadBtnList(BtnListFileName(dir.Path()), entries, move);
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(move) << "the cursor follows pressed buttons";

    TBtnSettings s;
    s.Top = 11, s.Left = 22, s.Height = 333, s.Width = 444;
    s.CHKWav = true;
    s.EditHTKStop = L"Ctrl+Q";
    LoadBtnIni(BtnIniFileName(dir.Path()), s);
    EXPECT_EQ(s.EditHTKStop, L"Shift+Ctrl+B");
    EXPECT_FALSE(s.CHKWav);
    EXPECT_FALSE(s.CHKWavRes);
    EXPECT_TRUE(s.Normal);
    EXPECT_EQ(s.Top, 11) << "the bounds stay the window's";
    EXPECT_EQ(s.Width, 444);
    EXPECT_FALSE(::GetFileAttributesW(BtnListFileName(dir.Path()).c_str()) != INVALID_FILE_ATTRIBUTES)
        << "reading creates no file";
}

TEST(BtnFiles, ListRoundTripsAsUtf16WithCountAsLastIndex) {
    ScratchDir dir;
    const std::wstring file = BtnListFileName(dir.Path());
    const std::vector<TBtnEntry> cases[] = {
        {},
        {Entry(L"NOTEPAD.EXE", L"メモ帳", L"120", L"300", L"保存しない(&N)", L"変更を{改行}保存しますか")},
        {Entry(L"A.EXE", L"Cap", L"", L"", L"OK", L""), Entry(L"B.EXE", L"確認", L"99", L"250", L"&Yes", L"")},
    };
    for (const auto& entries : cases) {
        std::vector<TBtnEntry> saved = entries;
        for (auto& e : saved) e[bfPressedIn] = L"1234", e[bfPressed] = L"OK";  // never written
        ASSERT_TRUE(SaveBtnList(file, saved, false));
        const std::string bytes = ReadBytes(file);
        EXPECT_EQ(bytes.substr(0, 2), kBom16);

        gui::TMemIniFile ini(file);
        EXPECT_EQ(ini.ReadString(L"Button", L"Count", L"?"), std::to_wstring(int(entries.size()) - 1));
        EXPECT_EQ(ini.ReadString(L"Cursor", L"Move", L"?"), L"0");
        if (!entries.empty()) {
            // Key "0" the program, "1" to "7" the row's sub-items 0 to 6.
            const std::wstring last = L"Button" + std::to_wstring(entries.size() - 1);
            const TBtnEntry& e = entries.back();
            const wchar_t* keys[] = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7"};
            for (int k = 0; k < 8; ++k) EXPECT_EQ(ini.ReadString(last, keys[k], L"?"), e[k]) << k;
            EXPECT_FALSE(ini.ValueExists(last, L"8"));
        } else {
            EXPECT_FALSE(ini.SectionExists(L"Button0"));
        }

        std::vector<TBtnEntry> loaded;
        bool move = true;
        LoadBtnList(file, loaded, move);
        EXPECT_EQ(loaded, entries) << "runtime fields come back empty";
        EXPECT_FALSE(move);
        ::DeleteFileW(file.c_str());
    }
}

TEST(BtnFiles, SystemCodePageListIsConvertedOnce) {
    ScratchDir dir;
    const std::wstring file = BtnListFileName(dir.Path());
    const std::wstring text =
        L"[Button]\r\nCount=0\r\n[Button0]\r\n0=APP.EXE\r\n1=確認\r\n2=#32770\r\n3=\r\n4=\r\n"
        L"5=はい(&Y)\r\n6=Button\r\n7=\r\n[Cursor]\r\nMove=0\r\n";
    ASSERT_TRUE(WriteBytes(file, gui::EncodeText(text, gui::TTextEncoding::Ansi)));

    std::vector<TBtnEntry> loaded;
    bool move = true;
    LoadBtnList(file, loaded, move);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0], Entry(L"APP.EXE", L"確認", L"", L"", L"はい(&Y)", L""));
    EXPECT_FALSE(move);
    const std::string converted = ReadBytes(file);
    EXPECT_EQ(converted.substr(0, 2), kBom16) << "rewritten as UTF-16LE";

    // From then on it is read as it is and left alone.
    LoadBtnList(file, loaded, move);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0][bfCaption], L"確認");
    EXPECT_EQ(ReadBytes(file), converted);
}

TEST(BtnFiles, Utf8ListWithoutMarkIsReadButNotConverted) {
    ScratchDir dir;
    const std::wstring file = BtnListFileName(dir.Path());
    const std::string utf8 = gui::EncodeText(L"[Button]\r\nCount=0\r\n[Button0]\r\n0=APP.EXE\r\n1=確認\r\n",
                                             gui::TTextEncoding::Utf8NoBom);
    ASSERT_TRUE(WriteBytes(file, utf8));
    std::vector<TBtnEntry> loaded;
    bool move = false;
    LoadBtnList(file, loaded, move);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0][bfCaption], L"確認");
    EXPECT_EQ(ReadBytes(file), utf8);
}

TEST(BtnFiles, ADamagedCountReadsNoEntryPastTheLastOneInTheFile) {
    ScratchDir dir;
    const std::wstring file = BtnListFileName(dir.Path());
    const struct {
        const char* name;
        std::wstring count;
        size_t loaded;
    } cases[] = {{"huge", L"2147483647", 3}, {"negative", L"-2147483648", 0}, {"as written", L"1", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring text = L"[Button]\r\nCount=" + c.count +
                                  L"\r\n[Button0]\r\n0=A.EXE\r\n[Button2]\r\n0=C.EXE\r\n1=確認\r\n";
        ASSERT_TRUE(WriteBytes(file, kBom16 + std::string(reinterpret_cast<const char*>(text.data()),
                                                          text.size() * sizeof(wchar_t))));
        std::vector<TBtnEntry> entries;
        bool move = false;
        LoadBtnList(file, entries, move);
        ASSERT_EQ(entries.size(), c.loaded);
        if (c.loaded > 0) {
            EXPECT_EQ(entries[0][bfProgram], L"A.EXE");
        }
        if (c.loaded > 1) {
            EXPECT_EQ(entries[1], TBtnEntry{}) << "a missing entry inside the range is empty";
        }
        if (c.loaded > 2) {
            EXPECT_EQ(entries[2][bfCaption], L"確認");
        }
    }
}

TEST(BtnFiles, IniKeepsBoundsOfAMaximisedWindowAndOtherKeys) {
    ScratchDir dir;
    const std::wstring file = BtnIniFileName(dir.Path());
    ASSERT_TRUE(WriteBytes(file, "[Window]\r\nTop=5\r\nLeft=6\r\nHeight=7\r\nWidth=8\r\n[Other]\r\nKeep=1\r\n"));

    TBtnSettings s;
    s.Normal = false;
    s.Top = 100, s.Left = 200, s.Height = 300, s.Width = 400;
    s.EditHTKStop = L"Ctrl+Alt+S";
    s.CHKWav = true;
    s.CHKWavRes = true;
    s.EditWav = L"C:\\Windows\\Media\\ding.wav";
    ASSERT_TRUE(SaveBtnIni(file, s));
    std::string bytes = ReadBytes(file);
    EXPECT_NE(bytes.substr(0, 2), kBom16) << "the system code page";
    EXPECT_NE(bytes.find("Normal=0"), std::string::npos);
    EXPECT_NE(bytes.find("Enabled=1"), std::string::npos);
    EXPECT_NE(bytes.find("Keep=1"), std::string::npos) << "other keys survive";

    TBtnSettings r;
    LoadBtnIni(file, r);
    EXPECT_FALSE(r.Normal);
    EXPECT_EQ(r.Top, 5) << "a maximised window leaves the bounds as they were";
    EXPECT_EQ(r.Width, 8);
    EXPECT_EQ(r.EditHTKStop, L"Ctrl+Alt+S");
    EXPECT_TRUE(r.CHKWav);
    EXPECT_TRUE(r.CHKWavRes);
    EXPECT_EQ(r.EditWav, s.EditWav);

    s.Normal = true;
    s.CHKWav = false;
    ASSERT_TRUE(SaveBtnIni(file, s));
    LoadBtnIni(file, r);
    EXPECT_TRUE(r.Normal);
    EXPECT_EQ(r.Top, 100);
    EXPECT_EQ(r.Left, 200);
    EXPECT_EQ(r.Height, 300);
    EXPECT_EQ(r.Width, 400);
    EXPECT_FALSE(r.CHKWav);
}

// Files written by hand with every key at a value no default has (but
// Normal, which would keep the bounds out of the file).
const wchar_t* const kEveryKeyIni =
    L"[Window]\r\nNormal=1\r\nTop=-20\r\nLeft=1500\r\nHeight=480\r\nWidth=640\r\n"
    L"[HotKey]\r\nStop=Ctrl+Alt+S\r\n"
    L"[Sound]\r\nEnabled=1\r\nResource=1\r\nFile=C:\\Windows\\Media\\ding.wav\r\n";
const wchar_t* const kEveryKeyList =
    L"[Button]\r\nCount=1\r\n"
    L"[Button0]\r\n0=NOTEPAD.EXE\r\n1=メモ帳\r\n2=#32770\r\n3=120\r\n4=300\r\n5=保存しない(&N)\r\n"
    L"6=Button\r\n7=変更を{改行}保存しますか\r\n"
    L"[Button1]\r\n0=A.EXE\r\n1=Cap\r\n2=#32770\r\n3=\r\n4=\r\n5=OK\r\n6=Button\r\n7=\r\n"
    L"[Cursor]\r\nMove=0\r\n";

TEST(BtnFiles, EveryKeyOfAFileIsLoadedAndSavedUnderItsName) {
    struct Case {
        std::wstring (*name)(const std::wstring& folder);
        gui::TTextEncoding encoding;
        const wchar_t* text;
        void (*loadAndSave)(const std::wstring& from, const std::wstring& to);
    };
    const Case cases[] = {
        {BtnIniFileName, gui::TTextEncoding::Ansi, kEveryKeyIni,
         [](const std::wstring& from, const std::wstring& to) {
             TBtnSettings s;
             LoadBtnIni(from, s);
             ASSERT_TRUE(SaveBtnIni(to, s));
         }},
        {BtnListFileName, gui::TTextEncoding::Utf16LE, kEveryKeyList,
         [](const std::wstring& from, const std::wstring& to) {
             std::vector<TBtnEntry> entries;
             bool move = true;
             LoadBtnList(from, entries, move);
             ASSERT_TRUE(SaveBtnList(to, entries, move));
         }},
    };
    for (const Case& c : cases) {
        ScratchDir from, to;
        const std::wstring source = c.name(from.Path()), copy = c.name(to.Path());
        SCOPED_TRACE(source);
        ASSERT_TRUE(WriteBytes(source, gui::EncodeText(c.text, c.encoding)));
        c.loadAndSave(source, copy);
        const gui::TMemIniFile got(copy);
        EXPECT_EQ(got.Encoding(), c.encoding);
        ExpectSameKeysInOrder(gui::TMemIniFile(source), got);
    }
}

}  // namespace
