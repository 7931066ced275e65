// The lightweight timer: real WM_TIMER ticks through the shared window.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/SimpleTimer.h"
#include "tests/support/TestSupport.h"

using testing_support::PumpMessages;
using testing_support::WaitUntil;

namespace {

DWORD Now() { return ::GetTickCount(); }

TEST(SimpleTimer, DefaultsAndZeroIntervalNeverStarts) {
    TSimpleTimer t;
    EXPECT_EQ(t.Interval(), 1000u);
    EXPECT_FALSE(t.Enabled());
    EXPECT_FALSE(t.AutoDisable());
    EXPECT_EQ(t.Id(), reinterpret_cast<UINT_PTR>(&t)) << "WM_TIMER's wParam is the timer itself";

    int ticks = 0;
    TSimpleTimer z(0, [&](TSimpleTimer*) { ++ticks; });
    z.SetEnabled(true);
    EXPECT_FALSE(z.Enabled());
    EXPECT_FALSE(z.Start());
    PumpMessages(100);
    EXPECT_EQ(ticks, 0);
}

TEST(SimpleTimer, TimersWithTheSameIntervalTickIndependently) {
    int a = 0, b = 0;
    TSimpleTimer ta(40, [&](TSimpleTimer* sender) {
        EXPECT_EQ(sender->Interval(), 40u);
        ++a;
    });
    TSimpleTimer tb(40, [&](TSimpleTimer*) { ++b; });
    EXPECT_NE(ta.Id(), tb.Id());
    ta.SetEnabled(true);
    tb.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return a >= 3 && b >= 3; }, 3000));
    ta.SetEnabled(false);
    int aStopped = a, bBefore = b;
    ASSERT_TRUE(WaitUntil([&] { return b >= bBefore + 3; }, 3000));
    EXPECT_EQ(a, aStopped) << "the stopped timer stays quiet";
}

TEST(SimpleTimer, AutoDisableFiresOnceAndIsOffInsideTheHandler) {
    std::vector<bool> enabledInside;
    TSimpleTimer t(30, [&](TSimpleTimer* sender) { enabledInside.push_back(sender->Enabled()); });
    t.SetAutoDisable(true);
    t.SetEnabled(true);
    EXPECT_TRUE(t.Enabled());
    PumpMessages(300);
    ASSERT_EQ(enabledInside.size(), 1u);
    EXPECT_FALSE(enabledInside[0]);
    EXPECT_FALSE(t.Enabled());
}

TEST(SimpleTimer, SharedWindowLivesFromTheFirstTimerToTheLast) {
    ASSERT_EQ(TSimpleTimer::HandlerWindow(), nullptr) << "no timer from another test is alive";
    HWND first;
    {
        auto t1 = std::make_unique<TSimpleTimer>();
        first = TSimpleTimer::HandlerWindow();
        ASSERT_TRUE(::IsWindow(first));
        wchar_t cls[64] = {};
        ::GetClassNameW(first, cls, 64);
        EXPECT_STREQ(cls, L"TSimpleTimerHandler");
        EXPECT_FALSE(::IsWindowVisible(first));
        EXPECT_EQ(::GetAncestor(first, GA_PARENT), ::GetDesktopWindow()) << "a top-level window";
        auto t2 = std::make_unique<TSimpleTimer>();
        EXPECT_EQ(TSimpleTimer::HandlerWindow(), first);
        t1.reset();
        EXPECT_TRUE(::IsWindow(first)) << "one timer is still alive";
    }
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(TSimpleTimer::HandlerWindow(), nullptr);
    TSimpleTimer again;
    EXPECT_TRUE(::IsWindow(TSimpleTimer::HandlerWindow()));
}

TEST(SimpleTimer, NewIntervalRestartsThePeriod) {
    DWORD start = 0, firstTick = 0;
    TSimpleTimer t(400, [&](TSimpleTimer*) {
        if (!firstTick) firstTick = Now();
    });
    start = Now();
    t.SetEnabled(true);
    PumpMessages(250);
    t.SetInterval(500);  // counted again from here
    DWORD changed = Now();
    ASSERT_TRUE(WaitUntil([&] { return firstTick != 0; }, 3000));
    EXPECT_GE(firstTick - changed + 20, 500u) << "no tick at the old 400 ms mark";
    EXPECT_GE(firstTick - start, 700u);

    // The same interval again changes nothing.
    firstTick = 0;
    t.SetInterval(500);
    EXPECT_TRUE(t.Enabled());
}

TEST(SimpleTimer, SuspendedByZeroIntervalOrNoHandler) {
    int ticks = 0;
    auto count = [&](TSimpleTimer*) { ++ticks; };
    TSimpleTimer t(30, count);
    t.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 2; }, 2000));

    t.SetInterval(0);
    EXPECT_TRUE(t.Enabled()) << "suspended, still meant to run";
    PumpMessages(60);
    int at = ticks;
    PumpMessages(200);
    EXPECT_EQ(ticks, at);
    t.SetInterval(30);  // a new non-zero interval restarts it
    ASSERT_TRUE(WaitUntil([&] { return ticks >= at + 2; }, 2000));

    t.SetOnTimer(nullptr);
    EXPECT_TRUE(t.Enabled());
    t.SetOnTimer(count);  // a handler again does not restart it
    PumpMessages(60);
    at = ticks;
    PumpMessages(200);
    EXPECT_EQ(ticks, at);
    t.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= at + 2; }, 2000));
    t.SetEnabled(false);
    EXPECT_FALSE(t.Enabled());
}

TEST(SimpleTimer, MessagesForTimersThatAreGoneAreIgnored) {
    int liveTicks = 0, goneTicks = 0;
    TSimpleTimer live(10000, [&](TSimpleTimer*) { ++liveTicks; });
    auto gone = std::make_unique<TSimpleTimer>(20, [&](TSimpleTimer*) { ++goneTicks; });
    gone->SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return goneTicks >= 1; }, 2000));
    UINT_PTR goneId = gone->Id();
    HWND wnd = TSimpleTimer::HandlerWindow();
    // A tick already queued when the timer goes, and ids nobody owns.
    ::PostMessageW(wnd, WM_TIMER, goneId, 0);
    gone.reset();
    int before = goneTicks;
    ::PostMessageW(wnd, WM_TIMER, goneId, 0);
    ::PostMessageW(wnd, WM_TIMER, 0x1234, 0);
    ::PostMessageW(wnd, WM_TIMER, live.Id() + 4, 0);
    PumpMessages(100);
    EXPECT_EQ(goneTicks, before);
    EXPECT_EQ(liveTicks, 0);
    ::PostMessageW(wnd, WM_TIMER, live.Id(), 0);
    PumpMessages(50);
    EXPECT_EQ(liveTicks, 1) << "the live timer's id still dispatches";
}

TEST(SimpleTimer, HandlerMayDestroyTheLastTimer) {
    auto t = std::make_unique<TSimpleTimer>();
    bool ran = false;
    t->SetOnTimer([&](TSimpleTimer*) {
        ran = true;
        t.reset();
    });
    t->SetInterval(20);
    t->SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return ran; }, 2000));
    PumpMessages(50);
    EXPECT_EQ(TSimpleTimer::HandlerWindow(), nullptr);
}

}  // namespace
