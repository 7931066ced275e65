// The road of one event through the whole main form: a text copied in
// another program is at the top of the clipboard history and of the tray
// history menu after the next heartbeat; a left click on the tray icon pops
// the menu up, picking the entry pastes it into that program's edit, and the
// heartbeat after that leaves it where it is.
#include "tests/capture/CaptureFixture.h"

using namespace testing_support;

namespace {

std::wstring TextOf(HWND wnd) {
    wchar_t buf[1024] = {};
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 3000, &r);
    return buf;
}

class RoadOfOneEvent : public capture_test::CaptureTest {
protected:
    // The program's window on top, the other program's window right below it,
    // as when the user goes from that program to the tray icon.
    void StackBelowProgram(HWND wnd) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::SetWindowPos(app->Handle(), HWND_TOP, 0, 0, 0, 0, flags);
        ::SetWindowPos(wnd, app->Handle(), 0, 0, 0, 0, flags);
    }

    // The other program: an edit that copied the text; its window and edit.
    bool StartEditHost(const std::wstring& text) {
        std::wstring file = dir / L"copied.txt";
        if (!WriteBytes(file, gui::WideToUtf8(text))) return false;
        host_ = ChildProcess::Start(BinDir() + L"CapEditHost.exe", L"\"" + file + L"\"");
        std::wstring out = file + L".hwnd";
        if (!WaitUntil([&] { return !ReadBytes(out).empty() || !host_.Running(); }, 15000)) return false;
        std::string bytes = ReadBytes(out);
        size_t nl = bytes.find('\n');
        if (nl == std::string::npos) return false;
        window_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoull(bytes.substr(0, nl))));
        edit_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoull(bytes.substr(nl + 1))));
        return ::IsWindow(edit_);
    }

    ChildProcess host_;
    HWND window_ = nullptr, edit_ = nullptr;
};

TEST_F(RoadOfOneEvent, CopiedTextIsPastedBackFromTheTrayHistoryMenu) {
    // Only the program's hidden windows above the other program.
    HisForm->Hide();
    HisForm->Lists.Settings.UDWait = 0;
    const std::wstring text = L"往復するテキスト 123";
    ASSERT_TRUE(StartEditHost(text));

    Tick();
    ASSERT_EQ(History(0), Items{text}) << "the top entry after one tick";
    gui::TMenuItem* entry = TrayForm->MPPList[0];
    EXPECT_EQ(entry->Caption(), text) << "and the first entry of the tray menu's clipboard part";
    EXPECT_TRUE(entry->Enabled());
    EXPECT_EQ(TextOf(edit_), L"");

    // Something else goes on the clipboard meanwhile, so the paste has to
    // put the entry back.
    ASSERT_TRUE(CopyInOtherProgram(L"その後のコピー"));
    Tick();
    ASSERT_EQ(History(0), (Items{L"その後のコピー", text}));

    // The user clicks the tray icon; once the menu is open, picks the
    // clipboard part's second entry with the keyboard.
    StackBelowProgram(window_);
    bool picked = false;
    gui::TTimer* watch = new gui::TTimer(TrayForm);
    watch->SetInterval(30);
    watch->OnTimer = [&](gui::TTimer*) {
        HWND menu = OpenMenuWindow();
        if (!menu || picked) return;
        picked = true;
        StackBelowProgram(window_);
        for (WPARAM key : {VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) {
            ::PostMessageW(menu, WM_KEYDOWN, key, 0);
            ::PostMessageW(menu, WM_KEYUP, key, 0xC0000000);
        }
    };
    TNotifyTrayIcon* icon = TrayForm->TrayIcon;
    ::PostMessageW(icon->Handle(), WM_TRAYNOTIFY, icon->Data().uID, WM_LBUTTONDOWN);
    ::PostMessageW(icon->Handle(), WM_TRAYNOTIFY, icon->Data().uID, WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return picked; }, 5000)) << "the history menu came up";
    EXPECT_TRUE(WaitUntil([&] { return TextOf(edit_) == text; }, 15000))
        << "pasted into the other program: " << gui::WideToUtf8(TextOf(edit_));
    gui::TComponent::Free(watch);
    EXPECT_FALSE(TrayForm->FPopUpL) << "the menu is closed";

    // The next heartbeat sees the entry on the clipboard again: it is the
    // top entry and stays the only copy of it.
    Tick();
    EXPECT_EQ(History(0), (Items{text, L"その後のコピー"}));
    EXPECT_EQ(TrayForm->MPPList[0]->Caption(), text);
}

}  // namespace
