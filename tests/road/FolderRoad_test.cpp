// The folder road walked as a user walks it: Notepad's open dialog is in
// front (opened with Ctrl+O), the user clicks Orvandel's tray icon with the
// mouse, presses "D" and Enter in the history menu, and the dialog goes to
// the folder of the folder history. Driven with synthesized input, read
// back from the dialog from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "gui/TextCodec.h"
#include "tests/road/NotepadRoad.h"

using namespace testing_support;

namespace {

// The look-in box of an open dialog.
constexpr int kLookInId = 1137;

// The open dialog of that process (a visible "#32770"), or nullptr.
HWND OpenDialogOf(DWORD pid) {
    for (HWND w : FindTopWindows(L"#32770"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == pid) return w;
    return nullptr;
}

// The folder the look-in box of the dialog shows: its selected entry.
std::wstring LookInText(HWND dialog) {
    HWND combo = ::GetDlgItem(dialog, kLookInId);
    if (!combo) return L"";
    DWORD_PTR sel = 0, len = 0;
    if (!::SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &sel) ||
        static_cast<LRESULT>(sel) < 0)
        return L"";
    if (!::SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, sel, 0, SMTO_ABORTIFHUNG, 5000, &len) ||
        static_cast<LRESULT>(len) <= 0 || len > 4000)
        return L"";
    std::wstring text(len + 1, L'\0');
    if (!::SendMessageTimeoutW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                               5000, &len))
        return L"";
    text.resize(static_cast<size_t>(static_cast<LRESULT>(len) > 0 ? len : 0));
    return text;
}

class FolderRoad : public NotepadRoad {
protected:
    // The folder history holds one folder of a scratch folder.
    void PrepareSettings() override {
        folder_ = scratch_ / kLeaf;
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
        KeepSettingsFile(L"His03.lst");
        ASSERT_TRUE(WriteBytes(SettingsFolder() + L"His03.lst",
                               gui::EncodeText(folder_ + L"\r\n", gui::TTextEncoding::Utf16LE)));
    }

    static constexpr const wchar_t* kLeaf = L"道のフォルダ";
    ScratchDir scratch_;
    std::wstring folder_;
};

TEST_F(FolderRoad, ATrayMenuPickMovesAnOpenDialogToTheFolderAfterARealClick) {
    ClickIntoNotepad();
    if (HasFatalFailure()) return;
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            // Another window may have come to the front meanwhile: the user
            // clicks into Notepad again before pressing the keys.
            if ((dialog = OpenDialogOf(notepad_.Pid())) != nullptr) return true;
            if (ClickedIntoNotepad()) PressKey('O', {VK_CONTROL});
            return WaitUntil([&] { return (dialog = OpenDialogOf(notepad_.Pid())) != nullptr; }, 5000);
        },
        30000))
        << "Ctrl+O opens Notepad's open dialog\n" << VisibleWindowsInZOrder();
    ASSERT_TRUE(WaitUntil([&] { return ::GetAncestor(::GetForegroundWindow(), GA_ROOT) == dialog; }, 30000))
        << "the open dialog is in front\n" << VisibleWindowsInZOrder();
    ASSERT_NE(LookInText(dialog), kLeaf) << "the dialog starts elsewhere";

    const POINT icon = TrayIconPoint();
    ASSERT_GE(icon.x, 0);
    MouseAt(icon, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) == 1; }, 30000))
        << "the history menu opens after the double-click time";
    PressKey('D');
    ASSERT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) >= 2; }, 30000))
        << "the folder category opens";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return LookInText(dialog) == kLeaf; }, 30000))
        << "the dialog shows \"" << gui::WideToUtf8(LookInText(dialog)) << "\", its file name box \""
        << gui::WideToUtf8(WindowTextOf(::GetDlgItem(dialog, 1148))) << "\"\n"
        << VisibleWindowsInZOrder();
    EXPECT_EQ(OpenDialogOf(notepad_.Pid()), dialog) << "the dialog stays open";
}

}  // namespace
