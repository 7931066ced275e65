// The notification-area icon: real shell calls (with a record of what was
// sent), the shell's callbacks posted to the shared window, the pop-up menu,
// cycling through an image list, and the window hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Form.h"
#include "tests/components/TrayTestSupport.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/TestSupport.h"

using namespace tray_testing;
using gui::TMouseButton;
using testing_support::FindOnScreen;
using testing_support::PumpMessages;
using testing_support::Px;
using testing_support::WaitUntil;

namespace {

HICON SolidIcon(gui::TColor color) {
    return testing_support::MakeIcon(16, [color](int, int) { return 0xFF000000u | Px(color); });
}

// The colour the tray icon shows in its middle.
DWORD ShownColor(TNotifyTrayIcon& icon) {
    testing_support::IconPixels px;
    if (!testing_support::ReadIcon(icon.Icon().Handle(), px)) return 0xFFFFFFFF;
    return px.At(8, 8);
}

std::wstring Tip(const TNotifyIconDataEx& d) { return d.szTip; }

bool AllZero(const wchar_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

// A form to own icons: counts the WM_NULL posted after a menu.
class TTestForm : public gui::TForm {
public:
    explicit TTestForm(gui::TComponent* owner = nullptr) : TForm(owner, L"TTrayTestForm") {
        BorderStyle = gui::TFormBorderStyle::bsSingle;
        CreationLeft = CreationTop = 200;
        CreationWidth = CreationHeight = 120;
    }
    int nulls = 0;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_NULL) ++nulls;
        return TForm::WndProc(msg, wp, lp);
    }
};

// Events in the order they came.
struct EventLog {
    std::vector<std::string> events;
    std::vector<gui::TShiftState> shifts;
    void Attach(TNotifyTrayIcon& icon, bool withDblClick) {
        icon.OnClick = [this](TNotifyTrayIcon*) { events.push_back("click"); };
        if (withDblClick) icon.OnDblClick = [this](TNotifyTrayIcon*) { events.push_back("dblclick"); };
        icon.OnMouseDown = [this](TNotifyTrayIcon*, TMouseButton b, gui::TShiftState s, int, int) {
            events.push_back(std::string("down ") + Name(b));
            shifts.push_back(s);
        };
        icon.OnMouseUp = [this](TNotifyTrayIcon*, TMouseButton b, gui::TShiftState s, int, int) {
            events.push_back(std::string("up ") + Name(b));
            shifts.push_back(s);
        };
    }
    static const char* Name(TMouseButton b) {
        return b == TMouseButton::mbLeft ? "left" : b == TMouseButton::mbRight ? "right" : "middle";
    }
    int Count(const std::string& e) const {
        int n = 0;
        for (const auto& x : events) n += x == e;
        return n;
    }
};

class TrayIcon : public testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(TrayIcon, AddModifyAndDeleteThroughTheShell) {
    RecordingTrayIcon icon(nullptr);
    EXPECT_TRUE(icon.Enabled());
    EXPECT_TRUE(icon.ShowHint());
    EXPECT_FALSE(icon.IconVisible());
    EXPECT_EQ(icon.CycleInterval(), 0u);
    EXPECT_EQ(icon.Behavior(), TBehavior::bhWin95);

