// The real Orvandel.exe writing "Config.ini" through its close query.
#include <gtest/gtest.h>

#include <vector>

#include "gui/Exception.h"
#include "gui/Graphics.h"
#include "gui/Handles.h"
#include "gui/TextCodec.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayConfig.h"
#include "tests/support/TrayProcess.h"
#include "toolkit/QuorvinFiles.h"

using namespace testing_support;

namespace {

TEST(TrayProcess, FreshSettingsFolderGetsDefaultConfig) {
    const std::wstring config = SettingsFolder() + L"Config.ini";
    ::DeleteFileW(config.c_str());
    ChildProcess p = ChildProcess::Start(BinDir() + L"Orvandel.exe");
    HWND form = WaitForTrayForm(p.Pid());
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(ReadBytes(config).empty());
    SendClose(form);
    ASSERT_TRUE(p.WaitExit(10000));

    gui::TFont font;
    font.SetHeight(-9);
    const std::string expected = testing_support::DefaultConfigIni(font.Size());
    EXPECT_EQ(ReadBytes(config), expected);

    // Changed values survive a restart, and a taking-over start saves them
    // through the running instance's close query.
    std::string changed = expected;
    changed.replace(changed.find("Disp=0\r\nTime=0"), 14, "Disp=3\r\nTime=2");
    ASSERT_TRUE(WriteBytes(config, changed));
    ChildProcess again = ChildProcess::Start(BinDir() + L"Orvandel.exe");
    ASSERT_NE(WaitForTrayForm(again.Pid()), nullptr);
    ::DeleteFileW(config.c_str());
    ChildProcess takeOver = ChildProcess::Start(BinDir() + L"Orvandel.exe", L"/ListError");
    EXPECT_TRUE(again.WaitExit(8000));
    EXPECT_EQ(ReadBytes(config), changed);
    HWND last = WaitForTrayForm(takeOver.Pid());
    ASSERT_NE(last, nullptr);
    SendClose(last);
    EXPECT_TRUE(takeOver.WaitExit(10000));
}

}  // namespace

namespace {

// Histories and favourites survive a restart of the real program: what it
// loads at start it writes back at its close.
TEST(TrayProcess, HistoriesSurviveARestart) {
    const std::wstring folder = SettingsFolder();
    ScratchDir files;
    const std::wstring a = files / L"履歴A.txt", b = files / L"b.txt";
    ASSERT_TRUE(WriteBytes(a, "a"));
    ASSERT_TRUE(WriteBytes(b, "b"));
    // Files history and files favourites, UTF-16LE with mark, CR LF after each line.
    auto lines = [](std::initializer_list<std::wstring> entries) {
        std::wstring text;
        for (const auto& e : entries) text += e + L"\r\n";
        return gui::EncodeText(text, gui::TTextEncoding::Utf16LE);
    };
    ASSERT_TRUE(WriteBytes(folder + L"His01.lst", lines({a, b})));
    ASSERT_TRUE(WriteBytes(folder + L"His11.lst", lines({b})));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ChildProcess p = ChildProcess::Start(BinDir() + L"Orvandel.exe");
        HWND form = WaitForTrayForm(p.Pid());
        ASSERT_NE(form, nullptr);
        SendClose(form);
        ASSERT_TRUE(p.WaitExit(10000));
        EXPECT_EQ(ReadBytes(folder + L"His01.lst"), lines({a, b}));
        EXPECT_EQ(ReadBytes(folder + L"His11.lst"), lines({b}));
        EXPECT_FALSE(ReadBytes(folder + L"His.ini").empty());
    }
}

}  // namespace

namespace {

// Settings and list files that another program holds without sharing while
// Orvandel starts cannot be read then; the close that follows keeps them as
// they are, however little the program itself knew of them.
TEST(TrayProcess, FilesThatCouldNotBeReadAtStartAreKept) {
    const std::wstring folder = SettingsFolder();
    auto lines = [](std::initializer_list<std::wstring> entries) {
        std::wstring text;
        for (const auto& e : entries) text += e + L"\r\n";
        return gui::EncodeText(text, gui::TTextEncoding::Utf16LE);
    };
    struct Held {
        std::wstring name;
        std::string bytes;
    } files[] = {
        {L"Config.ini", "[CPU]\r\nDisp=3\r\n"},
        {L"His.ini", gui::EncodeText(L"[Window]\r\nTop=123\r\n", gui::TTextEncoding::Utf16LE)},
        {L"His11.lst", lines({L"C:\\お気に入り.txt"})},
        {L"His00.lst", "not a list box stream, but the user's file all the same"},
    };
    std::vector<gui::FileHandle> holds;
    for (const Held& f : files) {
        ASSERT_TRUE(WriteBytes(folder + f.name, f.bytes));
        holds.emplace_back(::CreateFileW((folder + f.name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holds.back()) << gui::WideToUtf8(f.name);
    }
    // A write the last run could not finish.
    const std::wstring leftover = folder + L"His01.lst.4242.1234.7.tmp";
    ASSERT_TRUE(WriteBytes(leftover, "half"));

    ChildProcess p = ChildProcess::Start(BinDir() + L"Orvandel.exe");
    HWND form = WaitForTrayForm(p.Pid());
    ASSERT_NE(form, nullptr);
    holds.clear();  // the other program lets go
    SendClose(form);
    ASSERT_TRUE(p.WaitExit(30000));
    for (const Held& f : files) EXPECT_EQ(ReadBytes(folder + f.name), f.bytes) << gui::WideToUtf8(f.name);
    EXPECT_EQ(::GetFileAttributesW(leftover.c_str()), INVALID_FILE_ATTRIBUTES) << "removed at start";
    for (const Held& f : files) ::DeleteFileW((folder + f.name).c_str());
}

}  // namespace
