// Drive auto-start under Wine: real removable drive letters mapped to
// scratch folders with labels, the volume broadcast sent as the system
// would, our recorder program started by the registrations, and the
// confirmation answered in a real message box.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/monitors/Drive.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/monitors/MountedDrive.h"
#include "toolkit/QuorvinFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserInput.h"
#include "tests/tray/TrayFixture.h"

namespace {

using testing_support::BinDir;
using testing_support::MessageBoxAnswerer;
using testing_support::MountedDrive;
using testing_support::ScratchDir;
using testing_support::WaitUntil;

std::wstring Recorder() { return BinDir() + L"OrvRecorder.exe"; }

bool RecorderRunning() {
    gui::Handle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe{sizeof(pe)};
    for (BOOL ok = ::Process32FirstW(snap.get(), &pe); ok; ok = ::Process32NextW(snap.get(), &pe))
        if (::lstrcmpiW(pe.szExeFile, L"OrvRecorder.exe") == 0) return true;
    return false;
}

void SendVolume(HWND wnd, WPARAM event, DWORD unitMask) {
    DEV_BROADCAST_VOLUME v{};
    v.dbcv_size = sizeof(v);
    v.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    v.dbcv_unitmask = unitMask;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(wnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&v), SMTO_NORMAL, 10000,
                          &result);
}

class DriveTest : public ::testing::Test, public TrayFormFixture {
protected:
    ScratchDir media1, media2;
    std::wstring record;

    void SetUp() override {
        // An application ended by an earlier test leaves its quit message,
        // which would end a confirmation box at once.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        record = dir / L"record.txt";
        ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", record.c_str());
        ::SetEnvironmentVariableW(L"ORV_RECORD_APPEND", L"1");
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", nullptr);
        ::SetEnvironmentVariableW(L"ORV_RECORD_APPEND", nullptr);
    }

    void WriteDriveIni(const std::vector<TDriveEntry>& entries) {
        gui::TMemIniFile ini(dir / L"Drive.ini", gui::TTextEncoding::Utf16LE);
        ini.WriteInteger(L"Drive", L"Count", static_cast<int>(entries.size()));
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::wstring s = L"Drive" + std::to_wstring(i);
            ini.WriteString(s, L"0", entries[i].Drive);
            ini.WriteString(s, L"1", entries[i].Label);
            ini.WriteString(s, L"2", entries[i].Program);
            ini.WriteString(s, L"3", entries[i].Options);
            ini.WriteString(s, L"4", entries[i].Confirm);
        }
        ASSERT_TRUE(ini.UpdateFile());
    }

    void Start(const std::vector<TDriveEntry>& entries) {
        WriteDriveIni(entries);
        StartTray();
        TrayForm->TimerMain->SetEnabled(false);  // only the drive form acts
    }

    // The recorded command lines in the order the recorders were started
    // (each record: command line, folder, start time), once every started
    // recorder has ended and at least `atLeast` are there.
    std::vector<std::wstring> Records(size_t atLeast) {
        std::vector<std::pair<unsigned long long, std::wstring>> records;
        auto read = [&] {
            records.clear();
            const std::wstring text = gui::Utf8ToWide(testing_support::ReadBytes(record));
            std::vector<std::wstring> lines;
            size_t start = 0;
            for (size_t p; (p = text.find(L'\n', start)) != std::wstring::npos; start = p + 1)
                lines.push_back(text.substr(start, p - start));
            for (size_t i = 0; i + 2 < lines.size(); i += 3)
                records.emplace_back(std::wcstoull(lines[i + 2].c_str(), nullptr, 10), lines[i]);
            return records.size() >= atLeast;
        };
        WaitUntil([&] { return read() && !DriveForm->TimerExeCheck->Enabled() && !RecorderRunning(); }, 30000);
        read();
        std::stable_sort(records.begin(), records.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::wstring> lines;
        for (const auto& r : records) lines.push_back(r.second);
        return lines;
    }
    static bool EndsWith(const std::wstring& s, const std::wstring& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    }
};

