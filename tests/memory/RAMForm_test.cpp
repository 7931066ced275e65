#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/Timer.h"
#include "app/Ver.h"
#include "toolkit/GetRAM.h"
#include "tests/support/PlacedWindow.h"
#include "tests/tray/TrayFixture.h"

using testing_support::WaitUntil;

namespace {

// Blocks that cost nothing, and a record of each call: how many blocks it
// took, and what the icons showed while it ran.
class FakeMems : public TMaxMems {
public:
    using TMaxMems::TMaxMems;
    std::vector<int> blocksPerCall;  // an entry for each call, made as it starts
    std::vector<std::wstring> ramHints, cpuHints;
    std::vector<int> ramIndexes;
    std::vector<bool> cleanEnabled, iconEnabled;

protected:
    void* CommitBlock() override {
        if (blocksPerCall.back() == 0) Snapshot();
        ++blocksPerCall.back();
        return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000));
    }
    void ReleaseBlock(void*) override {}

private:
    void Snapshot() {
        ramHints.push_back(RAMForm->TrayIcon->Hint());
        cpuHints.push_back(TrayForm->TrayIcon->Hint());
        ramIndexes.push_back(RAMForm->TrayIcon->IconIndex());
        cleanEnabled.push_back(RAMForm->PPRAMClean->Enabled());
        iconEnabled.push_back(RAMForm->TrayIcon->Enabled());
    }
};

class RAMMonitor : public testing::Test, public TrayFormFixture {
protected:
    int load = 30;
    FakeMems* mems = nullptr;

    void Start(const std::string* config = nullptr) {
        StartTray(config);
        // The tests drive the RAM ticks and the CPU value themselves.
        TrayForm->Steps.TimerRAM = [] {};
        TrayForm->Steps.TimerCPU = [] {};
        TrayForm->MCPU = 10;
        RAMForm->RAMUsageSource = [this] { return load; };
        RAMForm->Wow64Source = [] { return false; };
        mems = new FakeMems(RAMForm);
        RAMForm->MaxMems = mems;
        mems->OnBeforeDefrag = [this](TMaxMems*) {
            mems->blocksPerCall.push_back(0);  // one entry per call
            RAMForm->MaxMemsBeforeDefrag();
        };
        mems->OnAfterDefrag = [](TMaxMems*) { RAMForm->MaxMemsAfterDefrag(); };
        mems->blocksPerCall.clear();
    }
    // One display step at this load.
    void Show(int percent) {
        load = percent;
        RAMForm->Proc_DispRAM();
    }
    void TearDown() override { StopTray(); }
};

TEST_F(RAMMonitor, TextAndColoursByLoad) {
    Start();
    struct Case {
        int load;
        const wchar_t* text;
        gui::TColor font, back;
    };
    const Case cases[] = {
        {-3, L"  0", gui::clLime, gui::clBlack}, {9, L"  9", gui::clLime, gui::clBlack},
        {10, L" 10", gui::clLime, gui::clBlack}, {50, L" 50", gui::clLime, gui::clBlack},
        {51, L" 51", gui::clYellow, gui::clBlack}, {79, L" 79", gui::clYellow, gui::clBlack},
        {80, L" 80", gui::clRed, gui::clBlack},   {99, L" 99", gui::clRed, gui::clBlack},
        {100, L"100", gui::clBlack, gui::clRed},   {130, L"100", gui::clBlack, gui::clRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.load);
        Show(c.load);
        EXPECT_EQ(RAMForm->TrayIcon->Text(), c.text);
        EXPECT_EQ(RAMForm->TrayIcon->Hint(), std::wstring(L"RAM使用率:") + c.text + L"%");
        EXPECT_EQ(RAMForm->TrayIcon->Font().Color(), c.font);
        EXPECT_EQ(RAMForm->TrayIcon->Color(), c.back);
    }
}

