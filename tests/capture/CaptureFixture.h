// The whole main form in the test process, as TrayFixture makes it, with the
// heartbeat driven by hand (one Tick() is one heartbeat), the user's Recent
// folder pointed at a scratch folder while the form lives, and other
// programs that copy texts.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/PrefixGuard.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"
#include "tests/tray/TrayFixture.h"
#include "toolkit/QuorvinRegistry.h"

namespace capture_test {

const wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Explorer's "Shell Folders" value "Recent" names another folder for the
// lifetime of the object (and is put back also after a killed run).
class RecentFolderOverride {
public:
    explicit RecentFolderOverride(const std::wstring& folder) {
        gui::RegKey key = OpenRegKeyFullAccess(HKEY_CURRENT_USER, kShellFoldersKey);
        if (key)
            ::RegSetValueExW(key.get(), L"Recent", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                             static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    RecentFolderOverride(const RecentFolderOverride&) = delete;
    RecentFolderOverride& operator=(const RecentFolderOverride&) = delete;

private:
    testing_support::RegValueRestore keep_{HKEY_CURRENT_USER, kShellFoldersKey, L"Recent"};
};

inline bool EmptyTheClipboard() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (::OpenClipboard(nullptr)) {
            bool ok = ::EmptyClipboard() != FALSE;
            ::CloseClipboard();
            return ok;
        }
        ::Sleep(50);
    }
    return false;
}

class CaptureTest : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW(RecentDir().c_str(), nullptr));
        recent_ = std::make_unique<RecentFolderOverride>(RecentDir());
        // Whatever an earlier test left on the clipboard is not recorded.
        ASSERT_TRUE(EmptyTheClipboard());
        StartTray();
        TrayForm->TimerMain->SetEnabled(false);
    }
    void TearDown() override {
        StopTray();
        recent_.reset();
    }

    // The scratch folder that stands for the user's Recent folder (no "\").
    std::wstring RecentDir() const { return dir / L"Recent"; }

    // One heartbeat of the main form; the timer stays off afterwards, so
    // only the test's own ticks run.
    void Tick() {
        TrayForm->TimerMainTimer();
        TrayForm->TimerMain->SetEnabled(false);
    }

    static testing_support::Items History(int c) { return testing_support::ItemsOf(HisForm->Lists.History(c)); }
    static std::wstring Top(int c) {
        const gui::TStringList& list = HisForm->Lists.History(c);
        return list.Count() ? list[0] : L"<empty>";
    }

    // Another program puts the text on the clipboard and ends.
    bool CopyInOtherProgram(const std::wstring& text) {
        std::wstring file = dir / (L"clip" + std::to_wstring(++copies_) + L".txt");
        if (!testing_support::WriteBytes(file, gui::WideToUtf8(text))) return false;
        return RunCapClip(L"\"" + file + L"\"");
    }
    // Another program puts a picture, and no text, on the clipboard.
    bool CopyBitmapInOtherProgram() { return RunCapClip(L"/bitmap"); }

private:
    bool RunCapClip(const std::wstring& args) {
        testing_support::ChildProcess p =
            testing_support::ChildProcess::Start(testing_support::BinDir() + L"CapClip.exe", args);
        return p.Started() && p.WaitExit(10000) && p.ExitCode() == 0;
    }

    std::unique_ptr<RecentFolderOverride> recent_;
    int copies_ = 0;
};

}  // namespace capture_test