TEST_F(DriveTest, ArrivalStartsTheRegistrationsOfThatDriveAndLabelOnly) {
    MountedDrive drive(media1.Path(), L"USBTEST");
    ASSERT_NE(drive.Letter(), 0) << "no drive letter could be mapped";
    ASSERT_EQ(::GetDriveTypeW(drive.Root().c_str()), DRIVE_REMOVABLE);
    std::wstring label;
    GetVolumeLabelStr(drive.Root(), label);
    ASSERT_EQ(label, L"USBTEST");

    const std::wstring other = drive.Letter() == L'Y' ? L"X:\\" : std::wstring(1, drive.Letter() + 1) + L":\\";
    Start({
        {drive.Root(), L"usbtest", Recorder(), L"lowercase-label", L""},   // other case: no
        {drive.Root(), L"USBTEST", Recorder(), L"first \"a b\"", L""},
        {other, L"USBTEST", Recorder(), L"other-drive", L""},              // same label, other drive: no
        {drive.Root(), L"USBTEST", Recorder(), L"second", L""},
        {drive.Root(), L"", Recorder(), L"no-label", L""},                 // only a volume without label
    });
    SendVolume(DriveForm->Handle(), DBT_DEVICEARRIVAL, drive.UnitMask());
    EXPECT_EQ(DriveForm->MDrv, drive.Root());
    EXPECT_EQ(DriveForm->MVol, L"USBTEST");
    EXPECT_TRUE(DriveForm->TrayIcon->IconVisible());

    std::vector<std::wstring> runs = Records(2);
    ASSERT_EQ(runs.size(), 2u);
    // Both matching registrations started, in list order, with their options.
    EXPECT_TRUE(EndsWith(runs[0], L" first \"a b\"")) << gui::WideToUtf8(runs[0]);
    EXPECT_TRUE(EndsWith(runs[1], L" second")) << gui::WideToUtf8(runs[1]);
    EXPECT_TRUE(DriveForm->MDrv.empty());
    EXPECT_TRUE(DriveForm->MVol.empty());
    // The recorder ran in its own folder.
    const std::string text = testing_support::ReadBytes(record);
    std::wstring bin = BinDir();
    bin.pop_back();
    EXPECT_NE(gui::Utf8ToWide(text).find(L"\n" + bin + L"\n"), std::wstring::npos);
}