TEST_F(RAMMonitor, RedrawsOnlyWhenTheLoadChanges) {
    Start();
    Show(42);
    HICON drawn = RAMForm->TrayIcon->Icon().Handle();
    Show(42);
    Show(42);
    EXPECT_EQ(RAMForm->TrayIcon->Icon().Handle(), drawn) << "an unchanged load draws nothing";
    Show(43);
    EXPECT_NE(RAMForm->TrayIcon->Icon().Handle(), drawn);
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L" 43");

    // A new display mode draws at once, and its image follows the load.
    RAMForm->MPPRAMDisp[3]->Click();
    EXPECT_EQ(RAMForm->MRAMDisp, 3);
    EXPECT_EQ(RAMForm->TrayIcon->IconList(), TrayForm->ImageListLevel);
    load = 43;
    RAMForm->Proc_DispRAM();
    EXPECT_EQ(RAMForm->TrayIcon->IconIndex(), 4);
    EXPECT_FALSE(RAMForm->TrayIcon->Border());
    RAMForm->MPPRAMDisp[2]->Click();
    EXPECT_EQ(RAMForm->TrayIcon->IconList(), TrayForm->ImageListRAM);
    Show(43);
    EXPECT_EQ(RAMForm->TrayIcon->IconIndex(), 43);
    RAMForm->MPPRAMDisp[0]->Click();
    Show(43);
    EXPECT_EQ(RAMForm->TrayIcon->IconList(), nullptr);
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L" 43");
    EXPECT_TRUE(RAMForm->TrayIcon->Border());
}

TEST_F(RAMMonitor, StoppedMonitorsTickNothing) {
    Start();
    Show(40);
    RAMForm->PPStop->Click();
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"Orvandel- RAM使用率");
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L"");
    EXPECT_FALSE(RAMForm->TrayIcon->Border());
    RAMForm->MTimeStop = 3;
    load = 70;
    RAMForm->Proc_TimerRAM();
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"Orvandel- RAM使用率");
    EXPECT_EQ(RAMForm->MTimeStop, 60) << "a stopped monitor restarts the cool-down";
    RAMForm->PPStop->Click();
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"");
    RAMForm->Proc_TimerRAM();
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L" 70");

    TrayForm->PPRAMStop->Click();  // the main form's stop
    EXPECT_FALSE(RAMForm->TrayIcon->IconVisible());
    load = 20;
    RAMForm->Proc_TimerRAM();
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L"");
    TrayForm->PPRAMStop->Click();
    EXPECT_TRUE(RAMForm->TrayIcon->IconVisible());
    RAMForm->Proc_TimerRAM();
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L" 20");
}

TEST_F(RAMMonitor, AutomaticAndPeriodicCleaningByCase) {
    struct Phase {
        int ticks, load, cpu;
        bool stopListRunning;
    };
    struct Case {
        const char* name;
        int threshold, minutes;
        std::vector<Phase> phases;
        std::vector<int> cleanedAt;  // RAM ticks (from 1) at which a cleaning ran
    };
    const Case cases[] = {
        {"threshold off", 0, 0, {{130, 100, 10, false}}, {}},
        {"threshold reached: once per 60 ticks", 70, 0, {{130, 75, 10, false}}, {60, 120}},
        {"below the threshold", 70, 0, {{130, 69, 10, false}}, {}},
        {"busy processor", 70, 0, {{130, 75, 80, false}}, {}},
        {"processor calm again", 70, 0, {{90, 75, 85, false}, {40, 75, 79, false}}, {91}},
        {"stop list holds it back but the cool-down runs", 70, 0,
         {{61, 75, 10, true}, {69, 75, 10, false}}, {120}},
        {"periodic every minute", 0, 1, {{130, 30, 10, false}}, {60, 120}},
        {"periodic waits for a calm processor", 0, 1, {{100, 30, 90, false}, {10, 30, 10, false}}, {101}},
    };
    // One program for all rows: each row starts from the cleaning counters
    // the program starts with.
    Start();
    const int startCoolDown = RAMForm->MTimeStop, startCount = RAMForm->MTimeC;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RAMForm->MTimeStop = startCoolDown;
        RAMForm->MTimeC = startCount;
        mems->blocksPerCall.clear();
        RAMForm->UDRAMAuto = c.threshold;
        RAMForm->MTime = c.minutes * 60;
        RAMForm->ListBox.Clear();
        RAMForm->ListBox.Add(L"Blocker.exe");
        bool blockerRunning = false;
        RAMForm->ExeRunningSource = [&](const std::wstring& name) {
            return blockerRunning && name == L"Blocker.exe";
        };
        std::vector<int> cleanedAt;
        int tick = 0;
        for (const Phase& p : c.phases) {
            TrayForm->MCPU = p.cpu;
            blockerRunning = p.stopListRunning;
            for (int i = 0; i < p.ticks; ++i) {
                size_t before = mems->blocksPerCall.size();
                load = p.load;
                RAMForm->Proc_TimerRAM();
                ++tick;
                if (mems->blocksPerCall.size() != before) cleanedAt.push_back(tick);
            }
        }
        EXPECT_EQ(cleanedAt, c.cleanedAt);
    }
}

