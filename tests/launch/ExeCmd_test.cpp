// The command-line options dialog against real files in a scratch settings
// folder: the per-program history in "ExeCmd.log" with its encodings, the
// drop-down driven through the controls' own messages inside the modal
// loop, the options of a running helper read back, and the start.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/history/ExeCmdLog.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/launch/LaunchFixture.h"
#include "tests/support/PlacedWindow.h"

using namespace launch_testing;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;
using Items = std::vector<std::wstring>;

namespace {

class ExeCmdFiles : public testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = DataFolder;
        DataFolder = dir_.Path();
    }
    void TearDown() override { DataFolder = oldFolder_; }
    std::wstring Log() const { return dir_ / L"ExeCmd.log"; }

    ScratchDir dir_;
    std::wstring oldFolder_;
};

// --- the file --------------------------------------------------------------------

TEST_F(ExeCmdFiles, NewFileInTheSystemCodePageAndKeysAboveCountStay) {
    ASSERT_TRUE(WriteExeCmdOptions(Log(), L"C:\\Tools\\tool.exe", {L"-a", L"日本語 オプション", L"-c"}));
    std::string bytes = ReadBytes(Log());
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark";
    EXPECT_EQ(bytes, gui::EncodeText(L"[tool.exe]\r\nCount=3\r\nOption0=-a\r\nOption1=日本語 オプション\r\n"
                                     L"Option2=-c\r\n\r\n", gui::TTextEncoding::Ansi));
    ASSERT_TRUE(WriteExeCmdOptions(Log(), L"C:\\Tools\\tool.exe", {L"-c"}));
    gui::TMemIniFile ini(Log());
    EXPECT_EQ(ini.ReadInteger(L"tool.exe", L"Count", -1), 1);
    EXPECT_EQ(ini.ReadString(L"tool.exe", L"Option2", L""), L"-c") << "a stale key stays in the file";
    EXPECT_EQ(ReadExeCmdOptions(Log(), L"D:\\Other\\TOOL.EXE"), (Items{L"-c"}))
        << "the name without folder is the section, whatever the folder";
}