TEST_F(DriveTest, TwoArrivalsWithinTheDelayStartOnlyTheSecond) {
    MountedDrive first(media1.Path(), L"ONE");
    MountedDrive second(media2.Path(), L"TWO", static_cast<wchar_t>(first.Letter() + 1));
    ASSERT_NE(first.Letter(), 0);
    ASSERT_NE(second.Letter(), 0);
    Start({
        {first.Root(), L"ONE", Recorder(), L"from-first", L""},
        {second.Root(), L"TWO", Recorder(), L"from-second", L""},
    });
    SendVolume(DriveForm->Handle(), DBT_DEVICEARRIVAL, first.UnitMask());
    SendVolume(DriveForm->Handle(), DBT_DEVICEARRIVAL, second.UnitMask());
    std::vector<std::wstring> runs = Records(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(EndsWith(runs[0], L" from-second")) << gui::WideToUtf8(runs[0]);
}

TEST_F(DriveTest, ConfirmationDecidesTheStart) {
    MountedDrive drive(media1.Path(), L"ASK");
    ASSERT_NE(drive.Letter(), 0);
    struct Case {
        WORD button;
        size_t runs;
    } cases[] = {{IDYES, 1}, {IDNO, 0}};
    Start({{drive.Root(), L"ASK", Recorder(), L"confirmed", TDriveForm::ConfirmMark}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ::DeleteFileW(record.c_str());
        MessageBoxAnswerer answer(c.button);
        SendVolume(DriveForm->Handle(), DBT_DEVICEARRIVAL, drive.UnitMask());
        ASSERT_TRUE(WaitUntil([&] { return !answer.Texts().empty(); }, 20000));
        std::vector<std::wstring> runs = Records(c.runs);
        EXPECT_EQ(runs.size(), c.runs);
        ASSERT_EQ(answer.Texts().size(), 1u);
        EXPECT_EQ(answer.Texts()[0], L"OrvRecorderを\r\n起動しますか？");
    }
}

// The first volume has two registrations: the confirmed one and one after
// it. A second volume arrives while the confirmation stands. The running
// pass keeps the first volume's drive and label to its end, so both of its
// registrations start, and the second volume's start only after the pass,
// never inside the box's message loop.
TEST_F(DriveTest, ArrivalDuringTheConfirmationWaitsForThePassToEnd) {
    MountedDrive first(media1.Path(), L"ASK");
    MountedDrive second(media2.Path(), L"LATER", static_cast<wchar_t>(first.Letter() + 1));
    ASSERT_NE(first.Letter(), 0);
    ASSERT_NE(second.Letter(), 0);
    Start({
        {first.Root(), L"ASK", Recorder(), L"asked", TDriveForm::ConfirmMark},
        {first.Root(), L"ASK", Recorder(), L"also-first", L""},
        {second.Root(), L"LATER", Recorder(), L"arrived-meanwhile", L""},
    });
    HWND form = DriveForm->Handle();
    const DWORD mask2 = second.UnitMask();
    const std::wstring recordFile = record;
    std::atomic<bool> startedInsideTheBox{false};
    // The second volume arrives while the box of the first is open. The box
    // then stands well past the 500 ms delay; nothing may start meanwhile.
    MessageBoxAnswerer answer(IDYES, [&, form, mask2](HWND) {
        SendVolume(form, DBT_DEVICEARRIVAL, mask2);
        startedInsideTheBox = WaitUntil(
            [&] { return ::GetFileAttributesW(recordFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 4000);
    });
    SendVolume(form, DBT_DEVICEARRIVAL, first.UnitMask());
    std::vector<std::wstring> runs = Records(3);
    EXPECT_EQ(answer.Count(), 1u);
    EXPECT_FALSE(startedInsideTheBox) << "a start ran inside the confirmation's message loop";
    ASSERT_EQ(runs.size(), 3u);
    for (const wchar_t* options : {L" asked", L" also-first", L" arrived-meanwhile"}) {
        bool found = false;
        for (const std::wstring& run : runs) found = found || EndsWith(run, options);
        EXPECT_TRUE(found) << gui::WideToUtf8(options);
    }
    EXPECT_TRUE(DriveForm->MDrv.empty());
}

TEST_F(DriveTest, RemovalAnimatesAndStartsNothing) {
    MountedDrive drive(media1.Path(), L"GONE");
    ASSERT_NE(drive.Letter(), 0);
    Start({{drive.Root(), L"GONE", Recorder(), L"never", L""}});
    ASSERT_TRUE(DriveForm->CHKTrayAnimate);
    EXPECT_FALSE(DriveForm->TrayIcon->IconVisible());
    SendVolume(DriveForm->Handle(), DBT_DEVICEREMOVECOMPLETE, drive.UnitMask());
    EXPECT_TRUE(DriveForm->TrayIcon->IconVisible());
    EXPECT_TRUE(DriveForm->TrayIcon->CycleIcons());
    EXPECT_FALSE(DriveForm->TimerExeCheck->Enabled());
    EXPECT_TRUE(DriveForm->MDrv.empty());
    // The animation ends by itself after five seconds.
    EXPECT_TRUE(WaitUntil([] { return !DriveForm->TrayIcon->IconVisible(); }, 20000));
    EXPECT_FALSE(DriveForm->TrayIcon->CycleIcons());
    EXPECT_FALSE(DriveForm->TimerTray->Enabled());
    EXPECT_EQ(::GetFileAttributesW(record.c_str()), INVALID_FILE_ATTRIBUTES);

    // Without the animation option nothing shows.
    DriveForm->CHKTrayAnimate = false;
    SendVolume(DriveForm->Handle(), DBT_DEVICEREMOVECOMPLETE, drive.UnitMask());
    EXPECT_FALSE(DriveForm->TrayIcon->IconVisible());
}

TEST_F(DriveTest, DriveListShowsTheMappedDrive) {
    MountedDrive drive(media1.Path(), L"LISTED");
    ASSERT_NE(drive.Letter(), 0);
    Start({});
    DriveForm->RefreshDriveList();
    bool found = false;
    for (const TDriveRow& row : DriveForm->ListViewDrive) {
        if (row.Root != drive.Root()) continue;
        found = true;
        EXPECT_EQ(row.Label, L"LISTED");
        EXPECT_EQ(row.Type, L"Removable");
    }
    EXPECT_TRUE(found);
    // Registering from the drive row takes its root and label.
    for (size_t i = 0; i < DriveForm->ListViewDrive.size(); ++i) {
        if (DriveForm->ListViewDrive[i].Root != drive.Root()) continue;
        TDriveEntry e = DriveForm->MakeRegistration(static_cast<int>(i), Recorder(), L"x", true);
        EXPECT_EQ(e, (TDriveEntry{drive.Root(), L"LISTED", Recorder(), L"x", TDriveForm::ConfirmMark}));
    }
}

TEST_F(DriveTest, TraySubmenuListsAndStartsTheRegistrations) {
    const std::wstring missing = dir / L"missing.exe";
    Start({
        {L"F:\\", L"B", Recorder(), L"menu-start", L""},
        {L"E:\\", L"A", missing, L"opt", L""},
    });
    // Sorted by drive: E: first.
    ASSERT_EQ(DriveForm->ListViewExe.size(), 2u);
    EXPECT_EQ(DriveForm->ListViewExe[0].Drive, L"E:\\");
    ASSERT_EQ(TrayForm->PPDRVExe->Count(), 2);
    gui::TMenuItem* gone = TrayForm->PPDRVExe->Items(0);
    gui::TMenuItem* there = TrayForm->PPDRVExe->Items(1);
    EXPECT_EQ(gone->Caption(), L"  (&0)" + missing + L" opt");
    EXPECT_FALSE(gone->Enabled());
    EXPECT_EQ(there->Caption(), L"(&1)" + Recorder() + L" menu-start");
    EXPECT_TRUE(there->Enabled());
    EXPECT_NE(there->Bitmap(), nullptr);
    EXPECT_EQ(there->Tag, 1);

    there->Click();  // starts at once, whatever drives are present
    std::vector<std::wstring> runs = Records(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(EndsWith(runs[0], L" menu-start"));

    DriveForm->DeleteRegistration(0);
    EXPECT_EQ(DriveForm->MListC, 1);
    ASSERT_EQ(TrayForm->PPDRVExe->Count(), 1);
    EXPECT_EQ(TrayForm->PPDRVExe->Items(0)->Caption(), L"(&0)" + Recorder() + L" menu-start");
}

TEST(DriveMenuCaption, AcceleratorsRunFromDigitsToY) {
    struct Case {
        int index;
        const wchar_t* prefix;
    } cases[] = {{0, L"(&0)"}, {9, L"(&9)"}, {10, L"(&A)"}, {34, L"(&Y)"}, {35, L""}, {40, L""}};
    for (const Case& c : cases)
        EXPECT_EQ(TDriveForm::MenuCaption(c.index, L"C:\\p.exe", L"-o", true), std::wstring(c.prefix) + L"C:\\p.exe -o")
            << c.index;
}

TEST_F(DriveTest, DriveIniKeepsTheNumberOfItemsAndStaleSections) {
    // Written by hand: a stale section above Count stays in the file.
    const std::wstring text =
        L"[Window]\r\nTray=0\r\n\r\n[Drive]\r\nCount=1\r\n\r\n[Drive0]\r\n0=G:\\\r\n1=カード\r\n2=C:\\a.txt\r\n3=\r\n4=○\r\n\r\n"
        L"[Drive3]\r\n0=Z:\\\r\n1=stale\r\n2=x\r\n3=\r\n4=\r\n\r\n";
    testing_support::WriteBytes(dir / L"Drive.ini", gui::EncodeText(text, gui::TTextEncoding::Utf16LE));
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    ASSERT_EQ(DriveForm->ListViewExe.size(), 1u);
    EXPECT_EQ(DriveForm->ListViewExe[0], (TDriveEntry{L"G:\\", L"カード", L"C:\\a.txt", L"", L"○"}));
    EXPECT_FALSE(DriveForm->CHKTrayAnimate);

    DriveForm->AddRegistration({L"D:\\", L"", L"C:\\b.exe", L"-x", L""});
    ASSERT_TRUE(DriveForm->SaveSettings());
    const std::string bytes = testing_support::ReadBytes(dir / L"Drive.ini");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
    gui::TMemIniFile ini(dir / L"Drive.ini");
    EXPECT_EQ(ini.ReadInteger(L"Drive", L"Count", -1), 2);
    EXPECT_EQ(ini.ReadString(L"Drive0", L"0", L""), L"D:\\");
    EXPECT_EQ(ini.ReadString(L"Drive1", L"1", L""), L"カード");
    EXPECT_EQ(ini.ReadString(L"Drive1", L"4", L""), L"○");
    EXPECT_EQ(ini.ReadString(L"Drive3", L"1", L""), L"stale");
    EXPECT_FALSE(ini.ReadBool(L"Window", L"Tray", true));
    EXPECT_TRUE(ini.ValueExists(L"Window", L"Width"));
}

TEST_F(DriveTest, ADamagedCountReadsNoRowPastTheLastOneInTheFile) {
    const struct {
        const char* name;
        const wchar_t* count;
        size_t rows;
    } cases[] = {{"far above the rows", L"20000", 3}, {"negative", L"-2147483648", 0}, {"as written", L"2", 2}};
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring text = std::wstring(L"[Drive]\r\nCount=") + c.count +
                                  L"\r\n[Drive0]\r\n0=G:\\\r\n2=C:\\a.exe\r\n[Drive2]\r\n0=H:\\\r\n2=C:\\b.exe\r\n";
        testing_support::WriteBytes(dir / L"Drive.ini", gui::EncodeText(text, gui::TTextEncoding::Utf16LE));
        DriveForm->LoadSettings();
        EXPECT_EQ(DriveForm->ListViewExe.size(), c.rows);
        EXPECT_EQ(DriveForm->MListC, static_cast<int>(c.rows));
        if (c.rows == 3) {
            EXPECT_NE(std::find(DriveForm->ListViewExe.begin(), DriveForm->ListViewExe.end(),
                                TDriveEntry{L"H:\\", L"", L"C:\\b.exe", L"", L""}),
                      DriveForm->ListViewExe.end());
            EXPECT_NE(std::find(DriveForm->ListViewExe.begin(), DriveForm->ListViewExe.end(), TDriveEntry{}),
                      DriveForm->ListViewExe.end())
                << "a missing row inside the range reads empty";
        }
    }
}

TEST_F(DriveTest, NonVolumeArrivalOnlyAnimates) {
    Start({{L"A:\\", L"", Recorder(), L"never", L""}});
    DEV_BROADCAST_HDR port{};
    port.dbch_size = sizeof(port);
    port.dbch_devicetype = DBT_DEVTYP_PORT;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(DriveForm->Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&port),
                          SMTO_NORMAL, 10000, &result);
    EXPECT_TRUE(DriveForm->TrayIcon->IconVisible());
    EXPECT_FALSE(DriveForm->TimerExeCheck->Enabled());
    EXPECT_TRUE(DriveForm->MDrv.empty());
}

}  // namespace

// --- the settings window, walked as a user ---------------------------------------

namespace {

int RowOf(gui::TListView* view, const std::wstring& first) {
    for (int i = 0; i < view->Count(); ++i)
        if (view->ItemText(i) == first) return i;
    return -1;
}

TEST_F(DriveTest, SettingsWindowAddsDeletesStartsAndSavesRegistrations) {
    using namespace testing_support;
    MountedDrive drive(media1.Path(), L"WALK");
    ASSERT_NE(drive.Letter(), 0);
    Start({});
    const std::wstring recorder = Recorder();

    WhileModal(DriveForm, [] { TrayItem(L"PPDrive")->Click(); }, [&] {
        ASSERT_TRUE(WaitApp([] { return ::GetForegroundWindow() == DriveForm->Handle(); }, 10000));
        EXPECT_EQ(DriveForm->Caption(), L"Orvandel - ドライブ検出の監視設定");
        EXPECT_EQ(DriveForm->ListViewExeView->Font().Size(), 10);
        const int row = RowOf(DriveForm->ListViewDriveView, drive.Root());
        ASSERT_GE(row, 0) << "the mapped drive is listed";
        EXPECT_EQ(DriveForm->ListViewDriveView->ItemText(row, 1), L"WALK");
        EXPECT_EQ(DriveForm->ListViewDriveView->ItemText(row, 2), L"Removable");
        EXPECT_FALSE(DriveForm->RadioGroup->Enabled());

        // Opening the drive in Explorer, registered and deleted again.
        ClickRow(DriveForm->ListViewDriveView, row);
        ASSERT_TRUE(DriveForm->RadioGroup->Enabled());
        ClickControl(DriveForm->RadioGroup->Button(0));
        EXPECT_EQ(DriveForm->EditExe->Text(), ExplorerPath);
        EXPECT_EQ(DriveForm->EditOpt->Text(), drive.Root());
        EXPECT_TRUE(DriveForm->BtnDir->Enabled());
        EXPECT_FALSE(DriveForm->BtnRef->Enabled());
        ASSERT_TRUE(DriveForm->BtnAdd->Enabled());
        ClickControl(DriveForm->BtnAdd);
        ASSERT_EQ(DriveForm->ListViewExeView->Count(), 1);
        EXPECT_FALSE(DriveForm->RadioGroup->Enabled());
        EXPECT_FALSE(DriveForm->BtnAdd->Enabled());

        // Our recorder with options and a confirmation, typed in.
        ClickRow(DriveForm->ListViewDriveView, row);
        ClickControl(DriveForm->RadioGroup->Button(1));
        EXPECT_TRUE(DriveForm->BtnRef->Enabled());
        EXPECT_TRUE(DriveForm->EditExe->Text().empty());
        EXPECT_FALSE(DriveForm->BtnAdd->Enabled());
        ClickControl(DriveForm->EditExe);
        TypeText(recorder.substr(0, recorder.size() - 1));
        ASSERT_TRUE(WaitApp([&] { return DriveForm->EditExe->Text() == recorder.substr(0, recorder.size() - 1); },
                            10000));
        EXPECT_FALSE(DriveForm->BtnAdd->Enabled()) << "no such file yet";
        TypeText(recorder.substr(recorder.size() - 1));
        ASSERT_TRUE(WaitApp([&] { return DriveForm->EditExe->Text() == recorder; }, 10000));
        EXPECT_TRUE(DriveForm->BtnAdd->Enabled());
        EXPECT_TRUE(DriveForm->EditOpt->Enabled()) << "a program takes options";
        ClickControl(DriveForm->EditOpt);
        TypeText(L"walk-opt");
        ASSERT_TRUE(WaitApp([&] { return DriveForm->EditOpt->Text() == L"walk-opt"; }, 10000));
        ClickControl(DriveForm->CHKConfirm);
        ClickControl(DriveForm->BtnAdd);
        ASSERT_EQ(DriveForm->ListViewExeView->Count(), 2);
        EXPECT_EQ(TrayForm->PPDRVExe->Count(), 2);
        const int explorerRow = DriveForm->ListViewExeView->ItemText(0, 2) == ExplorerPath ? 0 : 1;
        ClickRow(DriveForm->ListViewExeView, explorerRow);
        ASSERT_TRUE(DriveForm->BtnDel->Enabled());
        ClickControl(DriveForm->BtnDel);
        ASSERT_EQ(DriveForm->ListViewExeView->Count(), 1);
        EXPECT_EQ(DriveForm->ListViewExeView->ItemText(0, 2), recorder);
        EXPECT_EQ(DriveForm->ListViewExeView->ItemText(0, 4), TDriveForm::ConfirmMark);
        EXPECT_EQ(TrayForm->PPDRVExe->Count(), 1);

        // Enter on a registration starts it at once, without confirmation.
        ClickRow(DriveForm->ListViewExeView, 0);
        PressKeys({VK_RETURN});
        EXPECT_EQ(Records(1).size(), 1u);

        ClickControl(DriveForm->BtnClose);
        EXPECT_TRUE(WaitApp([] { return DriveForm->ModalResult != gui::mrNone; }, 5000));
    });
    EXPECT_FALSE(DriveForm->Visible());
    std::vector<std::wstring> runs = Records(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(EndsWith(runs[0], L" walk-opt"));

    gui::TMemIniFile ini(dir / L"Drive.ini");
    EXPECT_EQ(ini.ReadInteger(L"Drive", L"Count", -1), 1);
    EXPECT_EQ(ini.ReadString(L"Drive0", L"0", L""), drive.Root());
    EXPECT_EQ(ini.ReadString(L"Drive0", L"1", L""), L"WALK");
    EXPECT_EQ(ini.ReadString(L"Drive0", L"2", L""), recorder);
    EXPECT_EQ(ini.ReadString(L"Drive0", L"3", L""), L"walk-opt");
    EXPECT_EQ(ini.ReadString(L"Drive0", L"4", L""), TDriveForm::ConfirmMark);

    // The registration works at the next arrival, after its confirmation.
    MessageBoxAnswerer yes(IDYES);
    SendVolume(DriveForm->Handle(), DBT_DEVICEARRIVAL, drive.UnitMask());
    runs = Records(2);
    EXPECT_EQ(runs.size(), 2u);
    EXPECT_EQ(yes.Count(), 1u);
}

}  // namespace