TEST_F(RAMMonitor, InProcessCleaningShowsTheBusyStateAndSplitsLargeAmounts) {
    Start();
    Show(40);
    RAMForm->MTotalRAM = int64_t{4096} * 1048576;
    RAMForm->UDRAMValue = 75;  // 3072 MB: one call of 1024, one of 2048 (which trims 1024)
    RAMForm->PPRAMCleanClick();
    EXPECT_EQ(mems->blocksPerCall, (std::vector<int>{1024, 1024}));
    EXPECT_EQ(mems->ramHints, (std::vector<std::wstring>{L"RAM最適化中", L"RAM最適化中"}));
    EXPECT_EQ(mems->cpuHints, (std::vector<std::wstring>{L"RAM最適化中", L"RAM最適化中"}));
    EXPECT_EQ(mems->ramIndexes, (std::vector<int>{101, 101}));
    EXPECT_EQ(mems->cleanEnabled, (std::vector<bool>{false, false}));
    EXPECT_EQ(mems->iconEnabled, (std::vector<bool>{false, false}));
    // Back to idle.
    EXPECT_FALSE(RAMForm->FMemWork);
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"Orvandel- RAM");
    EXPECT_TRUE(RAMForm->TrayIcon->Enabled());
    EXPECT_TRUE(RAMForm->PPRAMClean->Enabled());
    EXPECT_EQ(RAMForm->TrayIcon->IconList(), nullptr);
    EXPECT_EQ(TrayForm->TrayIcon->IconList(), nullptr) << "the CPU icon's text style again";
    Show(40);
    EXPECT_EQ(RAMForm->TrayIcon->Text(), L" 40") << "the next step draws the load again";

    // A menu amount: 20 % of 4096 MB.
    mems->blocksPerCall.clear();
    RAMForm->MPPRAMValue[1]->Click();
    EXPECT_EQ(mems->blocksPerCall, (std::vector<int>{819}));

    // With the CPU monitor stopped its icon keeps its look.
    TrayForm->PPCPUStop->Click();
    mems->blocksPerCall.clear();
    mems->cpuHints.clear();
    RAMForm->MPPRAMValue[0]->Click();
    EXPECT_EQ(mems->cpuHints, (std::vector<std::wstring>{L"Orvandel"}));

    // While the icon's mouse handling is off (a modal window), the configured cleaning does nothing.
    mems->blocksPerCall.clear();
    RAMForm->TrayIcon->SetEnabled(false);
    RAMForm->PPRAMCleanClick();
    EXPECT_TRUE(mems->blocksPerCall.empty());
}

TEST_F(RAMMonitor, MenuAmountsEnabledByTheFreeShare) {
    Start();
    load = 35;
    RAMForm->UDRAMValue = 50;
    RAMForm->PPMenuPopup();
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(RAMForm->MPPRAMValue[i - 1]->Enabled(), i <= 6) << i * 10 << "%";
    EXPECT_TRUE(RAMForm->PPRAMClean->Enabled());
    RAMForm->UDRAMValue = 65;
    RAMForm->PPMenuPopup();
    EXPECT_FALSE(RAMForm->PPRAMClean->Enabled());
    EXPECT_EQ(RAMForm->MPPRAMValue[5]->Caption(), L"60%");
}

TEST_F(RAMMonitor, DoubleClickActionSetsTheDefaultItem) {
    Start();
    const bool cleanDefault[3] = {false, true, false};
    const bool stopDefault[3] = {false, false, true};
    for (int action : {1, 2, 0}) {
        RAMForm->RGTrayWClick = action;
        RAMForm->RGTrayWClickClick();
        EXPECT_EQ(RAMForm->PPRAMClean->Default(), cleanDefault[action]) << action;
        EXPECT_EQ(RAMForm->PPStop->Default(), stopDefault[action]) << action;
    }
}