TEST_F(ExeCmdFiles, WrittenBackInTheEncodingFound) {
    struct Case {
        const char* what;
        gui::TTextEncoding encoding;
        std::string mark;
    } cases[] = {
        {"UTF-16LE", gui::TTextEncoding::Utf16LE, "\xFF\xFE"},
        {"UTF-16BE", gui::TTextEncoding::Utf16BE, "\xFE\xFF"},
        {"UTF-8 with mark", gui::TTextEncoding::Utf8, "\xEF\xBB\xBF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gui::TMemIniFile seed(Log(), c.encoding);
        seed.WriteString(L"other.exe", L"Count", L"1");
        seed.WriteString(L"other.exe", L"Option0", L"残す");
        ASSERT_TRUE(seed.UpdateFile());
        ASSERT_TRUE(WriteExeCmdOptions(Log(), L"C:\\a\\prog.exe", {L"新しい"}));
        const std::string bytes = ReadBytes(Log());
        EXPECT_EQ(bytes.substr(0, c.mark.size()), c.mark);
        EXPECT_EQ(ReadExeCmdOptions(Log(), L"prog.exe"), (Items{L"新しい"}));
        EXPECT_EQ(ReadExeCmdOptions(Log(), L"other.exe"), (Items{L"残す"})) << "other programs keep theirs";
        ::DeleteFileW(Log().c_str());
    }
}

TEST_F(ExeCmdFiles, EmptyAndMissingOptionsAreSkipped) {
    ASSERT_TRUE(WriteBytes(Log(), "[p.exe]\r\nCount=4\r\nOption0=x\r\nOption1=\r\nOption3=z\r\n"));
    EXPECT_EQ(ReadExeCmdOptions(Log(), L"p.exe"), (Items{L"x", L"z"}));
    EXPECT_TRUE(ReadExeCmdOptions(Log(), L"q.exe").empty());
}

TEST_F(ExeCmdFiles, ADamagedCountReadsOnlyTheOptionsInTheFile) {
    ASSERT_TRUE(WriteBytes(Log(), "[p.exe]\r\nCount=2147483647\r\nOption0=x\r\nOption2=z\r\n"
                                  "[q.exe]\r\nCount=-2147483648\r\nOption0=never\r\n"));
    // Read on a thread of its own: a read that loops by the count fails
    // this case at the deadline instead of hanging it.
    struct Result {
        std::atomic<bool> done{false};
        Items p, q;
    };
    auto result = std::make_shared<Result>();
    std::thread([result, log = Log()] {
        result->p = ReadExeCmdOptions(log, L"p.exe");
        result->q = ReadExeCmdOptions(log, L"q.exe");
        result->done = true;
    }).detach();
    ASSERT_TRUE(testing_support::WaitUntil([&] { return result->done.load(); }, 30000))
        << "the read went on past the options the file holds";
    EXPECT_EQ(result->p, (Items{L"x", L"z"}));
    EXPECT_TRUE(result->q.empty());
}

// --- the dialog --------------------------------------------------------------------

TEST_F(ExeCmdFiles, ConfirmedOptionMovesToTheTop) {
    ASSERT_TRUE(WriteExeCmdOptions(Log(), L"prog.exe", {L"-first", L"-second", L"-third"}));
    LaunchRun run(false);
    TExeCmdForm& f = *ExeCmdForm;
    Items shown;
    std::wstring status;
    const int result = InModal([&] { return f.Execute(L"C:\\Tools\\prog.exe"); },
                               [&] {
                                   shown = f.Items();
                                   Pick(f.ComboBox, 2);
                                   status = f.StatusBar->PanelText(0);
                                   Press(f.BtnOK);
                               });
    EXPECT_EQ(result, gui::mrOk);
    EXPECT_EQ(shown, (Items{L"-first", L"-second", L"-third"}));
    EXPECT_EQ(f.MOpt, L"-third") << "a pick is the chosen text";
    EXPECT_EQ(status, L"C:\\Tools\\prog.exe -third");
    EXPECT_EQ(ReadExeCmdOptions(Log(), L"prog.exe"), (Items{L"-third", L"-first", L"-second"}));
    EXPECT_EQ(gui::TMemIniFile(Log()).ReadInteger(L"prog.exe", L"Count", -1), 3) << "Count stays the same";
    EXPECT_FALSE(f.Visible());
}

TEST_F(ExeCmdFiles, TypedOptionGoesOnTopOnceIgnoringCase) {
    ASSERT_TRUE(WriteExeCmdOptions(Log(), L"prog.exe", {L"-a", L"-LOG FILE"}));
    LaunchRun run(false);
    TExeCmdForm& f = *ExeCmdForm;
    InModal([&] { return f.Execute(L"C:\\Tools\\prog.exe"); },
            [&] {
                Type(f.ComboBox, L"-log file");
                Press(f.BtnOK);
            });
    EXPECT_EQ(ReadExeCmdOptions(Log(), L"prog.exe"), (Items{L"-log file", L"-a"}));
}

TEST_F(ExeCmdFiles, DeletingShortensCountEvenOnCancel) {
    ASSERT_TRUE(WriteExeCmdOptions(Log(), L"prog.exe", {L"-a", L"-b", L"-c"}));
    LaunchRun run(false);
    TExeCmdForm& f = *ExeCmdForm;
    bool delEnabledAtFirst = true, delEnabledOnPick = false, delEnabledAfter = true;
    const int result = InModal([&] { return f.Execute(L"C:\\Tools\\prog.exe"); },
                               [&] {
                                   delEnabledAtFirst = f.BtnDel->Enabled();
                                   Pick(f.ComboBox, 1);
                                   delEnabledOnPick = f.BtnDel->Enabled();
                                   Press(f.BtnDel);
                                   delEnabledAfter = f.BtnDel->Enabled();
                                   Press(f.BtnCancel);
                               });
    EXPECT_EQ(result, gui::mrCancel);
    EXPECT_FALSE(delEnabledAtFirst);
    EXPECT_TRUE(delEnabledOnPick);
    EXPECT_FALSE(delEnabledAfter);
    gui::TMemIniFile ini(Log());
    EXPECT_EQ(ini.ReadInteger(L"prog.exe", L"Count", -1), 2);
    EXPECT_EQ(ReadExeCmdOptions(Log(), L"prog.exe"), (Items{L"-a", L"-c"}));
    EXPECT_EQ(ini.ReadString(L"prog.exe", L"Option2", L""), L"-c") << "the old higher key stays, ignored";
}

TEST_F(ExeCmdFiles, ProgramsOfOneNameShareTheirOptions) {
    LaunchRun run(false);
    TExeCmdForm& f = *ExeCmdForm;
    InModal([&] { return f.Execute(L"C:\\One\\setup.exe"); },
            [&] {
                Type(f.ComboBox, L"/quiet");
                Press(f.BtnOK);
            });
    Items offered;
    InModal([&] { return f.Execute(L"D:\\Two\\Setup.exe"); },
            [&] {
                offered = f.Items();
                Press(f.BtnCancel);
            });
    EXPECT_EQ(offered, (Items{L"/quiet"}));
}

TEST_F(ExeCmdFiles, PlaceIsKeptInHisIni) {
    {
        LaunchRun run(false);
        TExeCmdForm& f = *ExeCmdForm;
        InModal([&] { return f.Execute(L"C:\\x.exe"); },
                [&] {
                    f.SetBounds(150, 160, 900, f.Height());
                    Press(f.BtnCancel);
                });
        EXPECT_EQ(f.MLeft, 150);
        EXPECT_EQ(f.MTop, 160);
    }
    const std::string bytes = ReadBytes(dir_ / L"His.ini");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "His.ini stays UTF-16";
    gui::TMemIniFile ini(dir_ / L"His.ini");
    EXPECT_EQ(ini.ReadInteger(L"ExeCmd", L"Left", 0), 150);
    EXPECT_EQ(ini.ReadInteger(L"ExeCmd", L"Top", 0), 160);
    EXPECT_EQ(ini.ReadInteger(L"ExeCmd", L"Width", 0), 900);
    LaunchRun again(false);
    RECT shownAt{};
    InModal([&] { return ExeCmdForm->Execute(L"C:\\x.exe"); },
            [&] {
                ::GetWindowRect(ExeCmdForm->Handle(), &shownAt);
                Press(ExeCmdForm->BtnCancel);
            });
    EXPECT_EQ(shownAt.left, 150);
    EXPECT_EQ(shownAt.top, 160);
    EXPECT_EQ(shownAt.right - shownAt.left, 900);
}

TEST_F(ExeCmdFiles, APlaceOffTheScreenOpensOnItAtEveryShow) {
    {
        gui::TMemIniFile ini(dir_ / L"His.ini", gui::TTextEncoding::Utf16LE);
        ini.WriteInteger(L"ExeCmd", L"Left", -30000);
        ini.WriteInteger(L"ExeCmd", L"Top", 40000);
        ASSERT_TRUE(ini.UpdateFile());
    }
    LaunchRun run(false);
    TExeCmdForm& f = *ExeCmdForm;
    for (int show = 0; show < 3; ++show) {
        SCOPED_TRACE(show);
        RECT shownAt{};
        InModal([&] { return f.Execute(L"C:\\x.exe"); },
                [&] {
                    ::GetWindowRect(f.Handle(), &shownAt);
                    // Moved off the screen while open: the next show brings it back.
                    f.SetBounds(-30000, -30000, f.Width(), f.Height());
                    Press(f.BtnCancel);
                });
        EXPECT_NE(::MonitorFromRect(&shownAt, MONITOR_DEFAULTTONULL), nullptr)
            << shownAt.left << "," << shownAt.top << " " << shownAt.right << "," << shownAt.bottom;
    }
}

TEST_F(ExeCmdFiles, OptionsOfTheRunningProgramReadBack) {
    const std::wstring exe = testing_support::PlacedExe();
    const std::wstring options = L"-x \"file a\" ＃日本";
    testing_support::RawChild child(L"\"" + exe + L"\" " + options);
    ASSERT_TRUE(child.Started());
    HWND wnd = testing_support::WaitPlacedWindow(child.Pid());
    ASSERT_TRUE(wnd);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return ::IsWindowVisible(wnd) != FALSE; }, 10000));

    LaunchRun run(false);
    TExeCmdForm& f = *ExeCmdForm;
    bool getEnabled = false;
    std::wstring text;
    InModal([&] { return f.Execute(exe); },
            [&] {
                getEnabled = f.BtnGetCmd->Enabled();
                Press(f.BtnGetCmd);
                text = f.ComboBox->Text();
                Press(f.BtnOK);
            });
    EXPECT_TRUE(getEnabled) << "a window of the program is open";
    EXPECT_EQ(text, options);
    EXPECT_EQ(ReadExeCmdOptions(Log(), exe), (Items{options}));

    // Without a running instance the button stays off.
    bool enabledForOther = true;
    InModal([&] { return f.Execute(Helper(L"OrvRecorder")); },
            [&] {
                enabledForOther = f.BtnGetCmd->Enabled();
                Press(f.BtnCancel);
            });
    EXPECT_FALSE(enabledForOther);
}

