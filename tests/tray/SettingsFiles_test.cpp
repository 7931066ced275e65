// The settings files the forms keep: each one written by hand with its keys
// at values no default has is read when the program starts, and written
// again at exit into a fresh file it holds the same sections, keys and
// values, in the same order and encoding.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/support/IniKeys.h"
#include "tests/support/TestSupport.h"
#include "tests/tray/TrayFixture.h"

namespace {

using gui::TTextEncoding;

struct TSettingsFile {
    const wchar_t* Name;
    TTextEncoding Encoding;
    const wchar_t* Text;
    const wchar_t* Section = nullptr;  // the one section the form keeps in a file shared with others
    bool (*Save)() = nullptr;          // the form's own save, for a file it writes on hiding, not at exit
};

const TSettingsFile kFiles[] = {
    {L"Config.ini", TTextEncoding::Ansi,
     L"[Tray]\r\nTrashTop=1\r\nTrashCheck=1\r\nIMEHint=1\r\nIMEIconColor=1\r\nPPIMEEnable=1\r\n"
     L"IME=3\r\nIMEWave=2\r\nStartDelay=0\r\nFontSize=8\r\nFav=0\r\nIcon=1\r\nWide=1\r\nNarrow=1\r\n"
     L"[CPU]\r\nStop=1\r\nDisp=4\r\nTime=5\r\n[RAM]\r\nStop=1\r\n[History]\r\nStop=1\r\n"
     L"[Button]\r\nStop=1\r\nCursor=0\r\nCaret=0\r\n[ProgramLaunch]\r\nDisp=1\r\n[Panel]\r\nTray/Panel=1\r\n"},
    {L"Panel.ini", TTextEncoding::Ansi,
     L"[Window]\r\nTop=200\r\nLeft=300\r\n[Disp]\r\nSize=3\r\nTop=1\r\nPosition=1\r\nLeft=1\r\nTrans=7\r\n"},
    {L"Launch.ini", TTextEncoding::Utf16LE,
     L"[Window]\r\nTransCount=12\r\nAlphaBlend=1\r\nTop=120\r\nLeft=140\r\nHeight=420\r\nWidth=520\r\n"
     L"[History]\r\nHeight=60\r\n[ToolBar]\r\nClick=0\r\nHide=1\r\nIcon=1\r\nVisible=0\r\n",
     nullptr, [] { return LaunchForm->Proc_SaveIni(); }},
    {L"SPDir.ini", TTextEncoding::Ansi,
     L"[Window]\r\nTop=110\r\nLeft=130\r\nHeight=450\r\nWidth=660\r\n[ToolBar]\r\nOpenClose=1\r\n"},
    // A maximised window would keep its bounds out of the file: Max stays 0.
    {L"Drive.ini", TTextEncoding::Utf16LE,
     L"[Window]\r\nMax=0\r\nTop=90\r\nLeft=100\r\nHeight=540\r\nWidth=1240\r\nTray=0\r\n"
     L"[Drive]\r\nCount=2\r\n"
     L"[Drive0]\r\n0=E:\\\r\n1=写真\r\n2=C:\\Tools\\view.exe\r\n3=/a \"x y\"\r\n4=1\r\n"
     L"[Drive1]\r\n0=F:\\\r\n1=Backup\r\n2=C:\\Tools\\copy.exe\r\n3=\r\n4=0\r\n"},
    // The settings window's keys are written when it is confirmed, the tray
    // menu's at exit.
    {L"RAM.ini", TTextEncoding::Ansi,
     L"[RAM]\r\nValue=30\r\nAuto=70\r\nTime=5\r\nTrayWClick=2\r\nStop=1\r\nDisp=2\r\n", nullptr,
     [] { return RAMForm->Proc_SaveIni().empty(); }},
    {L"His.ini", TTextEncoding::Utf16LE, L"[ExeCmd]\r\nTop=150\r\nLeft=160\r\nWidth=840\r\n", L"ExeCmd"},
};

class SettingsFiles : public testing::Test, public TrayFormFixture {};

TEST_F(SettingsFiles, EveryKeyOfAFileIsLoadedAndSavedUnderItsName) {
    for (const TSettingsFile& f : kFiles)
        ASSERT_TRUE(testing_support::WriteBytes(dir / f.Name, gui::EncodeText(f.Text, f.Encoding))) << f.Name;
    StartTray();
    // Written again from nothing, so the order is the one a new file has.
    for (const TSettingsFile& f : kFiles) ASSERT_TRUE(::DeleteFileW((dir / f.Name).c_str())) << f.Name;
    for (const TSettingsFile& f : kFiles)
        if (f.Save) {
            EXPECT_TRUE(f.Save()) << f.Name;
        }
    ASSERT_TRUE(TrayForm->CloseQuery());

    for (const TSettingsFile& f : kFiles) {
        SCOPED_TRACE(f.Name);
        const gui::TMemIniFile want = testing_support::IniOfText(f.Text), got(dir / f.Name);
        ASSERT_TRUE(got.Loaded());
        EXPECT_EQ(got.Encoding(), f.Encoding);
        if (f.Section) testing_support::ExpectSameSection(want, got, f.Section);
        else testing_support::ExpectSameKeysInOrder(want, got);
    }
}

}  // namespace