    gui::TIcon image;
    image.SetHandle(SolidIcon(gui::clRed));
    icon.SetIcon(image);
    icon.SetHint(L"Orvandel");
    ASSERT_FALSE(icon.calls.empty());
    EXPECT_EQ(icon.Last().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_FALSE(icon.Last().result) << "not in the notification area yet";

    icon.SetIconVisible(true);
    ASSERT_EQ(icon.Last().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(icon.Last().result);
    EXPECT_TRUE(icon.IconVisible());
    const TNotifyIconDataEx& d = icon.Last().data;
    EXPECT_EQ(d.cbSize, 936u);
    EXPECT_EQ(d.hWnd, icon.Handle());
    EXPECT_EQ(d.uID, static_cast<UINT>(reinterpret_cast<UINT_PTR>(&icon)));
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 0x0800u);
    EXPECT_EQ(d.hIcon, icon.Icon().Handle());
    EXPECT_NE(d.hIcon, image.Handle()) << "the icon keeps its own copy";
    EXPECT_EQ(Tip(d), L"Orvandel");
    EXPECT_EQ(ShownColor(icon), Px(gui::clRed));

    wchar_t cls[64] = {};
    ::GetClassNameW(icon.Handle(), cls, 64);
    EXPECT_STREQ(cls, L"TTrayIconHandler");

    icon.SetHint(L"CPU使用率: 42%");
    EXPECT_EQ(icon.Last().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(icon.Last().result);
    EXPECT_EQ(Tip(icon.Last().data), L"CPU使用率: 42%");

    icon.SetIconVisible(false);
    EXPECT_EQ(icon.Last().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(icon.Last().result);
    icon.SetHint(L"gone");
    EXPECT_FALSE(icon.Last().result) << "the shell no longer knows the icon";
    EXPECT_FALSE(icon.DeleteTrayIcon());
}

TEST_F(TrayIcon, TipIsCutToItsFirst126CharactersOrCleared) {
    RecordingTrayIcon icon(nullptr);
    std::wstring hint;
    for (int i = 0; i < 200; ++i) hint += static_cast<wchar_t>(L'A' + i % 26);
    icon.SetHint(hint);
    const TNotifyIconDataEx& d = icon.Last().data;
    EXPECT_EQ(Tip(d), hint.substr(0, 126));
    EXPECT_TRUE(AllZero(d.szTip + 126, 2));

    icon.SetShowHint(false);
    EXPECT_TRUE(AllZero(icon.Last().data.szTip, 128));
    icon.SetShowHint(true);
    EXPECT_EQ(Tip(icon.Last().data), hint.substr(0, 126));
    icon.SetHint(L"");
    EXPECT_TRUE(AllZero(icon.Last().data.szTip, 128));
}

TEST_F(TrayIcon, BalloonTextsAreCutAndTheFlagsRestored) {
    RecordingTrayIcon icon(nullptr);
    gui::TIcon image;
    image.SetHandle(SolidIcon(gui::clBlue));
    icon.SetIcon(image);
    icon.SetIconVisible(true);
    icon.calls.clear();

    std::wstring title(100, L'題'), text(300, L'x');
    EXPECT_TRUE(icon.ShowBalloonHint(title, text, TBalloonHintIcon::bitWarning, 15));
    ASSERT_EQ(icon.calls.size(), 2u) << "hide the old balloon, show the new one";
    const TNotifyIconDataEx& hide = icon.calls[0].data;
    EXPECT_EQ(hide.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(hide.szInfo[0], L'\0');
    const TNotifyIconDataEx& show = icon.calls[1].data;
    EXPECT_EQ(icon.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(icon.calls[1].result);
    EXPECT_EQ(show.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(std::wstring(show.szInfo), text.substr(0, 255));
    EXPECT_EQ(std::wstring(show.szInfoTitle), title.substr(0, 63));
    EXPECT_EQ(show.TimeoutOrVersion, 15000u);
    EXPECT_EQ(show.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(icon.Data().uFlags, 7u) << "flags back after the balloon";

    icon.SetHint(L"after");
    EXPECT_EQ(icon.Last().data.uFlags, 7u);

    // The time-out is whole seconds from 10 to 60.
    icon.ShowBalloonHint(L"t", L"x", TBalloonHintIcon::bitInfo, 3);
    EXPECT_EQ(icon.Last().data.TimeoutOrVersion, 10000u);
    EXPECT_EQ(icon.Last().data.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    icon.ShowBalloonHint(L"t", L"x", TBalloonHintIcon::bitCustom, 600);
    EXPECT_EQ(icon.Last().data.TimeoutOrVersion, 60000u);
    EXPECT_EQ(icon.Last().data.dwInfoFlags, static_cast<DWORD>(NIIF_USER));

    EXPECT_TRUE(icon.HideBalloonHint());
    EXPECT_EQ(icon.Last().data.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(icon.Data().uFlags, 7u) << "a lone hide does not leave the flag behind";
}

TEST_F(TrayIcon, TaskbarCreatedAddsOnlyVisibleIconsAgain) {
    ASSERT_NE(WM_TASKBARCREATED, 0u);
    RecordingTrayIcon shown(nullptr), hidden(nullptr);
    gui::TIcon image;
    image.SetHandle(SolidIcon(gui::clLime));
    shown.SetIcon(image);
    hidden.SetIcon(image);
    shown.SetIconVisible(true);
    hidden.SetIconVisible(true);
    hidden.SetIconVisible(false);
    // As when the shell restarts: it has lost the icon.
    TNotifyIconDataEx lost = shown.Data();
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAW*>(&lost)));
    shown.calls.clear();
    hidden.calls.clear();

    ::PostMessageW(gui::Application->Handle(), WM_TASKBARCREATED, 0, 0);
    PumpMessages(100);
    ASSERT_EQ(shown.calls.size(), 1u);
    EXPECT_EQ(shown.Last().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(shown.Last().result) << "back in the notification area";
    EXPECT_TRUE(hidden.calls.empty());
    shown.SetHint(L"still there");
    EXPECT_TRUE(shown.Last().result);
}

TEST_F(TrayIcon, ClickAtReleaseWithoutDoubleClickHandler) {
    RecordingTrayIcon icon(nullptr);
    EventLog log;
    log.Attach(icon, false);
    PostNotify(icon, WM_LBUTTONDOWN);
    PostNotify(icon, WM_LBUTTONUP);
    PumpMessages(30);
    EXPECT_EQ(log.events, (std::vector<std::string>{"down left", "click", "up left"}));
    ASSERT_EQ(log.shifts.size(), 2u);
    EXPECT_TRUE(log.shifts[0] & gui::ssLeft);

    PostNotify(icon, WM_MBUTTONDOWN);
    PostNotify(icon, WM_MBUTTONUP);
    PostNotify(icon, WM_RBUTTONUP);
    PumpMessages(30);
    EXPECT_EQ(log.Count("down middle"), 1);
    EXPECT_EQ(log.Count("up middle"), 1);
    EXPECT_EQ(log.Count("up right"), 1) << "the right release is reported in the old behaviour";
    EXPECT_TRUE(log.shifts.back() & gui::ssRight);
}

TEST_F(TrayIcon, SingleClickWaitsTheDoubleClickTime) {
    RecordingTrayIcon icon(nullptr);
    EventLog log;
    log.Attach(icon, true);
    DWORD clickAt = 0;
    icon.OnClick = [&](TNotifyTrayIcon*) {
        clickAt = ::GetTickCount();
        log.events.push_back("click");
    };
    UINT dbl = ::GetDoubleClickTime();
    DWORD pressed = ::GetTickCount();
    PostNotify(icon, WM_LBUTTONDOWN);
    PostNotify(icon, WM_LBUTTONUP);
    PumpMessages(30);
    EXPECT_EQ(log.Count("click"), 0) << "not at the release";
    EXPECT_EQ(log.Count("up left"), 1);
    ASSERT_TRUE(WaitUntil([&] { return clickAt != 0; }, dbl + 2000));
    EXPECT_GE(clickAt - pressed + 20, dbl);
    PumpMessages(dbl + 100);
    EXPECT_EQ(log.Count("click"), 1) << "exactly one click";

    // A press held longer than the double-click time clicks at the release.
    PostNotify(icon, WM_LBUTTONDOWN);
    PumpMessages(dbl + 150);
    EXPECT_EQ(log.Count("click"), 1);
    PostNotify(icon, WM_LBUTTONUP);
    PumpMessages(20);
    EXPECT_EQ(log.Count("click"), 2);
    EXPECT_EQ(log.events.back(), "up left") << "click before the mouse-up";
}

TEST_F(TrayIcon, DoubleClickWithoutClickAndTheDefaultMenuItem) {
    TTestForm* form = new TTestForm;
    form->Initialize();
    auto* icon = new RecordingTrayIcon(form);
    auto* menu = new gui::TPopupMenu(form);
    auto* plain = new gui::TMenuItem(form);
    auto* def = new gui::TMenuItem(form);
    auto* later = new gui::TMenuItem(form);
    plain->SetCaption(L"普通");
    def->SetCaption(L"設定値(&D)");
    def->SetDefault(true);
    later->SetCaption(L"停止(&S)");
    later->SetDefault(true);
    menu->Items()->Add(plain);
    menu->Items()->Add(def);
    menu->Items()->Add(later);
    int defaultClicks = 0, laterClicks = 0;
    def->OnClick = [&](gui::TMenuItem*) { ++defaultClicks; };
    later->OnClick = [&](gui::TMenuItem*) { ++laterClicks; };
    icon->SetPopupMenu(menu);

    EventLog log;
    log.Attach(*icon, true);
    for (UINT code : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) PostNotify(*icon, code);
    PumpMessages(::GetDoubleClickTime() * 2 + 100);
    EXPECT_EQ(log.Count("dblclick"), 1);
    EXPECT_EQ(log.Count("click"), 0);
    EXPECT_EQ(log.Count("up left"), 2);
    EXPECT_EQ(defaultClicks, 1) << "the first default item is clicked";
    EXPECT_EQ(laterClicks, 0);

    // Not when the menu pops up on the left button, nor without auto-popup.
    icon->SetLeftPopup(true);
    menu->AutoPopup = false;
    PostNotify(*icon, WM_LBUTTONDBLCLK);
    icon->SetLeftPopup(false);
    PostNotify(*icon, WM_LBUTTONDBLCLK);
    PumpMessages(::GetDoubleClickTime() + 100);
    EXPECT_EQ(log.Count("dblclick"), 3);
    EXPECT_EQ(defaultClicks, 1);
    gui::TComponent::Free(form);
}

TEST_F(TrayIcon, RightButtonPopsTheMenuAfterMouseDown) {
    TTestForm* form = new TTestForm;
    form->Initialize();
    auto* icon = new RecordingTrayIcon(form);
    auto* menu = new gui::TPopupMenu(form);
    auto* item = new gui::TMenuItem(form);
    item->SetCaption(L"終了");
    menu->Items()->Add(item);
    icon->SetPopupMenu(menu);

    EventLog log;
    log.Attach(*icon, false);
    HWND foregroundInMenu = nullptr;
    menu->OnPopup = [&](gui::TPopupMenu*) { log.events.push_back("popup"); };
    // The menu is closed from a timer while it is up.
    TSimpleTimer closer(100, [&](TSimpleTimer*) {
        if (menu->IsOpen()) {
            foregroundInMenu = ::GetForegroundWindow();
            log.events.push_back("close");
            menu->CloseMenu();
        }
    });
    closer.SetEnabled(true);
    int nullsBefore = form->nulls;
    PostNotify(*icon, WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return log.Count("close") == 1 && !menu->IsOpen(); }, 5000));
    PumpMessages(30);
    EXPECT_EQ(log.events, (std::vector<std::string>{"down right", "popup", "close"}));
    EXPECT_EQ(foregroundInMenu, icon->Handle()) << "the shared window had the foreground";
    EXPECT_EQ(menu->PopupComponent(), icon);
    EXPECT_EQ(form->nulls, nullsBefore + 1) << "the owner form gets WM_NULL after the menu";

    // Without auto-popup the right button only reports.
    menu->AutoPopup = false;
    PostNotify(*icon, WM_RBUTTONDOWN);
    PumpMessages(250);
    EXPECT_EQ(log.Count("popup"), 1);
    EXPECT_EQ(log.Count("down right"), 2);

    // With the left-popup switch the left button pops it.
    menu->AutoPopup = true;
    icon->SetLeftPopup(true);
    PostNotify(*icon, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return log.Count("close") == 2 && !menu->IsOpen(); }, 5000));
    EXPECT_EQ(log.Count("popup"), 2);
    closer.SetEnabled(false);

    // A freed menu is forgotten.
    gui::TComponent::Free(menu);
    EXPECT_EQ(icon->PopupMenu(), nullptr);
    PostNotify(*icon, WM_RBUTTONDOWN);
    PumpMessages(30);
    EXPECT_EQ(log.Count("down right"), 3);
    gui::TComponent::Free(form);
}

TEST_F(TrayIcon, NewerBehaviourReportsTheContextMenuInsteadOfTheRelease) {
    RecordingTrayIcon icon(nullptr);
    icon.SetBehavior(TBehavior::bhWin2000);
    EXPECT_EQ(icon.Last().message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(icon.Last().data.TimeoutOrVersion, 3u);
    EventLog log;
    log.Attach(icon, false);
    PostNotify(icon, WM_RBUTTONDOWN);
    PostNotify(icon, WM_RBUTTONUP);
    PumpMessages(30);
    EXPECT_EQ(log.events, (std::vector<std::string>{"down right"}));
    PostNotify(icon, WM_CONTEXTMENU);
    PostNotify(icon, NIN_SELECT);
    PostNotify(icon, NIN_KEYSELECT);
    PumpMessages(30);
    EXPECT_EQ(log.Count("up right"), 3);
    icon.SetBehavior(TBehavior::bhWin95);
    EXPECT_EQ(icon.Last().data.TimeoutOrVersion, 0u);
    PostNotify(icon, WM_CONTEXTMENU);
    PumpMessages(30);
    EXPECT_EQ(log.Count("up right"), 3);
}

TEST_F(TrayIcon, DisabledIconIgnoresTheMouseButNotBalloons) {
    RecordingTrayIcon icon(nullptr);
    auto* menu = new gui::TPopupMenu(nullptr);
    auto* item = new gui::TMenuItem(nullptr);
    item->SetCaption(L"x");
    menu->Items()->Add(item);
    int popups = 0;
    menu->OnPopup = [&](gui::TPopupMenu*) { ++popups; };
    TSimpleTimer closer(50, [&](TSimpleTimer*) { menu->CloseMenu(); });
    closer.SetEnabled(true);
    icon.SetPopupMenu(menu);
    EventLog log;
    log.Attach(icon, true);
    int moves = 0, enters = 0;
    icon.OnMouseMove = [&](TNotifyTrayIcon*, gui::TShiftState, int, int) { ++moves; };
    icon.OnMouseEnter = [&](TNotifyTrayIcon*) { ++enters; };
    icon.SetWantEnterExitEvents(true);
    std::vector<std::string> balloons;
    icon.OnBalloonHintShow = [&](TNotifyTrayIcon* s) { balloons.push_back(s == &icon ? "show" : "?"); };
    icon.OnBalloonHintHide = [&](TNotifyTrayIcon*) { balloons.push_back("hide"); };
    icon.OnBalloonHintTimeout = [&](TNotifyTrayIcon*) { balloons.push_back("timeout"); };
    icon.OnBalloonHintClick = [&](TNotifyTrayIcon*) { balloons.push_back("click"); };

    icon.SetEnabled(false);
    for (UINT code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                      WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_CONTEXTMENU})
        PostNotify(icon, code);
    for (UINT code : {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK})
        PostNotify(icon, code);
    PumpMessages(::GetDoubleClickTime() + 100);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(moves + enters + popups, 0);
    EXPECT_EQ(balloons, (std::vector<std::string>{"show", "hide", "timeout", "click"}));

    icon.SetEnabled(true);
    PostNotify(icon, WM_RBUTTONDOWN);
    PumpMessages(100);
    EXPECT_EQ(popups, 1);
    icon.SetPopupMenu(nullptr);
    gui::TComponent::Free(menu);
}

TEST_F(TrayIcon, CallbacksForIconsThatAreGoneAreIgnored) {
    RecordingTrayIcon live(nullptr);
    EventLog log;
    log.Attach(live, false);
    HWND wnd = live.Handle();
    WPARAM goneId;
    {
        RecordingTrayIcon gone(nullptr);
        EXPECT_EQ(gone.Handle(), wnd) << "all icons share one window";
        goneId = reinterpret_cast<WPARAM>(&gone);
        PostNotify(gone, WM_LBUTTONDOWN);  // still queued when it goes
    }
    ::PostMessageW(wnd, WM_TRAYNOTIFY, goneId, WM_LBUTTONUP);
    ::PostMessageW(wnd, WM_TRAYNOTIFY, 0x12345678, WM_LBUTTONDOWN);
    PumpMessages(50);
    EXPECT_TRUE(log.events.empty());
    EXPECT_TRUE(::IsWindow(wnd));
}

TEST_F(TrayIcon, SharedWindowLivesFromTheFirstIconToTheLast) {
    HWND wnd;
    {
        auto a = std::make_unique<RecordingTrayIcon>(nullptr);
        wnd = a->Handle();
        ASSERT_TRUE(::IsWindow(wnd));
        EXPECT_FALSE(::IsWindowVisible(wnd));
        EXPECT_EQ(::GetAncestor(wnd, GA_PARENT), ::GetDesktopWindow());
        auto b = std::make_unique<RecordingTrayIcon>(nullptr);
        EXPECT_EQ(b->Handle(), wnd);
        a.reset();
        EXPECT_TRUE(::IsWindow(wnd));
        // The shell cannot close it.
        ::SendMessageW(wnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(::IsWindow(wnd));
    }
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(TrayIcon, EnterAndExitFollowTheCursor) {
    RecordingTrayIcon icon(nullptr);
    std::vector<std::string> events;
    POINT movedTo{};
    icon.OnMouseEnter = [&](TNotifyTrayIcon*) { events.push_back("enter"); };
    icon.OnMouseExit = [&](TNotifyTrayIcon*) { events.push_back("exit"); };
    icon.OnMouseMove = [&](TNotifyTrayIcon*, gui::TShiftState, int x, int y) {
        events.push_back("move");
        movedTo = POINT{x, y};
    };
    ::SetCursorPos(1200, 1010);
    PostNotify(icon, WM_MOUSEMOVE);
    PumpMessages(60);
    EXPECT_EQ(events, (std::vector<std::string>{"move"})) << "no enter/exit unless wanted";
    EXPECT_EQ(movedTo.x, 1200);
    EXPECT_EQ(movedTo.y, 1010);

    events.clear();
    icon.SetWantEnterExitEvents(true);
    PostNotify(icon, WM_MOUSEMOVE);
    PostNotify(icon, WM_MOUSEMOVE);
    PumpMessages(100);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "move", "move"}));
    ::SetCursorPos(600, 500);
    ASSERT_TRUE(WaitUntil([&] { return !events.empty() && events.back() == "exit"; }, 1000));
    PumpMessages(100);
    EXPECT_EQ(std::count(events.begin(), events.end(), std::string("exit")), 1);
    PostNotify(icon, WM_MOUSEMOVE);
    PumpMessages(30);
    EXPECT_EQ(std::count(events.begin(), events.end(), std::string("enter")), 2);
}

TEST_F(TrayIcon, ShiftStateComesFromTheKeyboard) {
    RecordingTrayIcon icon(nullptr);
    EventLog log;
    log.Attach(icon, false);
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = VK_SHIFT;
    ::SendInput(1, &in, sizeof(in));
    PumpMessages(30);
    PostNotify(icon, WM_MBUTTONDOWN);
    PumpMessages(30);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &in, sizeof(in));
    PumpMessages(30);
    PostNotify(icon, WM_MBUTTONUP);
    PumpMessages(30);
    ASSERT_EQ(log.shifts.size(), 2u);
    EXPECT_EQ(log.shifts[0], gui::ssShift | gui::ssMiddle);
    EXPECT_EQ(log.shifts[1], gui::ssMiddle);
}

void ClickAt(POINT p, DWORD down, DWORD up) {
    INPUT in[3] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dx = p.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in[0].mi.dy = p.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = down;
    in[2].mi.dwFlags = up;
    ::SendInput(3, in, sizeof(INPUT));
}

TEST_F(TrayIcon, RealClicksOnTheIconInTheNotificationArea) {
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr) << "the tests run on a virtual desktop with a taskbar";
    const gui::TColor mark = RGB(0x12, 0x9A, 0x56);  // a colour nothing else shows
    RecordingTrayIcon icon(nullptr);
    gui::TIcon image;
    image.SetHandle(SolidIcon(mark));
    icon.SetIcon(image);
    icon.SetIconVisible(true);
    ASSERT_TRUE(icon.Last().result);
    POINT at{-1, -1};
    ASSERT_TRUE(WaitUntil([&] { return (at = FindOnScreen(taskbar, Px(mark))).x >= 0; }, 3000))
        << "the icon shows in the notification area";

    EventLog log;
    log.Attach(icon, false);
    ClickAt(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([&] { return log.Count("up left") == 1; }, 3000));
    EXPECT_EQ(log.events, (std::vector<std::string>{"down left", "click", "up left"}));

    // The right button pops the menu up; a timer closes it.
    auto* menu = new gui::TPopupMenu(nullptr);
    auto* item = new gui::TMenuItem(nullptr);
    item->SetCaption(L"終了");
    menu->Items()->Add(item);
    icon.SetPopupMenu(menu);
    bool shown = false;
    TSimpleTimer closer(150, [&](TSimpleTimer*) {
        if (menu->IsOpen()) {
            shown = true;
            menu->CloseMenu();
        }
    });
    closer.SetEnabled(true);
    ClickAt(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitUntil([&] { return shown && !menu->IsOpen(); }, 3000));
    EXPECT_EQ(log.Count("down right"), 1);
    closer.SetEnabled(false);
    icon.SetPopupMenu(nullptr);
    gui::TComponent::Free(menu);

    icon.SetIconVisible(false);
    EXPECT_TRUE(WaitUntil([&] { return FindOnScreen(taskbar, Px(mark)).x < 0; }, 3000))
        << "gone from the notification area";
}

// --- icon cycling ----------------------------------------------------------

class CyclingIcon : public TrayIcon {
protected:
    void SetUp() override {
        TrayIcon::SetUp();
        list = new gui::TImageList(&owner, 16, 16);
        for (gui::TColor c : colors) {
            gui::TIcon i;
            i.SetHandle(SolidIcon(c));
            list->AddIcon(i);
        }
        icon = new RecordingTrayIcon(&owner);
    }
    void TearDown() override { owner.DestroyChildren(); }
    struct Owner : gui::TComponent {
        Owner() : TComponent(nullptr) {}
        void DestroyChildren() { DestroyComponents(); }
    } owner;
    const gui::TColor colors[4] = {gui::clRed, gui::clLime, gui::clBlue, gui::clYellow};
    gui::TImageList* list = nullptr;
    RecordingTrayIcon* icon = nullptr;
};

TEST_F(CyclingIcon, IndexFollowsTheListAndItsBounds) {
    icon->SetIconIndex(2);
    EXPECT_EQ(icon->IconIndex(), 0) << "no list: index 0";
    icon->SetIconList(list);
    EXPECT_EQ(icon->IconIndex(), 0);
    EXPECT_EQ(ShownColor(*icon), Px(gui::clRed));
    size_t before = icon->calls.size();
    icon->SetIconIndex(2);
    EXPECT_EQ(ShownColor(*icon), Px(gui::clBlue));
    EXPECT_EQ(icon->Last().data.hIcon, icon->Icon().Handle()) << "the new image went to the shell";
    EXPECT_EQ(icon->calls.size(), before + 1) << "one shell call for one new image";
    icon->SetIconIndex(9);
    EXPECT_EQ(icon->IconIndex(), 3) << "beyond the list: the last image";
    EXPECT_EQ(ShownColor(*icon), Px(gui::clYellow));
    icon->SetIconList(list);
    EXPECT_EQ(icon->IconIndex(), 0) << "setting the list selects image 0";

    icon->SetIconIndex(1);
    gui::TComponent::Free(list);
    EXPECT_EQ(icon->IconList(), nullptr) << "a freed list is forgotten";
    EXPECT_EQ(icon->IconIndex(), 0);
    icon->SetCycleInterval(30);
    icon->SetCycleIcons(true);
    PumpMessages(100);  // ticks without a list do nothing
    EXPECT_EQ(icon->IconIndex(), 0);
}

TEST_F(CyclingIcon, EachTickAdvancesOneImageAndReportsTheNext) {
    icon->SetIconList(list);
    std::vector<int> next;
    std::vector<DWORD> shownAtTick;
    icon->OnCycle = [&](TNotifyTrayIcon* sender, int nextIndex) {
        EXPECT_EQ(sender, icon);
        next.push_back(nextIndex);
        shownAtTick.push_back(ShownColor(*icon));
    };
    icon->SetIconIndex(2);
    icon->SetCycleInterval(40);
    icon->SetCycleIcons(true);
    EXPECT_EQ(icon->IconIndex(), 0) << "cycling starts at image 0";
    ASSERT_TRUE(WaitUntil([&] { return next.size() >= 6; }, 3000));
    icon->SetCycleIcons(false);
    next.resize(6);
    EXPECT_EQ(next, (std::vector<int>{1, 2, 3, 0, 1, 2}));
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(shownAtTick[i], Px(colors[i % 4])) << i;
    size_t stopped = next.size();
    PumpMessages(150);
    EXPECT_EQ(next.size(), stopped);
}

TEST_F(CyclingIcon, ZeroIntervalWaitsAndRestartsBeginAtImageZero) {
    icon->SetIconList(list);
    int ticks = 0;
    icon->OnCycle = [&](TNotifyTrayIcon*, int) { ++ticks; };
    icon->SetCycleIcons(true);  // interval 0: no animation
    PumpMessages(150);
    EXPECT_EQ(ticks, 0);
    icon->SetIconIndex(3);
    icon->SetCycleInterval(40);
    EXPECT_EQ(icon->IconIndex(), 0) << "a non-zero interval starts it at image 0";
    ASSERT_TRUE(WaitUntil([&] { return icon->IconIndex() == 2; }, 3000));

    icon->SetCycleIcons(true);
    EXPECT_EQ(icon->IconIndex(), 0) << "switching it on again restarts";
    ASSERT_TRUE(WaitUntil([&] { return icon->IconIndex() == 2; }, 3000));
    icon->SetCycleInterval(40);
    EXPECT_EQ(icon->IconIndex(), 2) << "the same interval changes nothing";
    icon->SetCycleInterval(50);
    EXPECT_EQ(icon->IconIndex(), 0) << "a new interval restarts";
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 6; }, 3000));
}