// The 64-bit road: the stand-in cleaner, copied as "Murvel.exe" into a
// program folder with a blank in its name, records its start and waits.
TEST_F(RAMMonitor, SiblingCleanerOnTheWow64Road) {
    Start();
    testing_support::ScratchDir scratch;
    const std::wstring folder = scratch / L"prog dir\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((testing_support::BinDir() + L"CleanerStandIn.exe").c_str(),
                            (folder + L"Murvel.exe").c_str(), FALSE));
    const std::wstring record = scratch / L"record.txt";
    const std::wstring eventName = L"OrvRAMRelease" + std::to_wstring(::GetCurrentProcessId());
    gui::Handle release(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", record.c_str());
    ::SetEnvironmentVariableW(L"ORV_RELEASE_EVENT", eventName.c_str());
    struct Env {
        HANDLE e;
        ~Env() {
            ::SetEvent(e);
            ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", nullptr);
            ::SetEnvironmentVariableW(L"ORV_RELEASE_EVENT", nullptr);
        }
    } env{release.get()};

    RAMForm->Wow64Source = [] { return true; };
    RAMForm->ProgramFolder = folder;
    RAMForm->MTotalRAM = int64_t{8192} * 1048576;
    load = 80;  // 1639 MB free
    Show(80);
    RAMForm->Proc_CleanX64(1640);
    EXPECT_FALSE(RAMForm->FMemWork) << "not enough free memory: nothing";
    EXPECT_EQ(RAMForm->CleanThread(), nullptr);

    const std::wstring cpuHint = TrayForm->TrayIcon->Hint();
    RAMForm->Proc_CleanX64(1639);
    ASSERT_TRUE(RAMForm->FMemWork);
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"RAM最適化中");
    EXPECT_EQ(RAMForm->TrayIcon->IconIndex(), 101);
    EXPECT_FALSE(RAMForm->PPRAMValue->Enabled());
    EXPECT_EQ(TrayForm->TrayIcon->Hint(), cpuHint) << "no busy picture on the CPU icon on 64-bit Windows";
    ASSERT_TRUE(WaitUntil([&] { return !testing_support::ReadBytes(record).empty(); }, 30000));
    EXPECT_EQ(gui::Utf8ToWide(testing_support::ReadBytes(record)),
              L"\"" + folder + L"Murvel.exe\" 1639\n" + folder.substr(0, folder.size() - 1) + L"\n");
    // A second cleaning while this one runs does nothing.
    TRAMCleanX64* running = RAMForm->CleanThread();
    RAMForm->PPRAMCleanClick();
    RAMForm->Proc_CleanX64(10);
    EXPECT_EQ(RAMForm->CleanThread(), running);

    ::SetEvent(release.get());
    ASSERT_TRUE(WaitUntil([] { return !RAMForm->FMemWork; }, 30000));
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"Orvandel- RAM");
    EXPECT_TRUE(RAMForm->TrayIcon->Enabled());
    EXPECT_TRUE(RAMForm->PPRAMValue->Enabled());
    EXPECT_EQ(RAMForm->MRAMCleanX64Value, 1639);
}

TEST_F(RAMMonitor, MissingSiblingCleanerIsReported) {
    Start();
    testing_support::ScratchDir scratch;
    RAMForm->Wow64Source = [] { return true; };
    RAMForm->ProgramFolder = scratch.Path();
    testing_support::MessageBoxAnswerer closer;
    RAMForm->MPPRAMValue[0]->Click();
    EXPECT_EQ(closer.Texts(), (std::vector<std::wstring>{scratch.Path() + L"Murvel.exe\r\nがありません。"}));
    EXPECT_FALSE(RAMForm->FMemWork);
    EXPECT_EQ(RAMForm->CleanThread(), nullptr);
}

// ------------------------------------------------------------ the main form's part

