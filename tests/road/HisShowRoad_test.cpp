// The history window shown again after texts were copied while it was
// closed, walked as a user walks it: a real double click on Orvandel's CPU
// tray icon brings it up, and the keys and the mouse then act on the rows it
// shows. Read from outside: the rows through the list box, the paste in
// Wine's Notepad, the deletion in the clipboard list file written at close.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/history/HisFiles.h"
#include "gui/Exception.h"
#include "tests/road/NotepadRoad.h"

using namespace testing_support;

namespace {

BOOL CALLBACK FindTabControl(HWND w, LPARAM lp) {
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    if (std::wstring(cls) != L"TTabControl") return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// The history list: the list box placed directly on the category tabs (the
// favourites list lies on its own pane).
HWND HistoryListIn(HWND window) {
    HWND tabs = nullptr;
    ::EnumChildWindows(window, FindTabControl, reinterpret_cast<LPARAM>(&tabs));
    return tabs ? ::FindWindowExW(tabs, nullptr, L"TListBox", nullptr) : nullptr;
}

// The rows the list box shows, read from another process.
std::vector<std::wstring> RowsOf(HWND list) {
    std::vector<std::wstring> rows;
    const int n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (length == LB_ERR) break;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        rows.push_back(text);
    }
    return rows;
}

std::string Joined(const std::vector<std::wstring>& rows) {
    std::string s;
    for (const auto& r : rows) {
        s += '[';
        s += gui::WideToUtf8(r);
        s += ']';
    }
    return s;
}

int RowOf(HWND list, const std::wstring& text) {
    const std::vector<std::wstring> rows = RowsOf(list);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == text) return static_cast<int>(i);
    return -1;
}

// The window with the keyboard focus in the thread of that window.
HWND FocusOfThreadOf(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(wnd, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

class HisShowRoad : public NotepadRoad {
protected:
    // The window shown at the end of the start is closed; the user copies
    // the text in Notepad, then double clicks the tray icon. The history
    // list of the window in front, or nullptr.
    HWND CopyWhileClosedAndShowAgain(DelayedClipboardText& copy) {
        HWND shown = HistoryWindowOf(program_.Pid());
        EXPECT_NE(shown, nullptr);
        if (!shown) return nullptr;
        ::PostMessageW(shown, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return HistoryWindowOf(program_.Pid()) == nullptr; }, 20000));
        ClickIntoNotepad();
        if (HasFailure()) return nullptr;
        CopyAndWaitRecorded(copy);
        if (HasFailure()) return nullptr;

        const POINT icon = TrayIconPoint();
        if (icon.x < 0) return nullptr;
        ClickAt(icon, /*twice=*/true);
        HWND his = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (his = HistoryWindowOf(program_.Pid())) != nullptr; }, 30000))
            << "the double click opens the history window";
        if (!his) return nullptr;
        EXPECT_TRUE(WaitUntil([&] { return ::GetAncestor(::GetForegroundWindow(), GA_ROOT) == his; }, 30000))
            << "the history window comes to the front\n" << VisibleWindowsInZOrder();
        return HistoryListIn(his);
    }
};

TEST_F(HisShowRoad, TheWindowShownAgainListsTheTextCopiedMeanwhileAndDownEnterPastesIt) {
    const std::wstring text = L"閉じている間に写した文";
    DelayedClipboardText copy(text);
    HWND list = CopyWhileClosedAndShowAgain(copy);
    ASSERT_NE(list, nullptr);
    // No digit is pressed: the clipboard tab shows as it was left.
    ASSERT_TRUE(WaitUntil([&] { return RowOf(list, text) == 0; }, 10000))
        << "the newest text is the top row: " << Joined(RowsOf(list));
    ASSERT_TRUE(WaitUntil([&] { return FocusOfThreadOf(list) == list; }, 10000))
        << "the history list has the focus";
    PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }, 10000))
        << "Down selects the top row; selected " << ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(edit_) == text; }, 30000))
        << "pasted into Notepad: " << gui::WideToUtf8(WindowTextOf(edit_)) << "\n"
        << VisibleWindowsInZOrder();
}

class HisShowRoadDelete : public HisShowRoad {
protected:
    void PrepareSettings() override {
        KeepSettingsFile(L"His00.lst");
        gui::TStringList stored;
        stored.Add(kDeleted);
        stored.Add(kKept);
        ASSERT_TRUE(WriteClipListFile(SettingsFolder() + L"His00.lst", stored));
    }
    static constexpr const wchar_t* kDeleted = L"消す行";
    static constexpr const wchar_t* kKept = L"残す行";
};

TEST_F(HisShowRoadDelete, CtrlXDeletesTheRowClickedAfterTheShow) {
    const std::wstring copied = L"閉じている間の新しい行";
    DelayedClipboardText copy(copied);
    HWND list = CopyWhileClosedAndShowAgain(copy);
    ASSERT_NE(list, nullptr);
    int row = -1;
    ASSERT_TRUE(WaitUntil([&] { return (row = RowOf(list, kDeleted)) >= 0; }, 10000))
        << "the window lists the stored text: " << Joined(RowsOf(list));
    EXPECT_GE(RowOf(list, copied), 0) << "and the copied one: " << Joined(RowsOf(list));
    RECT r{};
    ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    ClickAt(ScreenPoint(list, 30, (r.top + r.bottom) / 2));
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == row; }, 10000));
    PressKey('X', {VK_CONTROL});
    EXPECT_TRUE(WaitUntil([&] { return RowOf(list, kDeleted) < 0; }, 10000))
        << "the clicked row is gone: " << Joined(RowsOf(list));
    const std::vector<std::wstring> shown = RowsOf(list);

    // The close writes the lists before the window hides.
    ::PostMessageW(::GetAncestor(list, GA_ROOT), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return HistoryWindowOf(program_.Pid()) == nullptr; }, 20000));
    gui::TStringList saved;
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadClipListFile(SettingsFolder() + L"His00.lst", saved) && saved.IndexOf(kKept) >= 0; },
        20000))
        << "His00.lst: " << gui::WideToUtf8(saved.Text());
    EXPECT_LT(saved.IndexOf(kDeleted), 0) << "the clicked text is deleted";
    EXPECT_GE(saved.IndexOf(copied), 0) << "the copied text is kept";
    std::vector<std::wstring> file;
    for (int i = 0; i < saved.Count(); ++i) file.push_back(saved[i]);
    EXPECT_EQ(file, shown) << "the file holds what the window showed";
}

}  // namespace