// --- window hooks ----------------------------------------------------------

TEST_F(TrayIcon, OwnerShownComesToTheForeground) {
    TTestForm* form = new TTestForm;
    form->Initialize();
    auto* icon = new RecordingTrayIcon(form);
    ASSERT_FALSE(form->Visible());
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    PumpMessages(50);
    ASSERT_EQ(::GetForegroundWindow(), other);
    ::ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    PumpMessages(50);
    EXPECT_EQ(::GetForegroundWindow(), form->Handle());
    ::DestroyWindow(other);
    (void)icon;
    gui::TComponent::Free(form);
}

TEST_F(TrayIcon, MinimiseToTrayAndStartupDecision) {
    TTestForm* form = new TTestForm;
    form->Initialize();
    form->Show();
    auto* icon = new RecordingTrayIcon(form);
    int minimised = 0;
    // Without the event the form minimises as usual.
    icon->SetMinimizeToTray(true);
    ::SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(form->Handle()));
    ::ShowWindow(form->Handle(), SW_RESTORE);

    icon->OnMinimizeToTray = [&](TNotifyTrayIcon*) { ++minimised; };
    icon->calls.clear();
    LRESULT r = ::SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(minimised, 1);
    EXPECT_FALSE(::IsIconic(form->Handle())) << "the minimise did not go through";
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_EQ(icon->Count(NIM_ADD), 1);

    icon->SetMinimizeToTray(false);
    ::SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimised, 1);
    EXPECT_TRUE(::IsIconic(form->Handle()));

    // The startup decision is asked in Loaded of an icon on a form.
    std::vector<bool> asked;
    icon->OnStartup = [&](TNotifyTrayIcon*, bool& show) {
        asked.push_back(show);
        show = true;
    };
    icon->calls.clear();
    icon->Loaded();
    EXPECT_EQ(asked, std::vector<bool>{true});
    EXPECT_TRUE(gui::Application->ShowMainForm);
    // Loaded sends the state again: modify, add (the icon is visible), version.
    ASSERT_EQ(icon->calls.size(), 3u);
    EXPECT_EQ(icon->calls[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(icon->calls[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(icon->calls[2].message, static_cast<DWORD>(NIM_SETVERSION));

    RecordingTrayIcon loose(nullptr);
    loose.OnStartup = [&](TNotifyTrayIcon*, bool&) { asked.push_back(false); };
    loose.Loaded();
    EXPECT_EQ(asked.size(), 1u) << "only an icon on a form asks";
    gui::TComponent::Free(form);
}

TEST_F(TrayIcon, MainFormHiddenToTheTrayAndShownAgain) {
    ASSERT_EQ(gui::Application->MainForm(), nullptr);
    TTestForm* main = nullptr;
    gui::Application->CreateForm(main);
    ASSERT_EQ(gui::Application->MainForm(), main);
    main->Show();
    auto* icon = new RecordingTrayIcon(main);
    HWND app = gui::Application->Handle();

    icon->ShowTaskbarIcon();
    EXPECT_TRUE(::IsWindowVisible(app));
    icon->HideMainForm();
    EXPECT_FALSE(main->Visible());
    EXPECT_FALSE(::IsWindowVisible(app)) << "the application's button goes too";

    ::ShowWindow(main->Handle(), SW_SHOWMINNOACTIVE);
    ::ShowWindow(main->Handle(), SW_HIDE);
    icon->ShowMainForm();
    EXPECT_TRUE(main->Visible());
    EXPECT_FALSE(::IsIconic(main->Handle())) << "a minimised main form comes back normal";
    EXPECT_EQ(::GetForegroundWindow(), app);

    // Minimise to tray hides the main form and shows the icon.
    icon->SetMinimizeToTray(true);
    icon->OnMinimizeToTray = [](TNotifyTrayIcon*) {};
    ::SendMessageW(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(main->Visible());
    EXPECT_TRUE(icon->IconVisible());
    // The application window's restore command shows it again.
    ::SendMessageW(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(main->Visible());

    // A startup decision of "hidden" keeps the main form from showing.
    icon->OnStartup = [](TNotifyTrayIcon*, bool& show) { show = false; };
    icon->Loaded();
    EXPECT_FALSE(gui::Application->ShowMainForm);
    EXPECT_FALSE(main->Visible());
    gui::Application->ShowMainForm = true;

    icon->SetIconVisible(false);
    main->Release();
    ASSERT_TRUE(WaitUntil([] { return gui::Application->MainForm() == nullptr; }, 2000));
}

}  // namespace