TEST_F(ExeCmdFiles, ConfirmedDialogStartsTheProgramWithItsOptions) {
    RecorderFile record(dir_ / L"record.txt");
    LaunchRun run(false);
    bool handled = false;
    InModal([&] { return (handled = LaunchForm->Func_ExeCmdDlg(Helper(L"OrvRecorder")), 0); },
            [&] {
                Type(ExeCmdForm->ComboBox, L"alpha \"b c\"");
                Press(ExeCmdForm->BtnOK);
            });
    EXPECT_TRUE(handled);
    std::wstring cmdLine, folder;
    ASSERT_TRUE(record.Wait(cmdLine, folder));
    EXPECT_NE(cmdLine.find(L"alpha \"b c\""), std::wstring::npos) << testing::PrintToString(cmdLine);
    std::wstring bin = testing_support::BinDir();
    bin.pop_back();
    EXPECT_EQ(_wcsicmp(folder.c_str(), bin.c_str()), 0) << "the program's folder: " << testing::PrintToString(folder);
}

TEST_F(ExeCmdFiles, ADeletedOptionIsNeitherStartedNorKept) {
    const struct {
        const char* name;
        Items stored;
        int deleted;
        Items kept;
    } cases[] = {
        {"the only option", {L"-gone"}, 0, {}},
        {"one of several", {L"-a", L"-gone", L"-c"}, 1, {L"-a", L"-c"}},
    };
    const std::wstring recorder = Helper(L"OrvRecorder");
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteExeCmdOptions(Log(), recorder, c.stored));
        RecorderFile record(dir_ / (L"record" + std::to_wstring(n++) + L".txt"));
        LaunchRun run(false);
        std::wstring shown = L"<not run>";
        InModal([&] { return (LaunchForm->Func_ExeCmdDlg(recorder), 0); },
                [&] {
                    Pick(ExeCmdForm->ComboBox, c.deleted);
                    Press(ExeCmdForm->BtnDel);
                    shown = ExeCmdForm->ComboBox->Text();
                    Press(ExeCmdForm->BtnOK);
                });
        EXPECT_EQ(shown, L"");
        std::wstring cmdLine, folder;
        ASSERT_TRUE(record.Wait(cmdLine, folder));
        EXPECT_EQ(cmdLine.find(L"-gone"), std::wstring::npos) << testing::PrintToString(cmdLine);
        // The options are written back once the dialog has closed.
        EXPECT_TRUE(testing_support::WaitUntil([&] { return ReadExeCmdOptions(Log(), recorder) == c.kept; }, 10000))
            << testing::PrintToString(ReadExeCmdOptions(Log(), recorder));
    }
}