TEST_F(RAMMonitor, IconShownByPanelModeAndStop) {
    Start();
    EXPECT_TRUE(RAMForm->TrayIcon->Enabled()) << "mouse input on once the start is done";
    EXPECT_TRUE(TrayForm->PPRAM->Enabled()) << "the settings window opens from both menus";
    EXPECT_TRUE(RAMForm->PPRAM->Enabled());
    struct Case {
        int mode;
        bool stopped, visible;
    };
    const Case cases[] = {{0, false, true}, {1, false, true}, {2, false, false},
                          {0, true, false}, {1, true, false}, {2, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        if (TrayForm->PPRAMStop->Checked() != c.stopped) TrayForm->PPRAMStop->Click();
        TrayForm->Menus().MPPTrayPanel[c.mode]->Click();
        EXPECT_EQ(RAMForm->TrayIcon->IconVisible(), c.visible) << "stopped " << c.stopped;
    }
    EXPECT_TRUE(TrayForm->CloseQuery());
    EXPECT_FALSE(RAMForm->TrayIcon->IconVisible());
}

TEST_F(RAMMonitor, AModalWindowOfTheMainFormSwitchesTheIconOff) {
    Start();
    bool sawOff = false;
    auto* closer = new gui::TTimer(TrayForm);
    closer->SetInterval(100);
    closer->OnTimer = [&](gui::TTimer* t) {
        if (!VerForm || !VerForm->Visible()) return;
        sawOff = !RAMForm->TrayIcon->Enabled() && !TrayForm->TrayIcon->Enabled();
        t->SetEnabled(false);
        VerForm->OKButton->Click();
    };
    TrayItem(L"PPVer")->Click();
    EXPECT_TRUE(sawOff) << "both icons ignore the mouse while the window is open";
    EXPECT_TRUE(RAMForm->TrayIcon->Enabled());
}

TEST_F(RAMMonitor, SettingsReadAtStartAndStopWrittenAtClose) {
    testing_support::WriteBytes(dir / L"RAM.ini",
                                "[RAM]\r\nValue=30\r\nAuto=0\r\nTime=2\r\nTrayWClick=2\r\nStop=1\r\nDisp=1\r\n");
    testing_support::WriteBytes(dir / L"RAM.lst", "a.exe\r\nb.exe\r\n");
    const std::string config = "[Tray]\r\nFontSize=12\r\n";
    Start(&config);
    EXPECT_EQ(RAMForm->UDRAMValue, 30);
    EXPECT_EQ(RAMForm->UDRAMAuto, 0);
    EXPECT_EQ(RAMForm->MTime, 120);
    EXPECT_TRUE(RAMForm->PPStop->Default());
    EXPECT_TRUE(RAMForm->PPStop->Checked());
    EXPECT_EQ(RAMForm->MRAMDisp, 1);
    EXPECT_TRUE(RAMForm->MPPRAMDisp[1]->Checked());
    EXPECT_EQ(RAMForm->TrayIcon->IconList(), TrayForm->ImageListNum);
    EXPECT_EQ(RAMForm->PPRAMClean->Caption(), L"設定値(&D) 30%");
    EXPECT_EQ(RAMForm->ListBox.Count(), 2);
    EXPECT_EQ(RAMForm->TrayIcon->Hint(), L"Orvandel- RAM使用率");
    EXPECT_EQ(RAMForm->TrayIcon->Font().Size(), 12) << "the CPU icon's font size";

    RAMForm->PPStop->Click();
    RAMForm->MPPRAMDisp[3]->Click();
    EXPECT_TRUE(TrayForm->CloseQuery());
    gui::TMemIniFile ini(dir / L"RAM.ini");
    EXPECT_FALSE(ini.ReadBool(L"RAM", L"Stop", true));
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Disp", -1), 3);
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Value", -1), 30) << "the other keys stay";
}

TEST_F(RAMMonitor, FirstStartDefaults) {
    Start();
    EXPECT_EQ(RAMForm->UDRAMValue, 50);
    EXPECT_EQ(RAMForm->UDRAMAuto, 100);
    EXPECT_EQ(RAMForm->MTime, 0);
    EXPECT_EQ(RAMForm->RGTrayWClick, 0);
    EXPECT_FALSE(RAMForm->PPStop->Checked());
    EXPECT_EQ(RAMForm->MRAMDisp, 0);
    EXPECT_EQ(RAMForm->MTimeStop, 60);
    EXPECT_EQ(RAMForm->MTotalRAM, GetTotalRAM());
    EXPECT_TRUE(RAMForm->TrayIcon->IconVisible());
}

}  // namespace
