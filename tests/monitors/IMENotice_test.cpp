// The IME-on notices against real windows of this process brought to the
// front: the open state of the input method comes through the main form's
// seam (Wine's open status never changes back), the sounds through the
// player seam (no audio device); the icon window and the hint are real.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/monitors/IMEExe.h"
#include "app/monitors/IMEIcon.h"
#include "gui/Handles.h"
#include "gui/TextCodec.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserInput.h"
#include "tests/tray/TrayFixture.h"

namespace {

using testing_support::BinDir;
using testing_support::BringToFront;
using testing_support::WaitUntil;

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(w, m, wp, lp); }

void RegisterPlain(const wchar_t* cls) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassW(&wc);
}

gui::OwnedWindow MakeWindow(const wchar_t* cls, int x, int y, int w, int h) {
    RegisterPlain(cls);
    HWND wnd = ::CreateWindowExW(0, cls, L"IME target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return gui::OwnedWindow(wnd);
}

std::wstring ExePath() {
    wchar_t buf[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return buf;
}

class IMENoticeTest : public ::testing::Test, public TrayFormFixture {
protected:
    std::set<HWND> open;               // windows whose IME is "on"
    std::vector<std::wstring> sounds;  // played waves; "" for a stop
    std::vector<HWND> asked;           // focus windows the IME was asked for
    gui::OwnedWindow a, b;

    static TIMENotices& Notices() { return TrayForm->IMENotices(); }

    void SetUp() override {
        StartTray();
        gui::TApplication& app = *gui::Application;
        app.CreateForm(IMEExeForm);
        TrayForm->TimerMain->SetEnabled(false);  // the test makes the ticks
        Notices().IMEOpenSource = [this](HWND focus) {
            asked.push_back(focus);
            return open.count(::GetAncestor(focus, GA_ROOT)) > 0;
        };
        Notices().IMESoundPlayer = [this](const wchar_t* wave) { sounds.push_back(wave ? wave : L""); };
        a = MakeWindow(L"OrvImeTargetA", 100, 100, 400, 300);
        b = MakeWindow(L"OrvImeTargetB", 600, 150, 300, 200);
    }

    void Choose(int iconPos, int wave, bool hint) {
        Notices().MPPIME[iconPos]->Click();
        Notices().MPPIMEWave[wave]->Click();
        if (TrayForm->PPIMEHint->Checked() != hint) TrayForm->PPIMEHint->Click();
    }
    int Played() const {
        int n = 0;
        for (const std::wstring& s : sounds) n += !s.empty();
        return n;
    }
    void Tick() { Notices().Proc_IMECheck(); }
    bool IconShown() const { return IMEIconForm->Visible(); }
    POINT IconPos() const {
        RECT r{};
        ::GetWindowRect(IMEIconForm->Handle(), &r);
        return {r.left, r.top};
    }
};

TEST_F(IMENoticeTest, NoticeOncePerWindowAgainAfterSwitchingAndIconFollowsTheWindow) {
    Choose(1, 2, true);
    open = {a.get(), b.get()};
    RECT ra{}, rb{};
    ::GetWindowRect(a.get(), &ra);
    ::GetWindowRect(b.get(), &rb);

    struct Step {
        const char* what;
        std::function<void()> act;
        int played;  // sounds so far
        bool icon;
        std::function<POINT()> at;
    };
    const std::vector<Step> steps = {
        {"A in front with the IME on", [&] { ASSERT_TRUE(BringToFront(a.get())); }, 1, true,
         [&] { return POINT{ra.left + 4, ra.top + 4}; }},
        {"A stays in front", [] {}, 1, true, [&] { return POINT{ra.left + 4, ra.top + 4}; }},
        {"B comes to the front", [&] { ASSERT_TRUE(BringToFront(b.get())); }, 2, true,
         [&] { return POINT{rb.left + 4, rb.top + 4}; }},
        {"back to A", [&] { ASSERT_TRUE(BringToFront(a.get())); }, 3, true,
         [&] { return POINT{ra.left + 4, ra.top + 4}; }},
        {"A's IME off", [&] { open.erase(a.get()); }, 3, false, nullptr},
        {"A's IME on again", [&] { open.insert(a.get()); }, 4, true,
         [&] { return POINT{ra.left + 4, ra.top + 4}; }},
        {"A moved", [&] {
             ::SetWindowPos(a.get(), nullptr, 200, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
             ::GetWindowRect(a.get(), &ra);
         }, 4, true, [&] { return POINT{ra.left + 4, ra.top + 4}; }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        Tick();
        EXPECT_EQ(Played(), s.played);
        EXPECT_EQ(IconShown(), s.icon);
        if (s.at) {
            POINT p = IconPos();
            POINT want = s.at();
            EXPECT_EQ(p.x, want.x);
            EXPECT_EQ(p.y, want.y);
        }
    }
    // Each notice stopped any sound first, then played "kachi".
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ(sounds[0], L"");
    EXPECT_EQ(sounds[1], L"kachi");
    // The notified windows, newest first.
    ASSERT_GE(Notices().ListBoxIME.Count(), 2);
    EXPECT_EQ(Notices().ListBoxIME[0], std::to_wstring(reinterpret_cast<uintptr_t>(a.get())));
    EXPECT_EQ(Notices().ListBoxIME[1], std::to_wstring(reinterpret_cast<uintptr_t>(b.get())));
    // A closed window is forgotten at the next tick.
    b.reset();
    Tick();
    EXPECT_EQ(Notices().ListBoxIME.Count(), 1);
}

TEST_F(IMENoticeTest, IconCornersAndSize) {
    open = {a.get()};
    RECT r{};
    ::GetWindowRect(a.get(), &r);
    int border = 0;
    ::SystemParametersInfoW(SPI_GETBORDER, 0, &border, 0);
    const int cx = r.left + (r.right - r.left) / 2;
    struct Case {
        int pos;
        POINT at;
    } cases[] = {{1, {r.left + 4, r.top + 4}},
                 {2, {cx, r.top + 4}},
                 {3, {r.left + 4, r.bottom - 32 - border}},
                 {4, {cx, r.bottom - 32 - border}}};
    ASSERT_TRUE(BringToFront(a.get()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos);
        Choose(c.pos, 0, false);
        Notices().MIMEActWin = nullptr;  // as if another window had been in front
        Tick();
        ASSERT_TRUE(IconShown());
        RECT ir{};
        ::GetWindowRect(IMEIconForm->Handle(), &ir);
        EXPECT_EQ(ir.left, c.at.x);
        EXPECT_EQ(ir.top, c.at.y);
        EXPECT_EQ(ir.right - ir.left, 33);
        EXPECT_EQ(ir.bottom - ir.top, 33);
    }
    const LONG ex = ::GetWindowLongW(IMEIconForm->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    gui::GdiObject rgn(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(IMEIconForm->Handle(), static_cast<HRGN>(rgn.get())), ERROR);
    EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(rgn.get()), 1, 1));   // corner cut off
    EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(rgn.get()), 16, 16));  // centre

    // Position 0 closes the icon and disables the colour choice.
    Notices().MPPIME[0]->Click();
    EXPECT_FALSE(IconShown());
    EXPECT_FALSE(TrayForm->PPIMEIconColor->Enabled());
    Notices().MPPIME[2]->Click();
    EXPECT_TRUE(TrayForm->PPIMEIconColor->Enabled());
}

TEST_F(IMENoticeTest, WindowsThatNeverGetANotice) {
    Choose(1, 1, true);
    RegisterPlain(L"Shell_TrayWnd");
    gui::OwnedWindow bar(::CreateWindowExW(WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0, 900,
                                           800, 30, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    open = {a.get(), bar.get()};
    struct Case {
        const char* what;
        std::function<void()> prepare, undo;
    } cases[] = {
        {"the taskbar", [&] { ASSERT_TRUE(BringToFront(bar.get())); }, [] {}},
        {"a disabled window",
         [&] {
             ASSERT_TRUE(BringToFront(a.get()));
             ::EnableWindow(a.get(), FALSE);
         },
         [&] { ::EnableWindow(a.get(), TRUE); }},
        {"a minimised window",
         [&] {
             ASSERT_TRUE(BringToFront(a.get()));
             ::ShowWindow(a.get(), SW_MINIMIZE);
             ::SetForegroundWindow(a.get());
             WaitUntil([&] { return ::GetForegroundWindow() == a.get() && ::IsIconic(a.get()); }, 5000);
         },
         [&] { ::ShowWindow(a.get(), SW_RESTORE); }},
        {"a window without focus",
         [&] {
             ASSERT_TRUE(BringToFront(a.get()));
             ::SetFocus(nullptr);
         },
         [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Notices().MIMEActWin = nullptr;
        Notices().ListBoxIME.Clear();
        asked.clear();
        const int before = Played();
        c.prepare();
        Tick();
        EXPECT_EQ(Played(), before);
        EXPECT_FALSE(IconShown());
        for (HWND f : asked) EXPECT_NE(f, nullptr);
        c.undo();
    }
}

TEST_F(IMENoticeTest, ProgramListsFilterTheNotice) {
    Choose(1, 3, false);
    open = {a.get()};
    const std::wstring me = ExePath();
    std::wstring upper = me;
    for (wchar_t& ch : upper) ch = static_cast<wchar_t>(::towupper(ch));
    struct Case {
        const char* what;
        bool enableMode;
        std::vector<std::wstring> enable, disable;
        bool notified;
    } cases[] = {
        {"no lists", false, {}, {}, true},
        {"disabled, other case", false, {}, {upper}, false},
        {"disable list of another program", false, {}, {L"C:\\other.exe"}, true},
        {"enable mode, empty list", true, {}, {upper}, true},
        {"enable mode, listed", true, {upper}, {}, true},
        {"enable mode, not listed", true, {L"C:\\other.exe"}, {}, false},
    };
    ASSERT_TRUE(BringToFront(a.get()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IMEExeForm->ListBoxEnable.Clear();
        IMEExeForm->ListBoxDisable.Clear();
        for (const auto& e : c.enable) IMEExeForm->ListBoxEnable.Add(e);
        for (const auto& d : c.disable) IMEExeForm->ListBoxDisable.Add(d);
        TrayForm->PPIMEEnable->SetChecked(c.enableMode);
        Notices().MIMEActWin = nullptr;
        Notices().ListBoxIME.Clear();
        const int before = Played();
        Tick();
        EXPECT_EQ(Played() - before, c.notified ? 1 : 0);
        EXPECT_EQ(Notices().MIMEActWin, a.get());
        if (c.notified) {
            EXPECT_EQ(sounds.back(), L"pi");
        }
    }
}

TEST_F(IMENoticeTest, HintAtTheCursorForTwoSeconds) {
    Choose(0, 0, true);
    open = {a.get()};
    ASSERT_TRUE(BringToFront(a.get()));
    POINT cursor{};
    ::GetCursorPos(&cursor);
    Tick();
    HWND hint = Notices().MIMEHintWindow->Handle();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(::IsWindowVisible(hint));
    wchar_t text[32] = {};
    ::GetWindowTextW(hint, text, 32);
    EXPECT_STREQ(text, L"IME ON");
    RECT r{};
    ::GetWindowRect(hint, &r);
    EXPECT_EQ(r.left, cursor.x + 16);
    EXPECT_EQ(r.top, cursor.y + 16);
    EXPECT_EQ(Played(), 0);  // sound "none"
    // 2000 ms of 250 ms ticks: eight more ticks keep it, the ninth hides it.
    for (int i = 0; i < 8; ++i) Tick();
    EXPECT_TRUE(::IsWindowVisible(hint));
    Tick();
    EXPECT_FALSE(Notices().MIMEHintWindow->HandleAllocated() && ::IsWindowVisible(Notices().MIMEHintWindow->Handle()));
}

TEST_F(IMENoticeTest, HeartbeatRunsTheStepOnlyWithANoticeChosen) {
    open = {a.get()};
    ASSERT_TRUE(BringToFront(a.get()));
    Choose(0, 0, false);
    asked.clear();
    TrayForm->TimerMainTimer();
    EXPECT_TRUE(asked.empty());
    Notices().MPPIMEWave[1]->Click();
    TrayForm->TimerMainTimer();
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(sounds.back(), L"nya");
}

TEST_F(IMENoticeTest, IconWindowClosesUnderTheMouseAndShowsTheChosenColour) {
    Choose(1, 0, false);
    open = {a.get()};
    ASSERT_TRUE(BringToFront(a.get()));
    TrayForm->PPIMEIconColor->SetChecked(true);
    Tick();
    ASSERT_TRUE(IconShown());
    EXPECT_TRUE(IMEIconForm->ShowsWhite());
    POINT at = IconPos();
    ASSERT_TRUE(testing_support::CursorRestsAt({at.x + 16, at.y + 16}));
    EXPECT_TRUE(WaitUntil([&] { return !IconShown(); }, 10000));
    ::SetCursorPos(0, 0);
}

TEST_F(IMENoticeTest, DeactivatingTheApplicationPutsTheIconBackOnTopAtItsPlace) {
    Choose(1, 0, false);
    open = {a.get()};
    ASSERT_TRUE(BringToFront(a.get()));
    Tick();
    ASSERT_TRUE(IconShown());
    const POINT at{Notices().MIMEActLeft, Notices().MIMEActTop};
    HWND icon = IMEIconForm->Handle();
    auto topMost = [icon] { return (::GetWindowLongW(icon, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    // Another program took the top and the icon was pushed aside.
    ::SetWindowPos(icon, HWND_NOTOPMOST, at.x + 50, at.y + 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_FALSE(topMost());
    TrayForm->ApplicationEventsDeactivate();
    EXPECT_TRUE(topMost());
    POINT p = IconPos();
    EXPECT_EQ(p.x, at.x);
    EXPECT_EQ(p.y, at.y);

    // A hidden icon stays hidden and where it is.
    IMEIconForm->Hide();
    ::SetWindowPos(icon, HWND_NOTOPMOST, at.x + 50, at.y + 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    TrayForm->ApplicationEventsDeactivate();
    EXPECT_FALSE(IconShown());
    EXPECT_FALSE(::IsWindowVisible(icon));
    EXPECT_FALSE(topMost());
    p = IconPos();
    EXPECT_EQ(p.x, at.x + 50);
}

// --- the program lists' files ---------------------------------------------------

class IMEListFileTest : public ::testing::Test, public TrayFormFixture {};

TEST_F(IMEListFileTest, ListsAreReadByTheirMarkAndWrittenAsUtf16) {
    DataFolder = dir.Path();
    testing_support::WriteBytes(dir / L"IMEDisable.lst",
                                gui::EncodeText(L"C:\\ツール\\a.exe\r\nC:\\b.exe\r\n", gui::TTextEncoding::Utf8));
    testing_support::WriteBytes(dir / L"IMEEnable.lst", "C:\\plain.exe\r\n");
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->CreateForm(IMEExeForm);
    ASSERT_EQ(IMEExeForm->ListBoxDisable.Count(), 2);
    EXPECT_EQ(IMEExeForm->ListBoxDisable[0], L"C:\\ツール\\a.exe");
    EXPECT_TRUE(TIMEExeForm::Contains(IMEExeForm->ListBoxDisable, L"c:\\B.EXE"));
    ASSERT_EQ(IMEExeForm->ListBoxEnable.Count(), 1);

    IMEExeForm->DeleteSelected(IMEExeForm->ListBoxDisable, 1);
    IMEExeForm->DeleteSelected(IMEExeForm->ListBoxEnable, -1);  // nothing selected
    IMEExeForm->ListBoxEnable.Add(L"C:\\新しい.exe");
    IMEExeForm->Close();
    EXPECT_EQ(testing_support::ReadBytes(dir / L"IMEDisable.lst"),
              gui::EncodeText(L"C:\\ツール\\a.exe\r\n", gui::TTextEncoding::Utf16LE));
    EXPECT_EQ(testing_support::ReadBytes(dir / L"IMEEnable.lst"),
              gui::EncodeText(L"C:\\plain.exe\r\nC:\\新しい.exe\r\n", gui::TTextEncoding::Utf16LE));
}

TEST_F(IMEListFileTest, AnUnreadableListIsNotOverwritten) {
    DataFolder = dir.Path();
    const std::wstring path = dir / L"IMEDisable.lst";
    testing_support::WriteBytes(path, "C:\\keep.exe\r\n");
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    {
        gui::FileHandle lock(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(static_cast<bool>(lock));
        app->CreateForm(IMEExeForm);
    }
    EXPECT_EQ(IMEExeForm->ListBoxDisable.Count(), 0);
    IMEExeForm->Close();
    EXPECT_EQ(testing_support::ReadBytes(path), "C:\\keep.exe\r\n");
}

TEST_F(IMEListFileTest, WindowFromTheMenuShowsTheListsAndDeletesByDoubleClick) {
    using namespace testing_support;
    testing_support::WriteBytes(dir / L"IMEDisable.lst",
                                gui::EncodeText(L"C:\\a.exe\r\nC:\\b.exe\r\nC:\\c.exe\r\n", gui::TTextEncoding::Utf16LE));
    testing_support::WriteBytes(dir / L"IMEEnable.lst", "C:\\only.exe\r\n");
    StartTray();
    app->CreateForm(IMEExeForm);
    TrayItem(L"PPIMEExe")->Click();
    ASSERT_TRUE(WaitApp([] { return IMEExeForm->Visible(); }, 10000));
    EXPECT_EQ(IMEExeForm->Caption(), L"Orvandel - IME通知プログラム");
    EXPECT_EQ(IMEExeForm->GroupBoxDisable->Caption(), L"[通知を無効にするプログラム]");
    EXPECT_EQ(IMEExeForm->GroupBoxEnable->Caption(), L"[通知を有効にするプログラム]");
    EXPECT_EQ(IMEExeForm->ListBoxEnableView->Font().Size(), HisForm->Lists.Settings.FontSize)
        << "the history window's list font";
    ASSERT_EQ(IMEExeForm->ListBoxDisableView->Count(), 3);
    ASSERT_EQ(IMEExeForm->ListBoxEnableView->Count(), 1);

    const RECT second = IMEExeForm->ListBoxDisableView->ItemRect(1);
    ClickScreen(ScreenCentre(IMEExeForm->ListBoxDisableView->Handle(), second), /*dbl=*/true);
    ASSERT_TRUE(WaitApp([] { return IMEExeForm->ListBoxDisableView->Count() == 2; }, 5000));
    EXPECT_EQ(IMEExeForm->ListBoxDisableView->Item(1), L"C:\\c.exe");
    EXPECT_EQ(IMEExeForm->ListBoxDisable.Count(), 2) << "the list the notices read";
    const RECT only = IMEExeForm->ListBoxEnableView->ItemRect(0);
    ClickScreen(ScreenCentre(IMEExeForm->ListBoxEnableView->Handle(), only), /*dbl=*/true);
    ASSERT_TRUE(WaitApp([] { return IMEExeForm->ListBoxEnableView->Count() == 0; }, 5000));

    ASSERT_TRUE(WaitApp([] { return ::GetForegroundWindow() == IMEExeForm->Handle(); }, 10000));
    PressKeys({VK_MENU, VK_F4});
    ASSERT_TRUE(WaitApp([] { return !IMEExeForm->Visible(); }, 10000));
    EXPECT_EQ(testing_support::ReadBytes(dir / L"IMEDisable.lst"),
              gui::EncodeText(L"C:\\a.exe\r\nC:\\c.exe\r\n", gui::TTextEncoding::Utf16LE));
    EXPECT_EQ(testing_support::ReadBytes(dir / L"IMEEnable.lst"), gui::EncodeText(L"", gui::TTextEncoding::Utf16LE));
}

// --- the program's own sounds ------------------------------------------------------

TEST(IMESounds, TheProgramCarriesThreeWaveResources) {
    gui::Module exe(::LoadLibraryExW((BinDir() + L"Orvandel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(static_cast<bool>(exe));
    for (const wchar_t* name : {L"nya", L"kachi", L"pi"}) {
        SCOPED_TRACE(testing::Message() << static_cast<char>(name[0]));
        HRSRC res = ::FindResourceW(exe.get(), name, L"WAVE");
        ASSERT_NE(res, nullptr);
        const DWORD size = ::SizeofResource(exe.get(), res);
        ASSERT_GT(size, 44u);
        const char* data = static_cast<const char*>(::LockResource(::LoadResource(exe.get(), res)));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::string(data, 4), "RIFF");
        EXPECT_EQ(std::string(data + 8, 4), "WAVE");
        // Short sounds: under a second at 11025 bytes a second.
        EXPECT_LT(size, 11025u);
    }
}

}  // namespace