TEST_F(ExeCmdFiles, AsAdministratorStartsThroughTheElevatingVerb) {
    // This Wine's "runas" runs the program without elevating it.
    RecorderFile record(dir_ / L"record.txt");
    LaunchRun run(false);
    bool tickedAfterActivation = true;
    InModal([&] { return (LaunchForm->Func_ExeCmdDlg(Helper(L"OrvRecorder")), 0); },
            [&] {
                tickedAfterActivation = ExeCmdForm->ChkAdmin->Checked();
                ExeCmdForm->ChkAdmin->SetChecked(true);
                Type(ExeCmdForm->ComboBox, L"-elevated");
                Press(ExeCmdForm->BtnOK);
            });
    EXPECT_FALSE(tickedAfterActivation) << "every showing starts unticked";
    std::wstring cmdLine, folder;
    ASSERT_TRUE(record.Wait(cmdLine, folder));
    EXPECT_NE(cmdLine.find(L"-elevated"), std::wstring::npos) << testing::PrintToString(cmdLine);
}

TEST_F(ExeCmdFiles, CancelledDialogStartsNothingYetAnswersTrue) {
    RecorderFile record(dir_ / L"record.txt");
    LaunchRun run(false);
    bool handled = false;
    const std::wstring program = Helper(L"OrvRecorder");
    StartedPrograms started;
    ASSERT_EQ(started.Count(), 0) << "the programs this test starts are counted";
    InModal([&] { return (handled = LaunchForm->Func_ExeCmdDlg(program), 0); },
            [&] {
                Type(ExeCmdForm->ComboBox, L"-x");
                Press(ExeCmdForm->BtnCancel);
            });
    EXPECT_TRUE(handled);
    // A start would have been made before the call returned.
    EXPECT_EQ(started.Count(), 0) << "the cancelled dialog started the program";
    EXPECT_TRUE(ReadExeCmdOptions(Log(), program).empty()) << "a cancelled text is not kept";

    // The same dialog answered with OK starts it, and the count sees it (a
    // console it opens for the program may count as well).
    InModal([&] { return (handled = LaunchForm->Func_ExeCmdDlg(program), 0); },
            [&] { Press(ExeCmdForm->BtnOK); });
    EXPECT_GE(started.Count(), 1);
    std::wstring cmdLine, folder;
    EXPECT_TRUE(record.Wait(cmdLine, folder));
}

TEST_F(ExeCmdFiles, WithoutCtrlTheCallerStartsTheProgram) {
    LaunchRun run(false);
    ASSERT_GE(::GetAsyncKeyState(VK_CONTROL), 0) << "Ctrl is not held";
    EXPECT_FALSE(LaunchForm->Func_ExeCmd(Helper(L"OrvRecorder")));
    EXPECT_FALSE(ExeCmdForm->Visible());
}

}  // namespace
