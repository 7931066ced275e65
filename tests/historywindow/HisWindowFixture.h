// The whole program's main form in the test process, with the history
// window it creates read from a "His.ini" and list files the test writes
// first. The heartbeat is stopped, so nothing is recorded behind the test's
// back; a test runs the steps of a tick it needs itself.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/history/HisFiles.h"
#include "gui/IniFile.h"
#include "gui/StringList.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/tray/TrayFixture.h"
#include "toolkit/QuorvinWindows.h"

namespace history_window {

class HisWindowTest : public testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = DataFolder;
        oldBrackwen_ = BrackwenExe;
    }
    void TearDown() override {
        tray_.StopTray();
        DataFolder = oldFolder_;
        BrackwenExe = oldBrackwen_;
    }

    // Writes "His.ini" (the window at a known place, not shown at start,
    // then what `settings` adds) and starts the program's forms.
    void Start(const std::function<void(gui::TMemIniFile&)>& settings = {}) {
        {
            gui::TMemIniFile ini(tray_.dir / L"His.ini");
            ini.WriteInteger(L"Window", L"Left", 40);
            ini.WriteInteger(L"Window", L"Top", 30);
            ini.WriteInteger(L"Window", L"Width", 900);
            ini.WriteInteger(L"Window", L"Height", 640);
            ini.WriteBool(L"Window", L"Normal", true);
            ini.WriteInteger(L"Window", L"Start", 0);
            if (settings) settings(ini);
            ASSERT_TRUE(ini.UpdateFile());
        }
        tray_.StartTray();
        ASSERT_TRUE(TrayForm && HisForm);
        TrayForm->TimerMain->SetEnabled(false);
    }

    // A list file: k 0 history, 1 favourites; c the category.
    void WriteList(int k, int c, const std::vector<std::wstring>& entries) {
        gui::TStringList list;
        for (const auto& e : entries) list.Add(e);
        list.SaveToFile(HisListFileName(tray_.dir.Path(), k, c), gui::TTextEncoding::Utf16LE);
    }

    // Shows the window in front with the focus in the history list.
    void ShowInFront() {
        His().Show();
        ForceForegroundWindow(His().Handle());
        ASSERT_TRUE(testing_support::WaitApp([&] { return ::GetForegroundWindow() == His().Handle(); }, 10000));
        testing_support::Named<gui::TListBox>(His(), L"ListBoxHis")->SetFocus();
        testing_support::PumpApp(100);
    }

    // The tab control's tab `index` is selected as the user would, then its change runs.
    void SelectTab(int index) {
        testing_support::Named<gui::TTabControl>(His(), L"TabControl")->SetTabIndex(index);
        His().TabControlChange();
    }

    std::vector<std::wstring> ListBoxItems(gui::TListBox* list) {
        std::vector<std::wstring> items;
        for (int i = 0; i < list->Count(); ++i) items.push_back(list->Item(i));
        return items;
    }

    std::wstring Path(const std::wstring& name) { return tray_.dir / name; }

    THisForm& His() { return *HisForm; }

    TrayFormFixture tray_;
    std::wstring oldFolder_, oldBrackwen_;
};

}  // namespace history_window
