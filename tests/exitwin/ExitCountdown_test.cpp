#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/TextCodec.h"
#include "tests/exitwin/ExitWinFake.h"
#include "tests/tray/TrayFixture.h"

using namespace testing_support;

namespace {

const std::wstring kSpace = L"\u3000";

std::wstring Spaces(int n) {
    std::wstring s;
    for (int i = 0; i < n; ++i) s += kSpace;
    return s;
}

std::wstring Caption(int seconds) { return L"Orvandel - Windowsの終了 (" + std::to_wstring(seconds) + L"秒)"; }

// This process's visible message box, or nullptr.
HWND OwnBox() {
    for (HWND w : FindTopWindows(L"#32770"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == ::GetCurrentProcessId()) return w;
    return nullptr;
}

std::wstring TextOf(HWND w) {
    wchar_t buf[256] = {};
    ::GetWindowTextW(w, buf, 256);
    return buf;
}

class ExitCountdown : public testing::Test, public TrayFormFixture {
protected:
    // Returns once a timer of the countdown's interval, started now, has
    // ticked: a countdown still running would have ticked before it, as
    // the earlier timer comes first, and acted then if it was to act.
    bool CountdownTickPassed() {
        int ticks = 0;
        gui::TTimer probe(nullptr);
        probe.SetInterval(TrayComponent<gui::TTimer>(L"TimerExitWin")->Interval());
        probe.OnTimer = [&](gui::TTimer*) { ++ticks; };
        probe.SetEnabled(true);
        return WaitUntil([&] { return ticks > 0; }, 10000);
    }

    void SetUp() override {
        StartTray();
        fake.Install(*TrayComponent<TExitWin>(L"ExitWin"));
        TrayForm->TimerMain->SetEnabled(false);
        // Timers keep running inside the box's own loop, so one of ours
        // records the box's captions from there. A box still standing after
        // the deadline is closed with No, so a broken countdown cannot hang.
        watch = new gui::TTimer(TrayForm);
        watch->SetInterval(20);
        watch->OnTimer = [this](gui::TTimer*) { Watch(); };
    }
    void TearDown() override { StopTray(); }

    void Watch() {
        HWND box = OwnBox();
        if (!box) return;
        std::wstring title = TextOf(box);
        if (titles.empty() || titles.back() != title) titles.push_back(title);
        if (text.empty()) {
            wchar_t buf[256] = {};
            ::GetDlgItemTextW(box, 0xFFFF, buf, 256);
            text = buf;
        }
        if (::GetTickCount() - clickedAt > 30000) {
            timedOut = true;
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
        }
    }

    // Clicks the item; returns when its box has been answered.
    void Click(int action) {
        titles.clear();
        text.clear();
        clickedAt = ::GetTickCount();
        TrayForm->ExitCountdown().MPPExitWin[action]->Click();
    }

    ExitWinFake fake;
    gui::TTimer* watch = nullptr;
    std::vector<std::wstring> titles;
    std::wstring text;
    DWORD clickedAt = 0;
    bool timedOut = false;
};

TEST_F(ExitCountdown, AnUnansweredBoxCountsDownTenSecondsThenAnswersItselfAndActsOnce) {
    Click(3);
    const DWORD elapsed = ::GetTickCount() - clickedAt;
    ASSERT_FALSE(timedOut) << "the box never answered itself";

    // Retitled each second from 10 down to 1; the last retitle, to 0, may
    // be answered before the watch sees it.
    std::vector<std::wstring> expected;
    for (int s = 10; s >= 1; --s) expected.push_back(Caption(s));
    std::vector<std::wstring> seen = titles;
    if (!seen.empty() && seen.back() == Caption(0)) seen.pop_back();
    EXPECT_EQ(seen, expected);
    EXPECT_GE(elapsed, 9000u) << "the count runs in seconds";
    EXPECT_EQ(text, Spaces(7) + L"スリープにしますか？" + Spaces(11));

    EXPECT_EQ(fake.calls, (std::vector<std::string>{"query IsPwrSuspendAllowed", "privilege", "power 1 0"}));
    EXPECT_FALSE(TrayComponent<gui::TTimer>(L"TimerExitWin")->Enabled());
    ASSERT_TRUE(CountdownTickPassed());
    EXPECT_EQ(fake.calls.size(), 3u) << "the action runs once";
    EXPECT_FALSE(TrayForm->FClose) << "sleep leaves the program running";
    EXPECT_FALSE(app->Terminated());
}

TEST_F(ExitCountdown, YesActsWithinASecondAndOnlyLogOffPowerOffAndRestartCloseTheProgram) {
    struct Case {
        int action;
        std::wstring question;
        std::vector<std::string> calls;
        bool closes;
    };
    const Case cases[] = {
        {0, Spaces(7) + L"ログオフしますか？" + Spaces(13), {"exit 0"}, true},
        {1, Spaces(7) + L"電源を切りますか？" + Spaces(13), {"privilege", "exit 9"}, true},
        {2, Spaces(7) + L"再起動しますか？" + Spaces(14), {"privilege", "exit 2"}, true},
        {3, Spaces(7) + L"スリープにしますか？" + Spaces(11), {"query IsPwrSuspendAllowed", "privilege", "power 1 0"},
         false},
        {4, Spaces(7) + L"休止状態にしますか？" + Spaces(12), {"query IsPwrHibernateAllowed", "privilege", "power 0 0"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        if (!TrayForm) {
            StartTray();
            fake.Install(*TrayComponent<TExitWin>(L"ExitWin"));
            TrayForm->TimerMain->SetEnabled(false);
            watch = new gui::TTimer(TrayForm);
            watch->SetInterval(20);
            watch->OnTimer = [this](gui::TTimer*) { Watch(); };
        }
        fake.calls.clear();
        std::vector<std::wstring> texts;
        {
            MessageBoxAnswerer yes;
            Click(c.action);
            texts = yes.Texts();
        }
        ASSERT_EQ(texts, std::vector<std::wstring>{c.question});
        ASSERT_TRUE(WaitUntil([&] { return !fake.calls.empty(); }, 3000)) << "acts on the next tick";
        ASSERT_TRUE(CountdownTickPassed());
        EXPECT_EQ(fake.calls, c.calls);
        EXPECT_EQ(TrayForm->FClose, c.closes);
        EXPECT_EQ(app->Terminated(), c.closes) << "closed through the close query";
        if (c.closes) StopTray();
    }
}

TEST_F(ExitCountdown, NoStopsTheCountAndTheNextClickStartsAgainAtTen) {
    {
        MessageBoxAnswerer no(IDNO);
        Click(1);
    }
    EXPECT_FALSE(TrayComponent<gui::TTimer>(L"TimerExitWin")->Enabled());
    ASSERT_TRUE(CountdownTickPassed());
    EXPECT_TRUE(fake.calls.empty()) << "nothing happens";

    // A box left standing a few seconds, then answered with No, also stops.
    bool answered = false;
    watch->OnTimer = [&](gui::TTimer*) {
        Watch();
        if (!answered && titles.size() >= 3) {
            answered = true;
            ::PostMessageW(OwnBox(), WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
        }
    };
    Click(4);
    ASSERT_TRUE(answered);
    ASSERT_GE(titles.size(), 3u);
    EXPECT_EQ(titles[0], Caption(10));
    EXPECT_EQ(titles[1], Caption(9));
    EXPECT_EQ(titles[2], Caption(8));
    ASSERT_TRUE(CountdownTickPassed());
    EXPECT_TRUE(fake.calls.empty()) << "nothing happens";
    EXPECT_FALSE(TrayComponent<gui::TTimer>(L"TimerExitWin")->Enabled());

    answered = false;
    watch->OnTimer = [&](gui::TTimer*) {
        Watch();
        if (!answered && !titles.empty()) {
            answered = true;
            ::PostMessageW(OwnBox(), WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        }
    };
    Click(4);
    ASSERT_TRUE(answered);
    EXPECT_EQ(titles.front(), Caption(10));
    EXPECT_TRUE(WaitUntil([&] { return !fake.calls.empty(); }, 3000));
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"query IsPwrHibernateAllowed", "privilege", "power 0 0"}));
}

TEST_F(ExitCountdown, ARefusalGoesToTheErrorLogAndTheProgramKeepsRunning) {
    fake.exitOk = false;
    {
        MessageBoxAnswerer yes;
        Click(2);
    }
    ASSERT_TRUE(WaitUntil([&] { return !fake.calls.empty(); }, 3000));
    std::wstring log;
    EXPECT_TRUE(WaitUntil(
        [&] {
            log = gui::DecodeText(ReadBytes(dir / L"Error.log"), gui::TTextEncoding::Ansi);
            return !log.empty();
        },
        3000));
    EXPECT_NE(log.find(L" : Windows を再起動できませんでした。\r\n"), std::wstring::npos) << gui::WideToUtf8(log);
    EXPECT_FALSE(TrayForm->FClose) << "the main form is not closed";
    EXPECT_FALSE(app->Terminated());
    EXPECT_FALSE(TrayComponent<gui::TTimer>(L"TimerExitWin")->Enabled());
}

}  // namespace
