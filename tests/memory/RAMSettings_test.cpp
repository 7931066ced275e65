// The RAM cleaner's settings window, opened modally from the tray menus and
// driven with real clicks and keys: its defaults, OK, Cancel and the writes
// at program exit, with "RAM.ini" and "RAM.lst" in a scratch settings folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "gui/Timer.h"
#include "tests/support/TestSupport.h"
#include "tests/tray/TrayFixture.h"
#include "tests/support/SyntheticInput.h"

using testing_support::WaitUntil;

namespace {

// A left click at (x, y) of the control's client area.
void ClickAt(gui::TWinControl* c, int x, int y) {
    POINT pt{x, y};
    ::ClientToScreen(c->Handle(), &pt);
    testing_support::MouseAt(pt);
    testing_support::MouseAt(pt, {MOUSEEVENTF_LEFTDOWN});
    testing_support::MouseAt(pt, {MOUSEEVENTF_LEFTUP});
}
void ClickCentre(gui::TWinControl* c) { ClickAt(c, c->ClientWidth() / 2, c->ClientHeight() / 2); }
void ClickUp(gui::TUpDown* ud) { ClickAt(ud, ud->ClientWidth() / 2, ud->ClientHeight() / 4); }
void ClickDown(gui::TUpDown* ud) { ClickAt(ud, ud->ClientWidth() / 2, ud->ClientHeight() * 3 / 4); }

void Key(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

class RAMSettings : public testing::Test, public TrayFormFixture {
protected:
    // With realPicker the form's own open dialog picks the programs.
    void Start(bool realPicker = false) {
        StartTray();
        TrayForm->Steps.TimerRAM = [] {};
        TrayForm->Steps.TimerCPU = [] {};
        if (!realPicker) RAMForm->PickProgram = [this] { return picked; };
    }
    void TearDown() override { StopTray(); }

    // Opens the window from the tray menu and runs the steps inside its modal
    // loop, one at a time on a timer: a step returns true when it is done
    // (false: run it again on the next tick). A step may be a wait.
    using Step = std::function<bool()>;
    void RunModal(const std::vector<Step>& steps, gui::TMenuItem* opener = nullptr) {
        size_t next = 0;
        bool busy = false;
        const ULONGLONG deadline = ::GetTickCount64() + 90000;
        auto* timer = new gui::TTimer(TrayForm);
        timer->SetInterval(50);
        timer->OnTimer = [&](gui::TTimer* t) {
            if (busy || !RAMForm->Visible()) return;
            busy = true;
            if (next < steps.size() && steps[next]()) ++next;
            if (::GetTickCount64() > deadline) {
                ADD_FAILURE() << "step " << next << " did not finish";
                next = steps.size();
                RAMForm->ModalResult = gui::mrCancel;
            }
            if (next >= steps.size()) t->SetEnabled(false);
            busy = false;
        };
        (opener ? opener : TrayForm->PPRAM)->Click();
        gui::TComponent::Free(timer);
        EXPECT_EQ(next, steps.size()) << "the window closed before all steps ran";
    }
    // A step that waits until the condition holds (deadline: the run's).
    static Step Until(std::function<bool()> cond) { return cond; }
    // A step that does something once.
    static Step Do(std::function<void()> act) {
        return [act] {
            act();
            return true;
        };
    }
    // A pause, so two clicks on one spot are not taken for a double click.
    static Step Pause(DWORD ms) {
        auto end = std::make_shared<ULONGLONG>(0);
        return [end, ms] {
            if (*end == 0) *end = ::GetTickCount64() + ms;
            return ::GetTickCount64() >= *end;
        };
    }
    // The window in front, so that real input reaches it.
    static Step InFront() {
        return [] {
            if (::GetForegroundWindow() != RAMForm->Handle()) ::SetForegroundWindow(RAMForm->Handle());
            return ::GetForegroundWindow() == RAMForm->Handle();
        };
    }

    std::wstring picked;
};

TEST_F(RAMSettings, DefaultsShownInTheModalWindow) {
    Start();
    bool heartbeatStopped = false, iconsOff = false;
    RunModal({
        InFront(),
        Do([&] {
            EXPECT_EQ(RAMForm->Caption(), L"Orvandel - RAMクリーナーの設定");
            EXPECT_EQ(RAMForm->ClientWidth(), 594);
            EXPECT_EQ(RAMForm->ClientHeight(), 259);
            EXPECT_TRUE(::GetWindowLongW(RAMForm->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
            EXPECT_EQ(RAMForm->NumValue->Text(), L"50");
            EXPECT_EQ(RAMForm->NumAuto->Text(), L"100");
            EXPECT_EQ(RAMForm->NumTime->Text(), L"0");
            EXPECT_EQ(RAMForm->NumAuto->DisplayText(), L"100");
            EXPECT_EQ(RAMForm->UpDownValue->Position(), 50);
            EXPECT_EQ(RAMForm->RadioTrayWClick->ItemIndex(), 0);
            EXPECT_EQ(RAMForm->ListBoxStop->Count(), 0);
            EXPECT_FALSE(RAMForm->BtnDel->Enabled());
            EXPECT_TRUE(RAMForm->NumAuto->ReadOnly);
            EXPECT_EQ(RAMForm->NumAuto->Width(), 35);
            EXPECT_EQ(RAMForm->NumAuto->Height(), 17);
            EXPECT_EQ(RAMForm->NumAuto->Color(), gui::clBtnFace);
            EXPECT_EQ(RAMForm->FindComponent(L"UDRAMAuto"), RAMForm->UpDownAuto);
            EXPECT_FALSE(::GetWindowLongW(RAMForm->LBLRAMAuto->Handle(), GWL_STYLE) & SS_NOPREFIX)
                << "the label underlines its accelerator";
            heartbeatStopped = !TrayForm->TimerMain->Enabled();
            iconsOff = !TrayForm->TrayIcon->Enabled() && !RAMForm->TrayIcon->Enabled();
        }),
        Do([] { ClickCentre(RAMForm->BtnCancel); }),
    });
    EXPECT_TRUE(heartbeatStopped);
    EXPECT_TRUE(iconsOff);
    EXPECT_TRUE(TrayForm->TimerMain->Enabled());
    EXPECT_TRUE(TrayForm->TrayIcon->Enabled());
    EXPECT_TRUE(RAMForm->TrayIcon->Enabled());
    EXPECT_FALSE(RAMForm->Visible());
    // Every close writes the monitor's stop and display mode, nothing else.
    gui::TMemIniFile ini(dir / L"RAM.ini");
    EXPECT_EQ(ini.ReadSection(L"RAM"), (std::vector<std::wstring>{L"Stop", L"Disp"}));
    EXPECT_FALSE(testing_support::ReadBytes(dir / L"RAM.lst").size()) << "no stop list without OK";
}

TEST_F(RAMSettings, OKWritesTheValuesAndTheStopList) {
    Start();
    picked = L"C:\\somewhere\\Blocker.exe";
    RunModal({
        InFront(),
        Do([] { ClickUp(RAMForm->UpDownAuto); }),  // 100 wraps round to 0
        Until([] { return RAMForm->NumAuto->Text() == L"0"; }),
        Do([] { ClickDown(RAMForm->UpDownValue); }),
        Until([] { return RAMForm->NumValue->Text() == L"49"; }),
        Do([] { ClickUp(RAMForm->UpDownTime); }),
        Until([] { return RAMForm->NumTime->Text() == L"1"; }),
        Pause(800),
        Do([] { ClickUp(RAMForm->UpDownTime); }),
        Until([] { return RAMForm->NumTime->Text() == L"2"; }),
        Do([] { ClickAt(RAMForm->RadioTrayWClick->Button(2), 6, 8); }),
        Until([] { return RAMForm->RGTrayWClick == 2; }),
        Do([] {
            EXPECT_TRUE(RAMForm->PPStop->Default()) << "the double-click action applies at once";
            EXPECT_EQ(RAMForm->UDRAMValue, 50) << "the value in effect changes only on OK";
        }),
        Do([] { ClickCentre(RAMForm->BtnAdd); }),
        Until([] { return RAMForm->ListBoxStop->Count() == 1; }),
        Pause(800),
        Do([] { ClickCentre(RAMForm->BtnAdd); }),  // the same program again
        Pause(300),
        Do([] {
            EXPECT_EQ(RAMForm->ListBoxStop->Count(), 1) << "a program already listed is not added again";
            ClickCentre(RAMForm->BtnOK);
        }),
    });
    EXPECT_EQ(RAMForm->UDRAMAuto, 0);
    EXPECT_EQ(RAMForm->UDRAMValue, 49);
    EXPECT_EQ(RAMForm->UDRAMTime, 2);
    EXPECT_EQ(RAMForm->MTime, 120) << "two minutes are 120 RAM ticks";
    EXPECT_EQ(RAMForm->PPRAMClean->Caption(), L"設定値(&D) 49%");
    gui::TMemIniFile ini(dir / L"RAM.ini");
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Value", -1), 49);
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Auto", -1), 0);
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Time", -1), 2);
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"TrayWClick", -1), 2);
    EXPECT_EQ(testing_support::ReadBytes(dir / L"RAM.lst"), Utf16File(L"Blocker.exe\r\n"))
        << "UTF-16LE with a byte-order mark";
}

TEST_F(RAMSettings, CancelRestoresTheFile) {
    testing_support::WriteBytes(dir / L"RAM.ini", "[RAM]\r\nValue=30\r\nAuto=70\r\nTime=1\r\nTrayWClick=1\r\n");
    Start();
    picked = L"C:\\x\\Added.exe";
    RunModal({
        InFront(),
        Until([] { return RAMForm->NumValue->Text() == L"30" && RAMForm->NumAuto->Text() == L"70"; }),
        Do([] { ClickUp(RAMForm->UpDownValue); }),
        Until([] { return RAMForm->NumValue->Text() == L"31"; }),
        Do([] { ClickAt(RAMForm->RadioTrayWClick->Button(0), 6, 8); }),
        Until([] { return !RAMForm->PPRAMClean->Default(); }),
        Do([] { RAMForm->BtnAdd->Click(); }),
        Do([] { Key(VK_ESCAPE); }),  // Esc is the cancel button
    });
    EXPECT_EQ(RAMForm->UDRAMValue, 30);
    EXPECT_EQ(RAMForm->UpDownValue->Position(), 30);
    EXPECT_EQ(RAMForm->NumValue->Text(), L"30") << "the window shows the file's values again";
    EXPECT_TRUE(RAMForm->PPRAMClean->Default()) << "the file's double-click action again";
    EXPECT_EQ(RAMForm->RadioTrayWClick->ItemIndex(), 1);
    EXPECT_EQ(gui::TMemIniFile(dir / L"RAM.ini").ReadInteger(L"RAM", L"Value", -1), 30);
    // Without a stop-list file the added program stays until the program ends.
    ASSERT_EQ(RAMForm->ListBox.Count(), 1);
    EXPECT_EQ(RAMForm->ListBox[0], L"Added.exe");
    EXPECT_TRUE(testing_support::ReadBytes(dir / L"RAM.lst").empty());

    // With a stop-list file, Cancel reads it again.
    testing_support::WriteBytes(dir / L"RAM.lst", Utf16File(L"a.exe\r\nb.exe\r\n"));
    RAMForm->Proc_LoadIni();
    RunModal({
        InFront(),
        Until([] { return RAMForm->ListBoxStop->Count() == 2; }),
        // A click on an item enables Delete, which removes it.
        Do([] { ClickAt(RAMForm->ListBoxStop, 20, RAMForm->ListBoxStop->ItemHeight() / 2); }),
        Until([] { return RAMForm->BtnDel->Enabled(); }),
        Do([] { ClickCentre(RAMForm->BtnDel); }),
        Until([] { return RAMForm->ListBoxStop->Count() == 1; }),
        Do([] {
            EXPECT_EQ(RAMForm->ListBoxStop->Item(0), L"b.exe");
            EXPECT_FALSE(RAMForm->BtnDel->Enabled());
            EXPECT_EQ(RAMForm->ListBox.Count(), 1) << "a deletion takes effect at once";
            ClickCentre(RAMForm->BtnCancel);
        }),
    }, RAMForm->PPRAM);  // from the RAM icon's menu
    EXPECT_EQ(RAMForm->ListBox.Count(), 2);
    EXPECT_EQ(RAMForm->ListBoxStop->Count(), 2);
}

TEST_F(RAMSettings, TheOpenDialogPicksAProgram) {
    Start(/*realPicker=*/true);
    testing_support::ScratchDir progs;
    const std::wstring exe = progs / L"Stopper.exe";
    ASSERT_TRUE(testing_support::WriteBytes(exe, "MZ"));
    std::wstring title;
    auto* driver = new gui::TTimer(TrayForm);
    driver->SetInterval(100);
    driver->OnTimer = [&](gui::TTimer* t) {
        HWND dlg = nullptr;
        for (HWND w : testing_support::FindTopWindows(L"#32770"))
            if (::IsWindowVisible(w) && testing_support::WindowProcessId(w) == ::GetCurrentProcessId()) dlg = w;
        if (!dlg) return;
        t->SetEnabled(false);
        title = testing_support::WindowTextOf(dlg);
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x47c /* cmb13 */, reinterpret_cast<LPARAM>(exe.c_str()));
        ::SendMessageW(dlg, CDM_SETCONTROLTEXT, 0x480 /* edt1 */, reinterpret_cast<LPARAM>(exe.c_str()));
        ::PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    };
    RunModal({
        Do([] { RAMForm->BtnAdd->Click(); }),
        Do([] { RAMForm->BtnOK->Click(); }),
    });
    EXPECT_EQ(title, L"自動最適化、定期間隔の実行を停止するプログラム");
    ASSERT_EQ(RAMForm->ListBox.Count(), 1);
    EXPECT_EQ(RAMForm->ListBox[0], L"Stopper.exe") << "the name without its folder";
    EXPECT_EQ(testing_support::ReadBytes(dir / L"RAM.lst"), Utf16File(L"Stopper.exe\r\n"));
}

TEST_F(RAMSettings, ProgramExitWritesOnlyStopAndDisp) {
    testing_support::WriteBytes(dir / L"RAM.ini", "[RAM]\r\nValue=30\r\nAuto=70\r\n");
    testing_support::WriteBytes(dir / L"RAM.lst", Utf16File(L"a.exe\r\n"));
    Start();
    // Changes in the window that were never confirmed.
    RAMForm->UpDownValue->SetPosition(80);
    RAMForm->UDRAMValueClick();
    RAMForm->ListBox.Add(L"new.exe");
    RAMForm->PPStop->Click();
    EXPECT_TRUE(TrayForm->CloseQuery());
    gui::TMemIniFile ini(dir / L"RAM.ini");
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Value", -1), 30);
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Auto", -1), 70);
    EXPECT_TRUE(ini.ReadBool(L"RAM", L"Stop", false));
    EXPECT_EQ(ini.ReadInteger(L"RAM", L"Disp", -1), 0);
    EXPECT_EQ(testing_support::ReadBytes(dir / L"RAM.lst"), Utf16File(L"a.exe\r\n"));
}

TEST_F(RAMSettings, OKWithAFileThatCannotBeWrittenSaysSoAndKeepsTheEdits) {
    const struct {
        const wchar_t* held;
    } cases[] = {{L"RAM.lst"}, {L"RAM.ini"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.held)));
        testing_support::WriteBytes(dir / L"RAM.ini", "[RAM]\r\nValue=30\r\n");
        testing_support::WriteBytes(dir / L"RAM.lst", Utf16File(L"kept.exe\r\n"));
        const std::string before = testing_support::ReadBytes(dir / c.held);
        Start();
        picked = L"C:\\somewhere\\Added.exe";
        testing_support::MessageBoxAnswerer answerer;
        gui::FileHandle lock;
        bool stillOpen = false;
        int shownAfterFailure = -1;
        std::string whileHeld;
        RunModal({
            InFront(),
            Do([] { ClickCentre(RAMForm->BtnAdd); }),
            Until([] { return RAMForm->ListBoxStop->Count() == 2; }),
            Do([&] {
                // Another program holds the file open without sharing it.
                lock.reset(::CreateFileW((dir / c.held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                ASSERT_TRUE(lock);
                ClickCentre(RAMForm->BtnOK);
            }),
            Until([&] { return answerer.Count() == 1; }),
            Pause(300),
            Do([&] {
                stillOpen = RAMForm->Visible() && RAMForm->ModalResult == gui::mrNone;
                shownAfterFailure = RAMForm->ListBoxStop->Count();
                lock.reset();
                whileHeld = testing_support::ReadBytes(dir / c.held);
                ClickCentre(RAMForm->BtnOK);  // released: OK saves and closes
            }),
        });
        const std::vector<std::wstring> texts = answerer.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], dir / c.held + L"\r\nに保存できません。");
        EXPECT_TRUE(stillOpen) << "the window stays open with the edits";
        EXPECT_EQ(shownAfterFailure, 2);
        EXPECT_EQ(whileHeld, before) << "the file keeps its bytes";
        EXPECT_EQ(testing_support::ReadBytes(dir / L"RAM.lst"), Utf16File(L"kept.exe\r\nAdded.exe\r\n"));
        StopTray();
    }
}

TEST_F(RAMSettings, AnUnreadableStopListIsNeverWrittenOver) {
    // A stop list the program cannot open (held open without sharing).
    testing_support::WriteBytes(dir / L"RAM.lst", Utf16File(L"kept.exe\r\n"));
    gui::Handle lock(::CreateFileW((dir / L"RAM.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Start();
    EXPECT_EQ(RAMForm->ListBox.Count(), 0);
    lock.reset();
    RAMForm->ModalResult = gui::mrOk;
    RAMForm->Proc_SaveIni();
    EXPECT_EQ(testing_support::ReadBytes(dir / L"RAM.lst"), Utf16File(L"kept.exe\r\n"));
}

}  // namespace
