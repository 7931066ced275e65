#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/ExitWin32.h"
#include "tests/exitwin/ExitWinFake.h"

namespace {

using Calls = std::vector<std::string>;
using Method = void (TExitWin::*)();

// Runs the method; the message of the EExitError it raised, "" when none.
std::wstring Call(TExitWin& exitWin, Method method) {
    try {
        (exitWin.*method)();
    } catch (const EExitError& e) {
        return e.Message();
    }
    return L"";
}

class ExitWin : public testing::Test {
protected:
    ExitWin() : exitWin(nullptr) { fake.Install(exitWin); }
    TExitWin exitWin;
    ExitWinFake fake;
};

struct ExitCase {
    const char* name;
    Method method;
    UINT flags;
    bool privilege;
    const wchar_t* message;
};

const ExitCase kExitCases[] = {
    {"LogOff", &TExitWin::LogOffWindows, EWX_LOGOFF, false, L"Windows をログオフできませんでした。"},
    {"PowerOff", &TExitWin::PowerOffWindows, 9, true, L"コンピュータの電源を切ることができませんでした。"},
    {"Shutdown", &TExitWin::ShutdownWindows, EWX_SHUTDOWN, true, L"Windows の電源を切れる状態にできませんでした。"},
    {"Reboot", &TExitWin::RebootWindows, EWX_REBOOT, true, L"Windows を再起動できませんでした。"},
    {"Restart", &TExitWin::RestartWindows, EWX_REBOOT, true, L"Windows を再起動できませんでした。"},
    {"Force", &TExitWin::ForceWindows, EWX_FORCE, false, L"Windows の強制終了が出来ませんでした。"},
    {"ForceHung", &TExitWin::ForceHungWindows, EWX_FORCEIFHUNG, false,
     L"ハングアップしたアプリケーションを終了できませんでした。"},
};

TEST_F(ExitWin, EachExitAsksWindowsOnceWithItsFlagsAndRaisesItsMessageWhenRefused) {
    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(c.name);
        const std::string exit = "exit " + std::to_string(c.flags);
        const Calls asked = c.privilege ? Calls{"privilege", exit} : Calls{exit};

        fake = {};
        EXPECT_EQ(Call(exitWin, c.method), L"");
        EXPECT_EQ(fake.calls, asked);

        fake = {};
        fake.exitOk = false;
        EXPECT_EQ(Call(exitWin, c.method), c.message);
        EXPECT_EQ(fake.calls, asked) << "nothing is retried";

        // Without the shutdown privilege Windows is not asked at all.
        fake = {};
        fake.privilegeOk = false;
        if (c.privilege) {
            EXPECT_EQ(Call(exitWin, c.method), c.message);
            EXPECT_EQ(fake.calls, Calls{"privilege"});
        } else {
            EXPECT_EQ(Call(exitWin, c.method), L"") << "needs no privilege";
            EXPECT_EQ(fake.calls, Calls{exit});
        }
    }
}

struct PowerCase {
    const char* name;
    Method method;
    const char* query;
    const char* power;
    const wchar_t* notAllowed;
    const wchar_t* refused;
};

const PowerCase kPowerCases[] = {
    {"Suspend", &TExitWin::Suspend, "query IsPwrSuspendAllowed", "power 1 0", L"サスペンドは許可されていません。",
     L"サスペンドに移行できませんでした。"},
    {"Hibernate", &TExitWin::Hibernate, "query IsPwrHibernateAllowed", "power 0 0", L"休止状態は許可されていません。",
     L"休止状態に移行できませんでした。"},
};

TEST_F(ExitWin, SleepStatesAskWhetherTheyAreAllowedBeforeTheSystemIsAsked) {
    for (const PowerCase& c : kPowerCases) {
        SCOPED_TRACE(c.name);
        struct Row {
            bool allowed, privilegeOk, powerOk;
            const wchar_t* message;
            Calls calls;
        };
        const Row rows[] = {
            {true, true, true, L"", {c.query, "privilege", c.power}},
            {false, true, true, c.notAllowed, {c.query}},
            {true, false, true, c.refused, {c.query, "privilege"}},
            {true, true, false, c.refused, {c.query, "privilege", c.power}},
        };
        for (const Row& r : rows) {
            fake = {};
            fake.allowed = r.allowed;
            fake.privilegeOk = r.privilegeOk;
            fake.powerOk = r.powerOk;
            EXPECT_EQ(Call(exitWin, c.method), r.message);
            EXPECT_EQ(fake.calls, r.calls);
        }
    }
}

TEST_F(ExitWin, OlderSystemsAndMsDosModeAreRefusedWithoutAskingWindows) {
    EXPECT_EQ(Call(exitWin, &TExitWin::ExitToDosMode), L"このOSでは、MS-DOSモードで再起動できません。");
    EXPECT_TRUE(fake.calls.empty());

    exitWin.Version = {4, 0, 1381};  // Windows NT 4
    EXPECT_EQ(Call(exitWin, &TExitWin::ForceHungWindows), L"このOSでは、設定を残して強制終了できません。");
    EXPECT_EQ(Call(exitWin, &TExitWin::Hibernate), L"休止状態は許可されていません。");
    EXPECT_EQ(Call(exitWin, &TExitWin::Suspend), L"サスペンドは許可されていません。");
    EXPECT_TRUE(fake.calls.empty()) << "NT 4 has no power management to ask";
    EXPECT_EQ(Call(exitWin, &TExitWin::LogOffWindows), L"");
    EXPECT_EQ(fake.calls, Calls{"exit 0"});
}

TEST(ExitWinSystem, ThePowerQueryAnswersNoForAFunctionThePowerLibraryLacks) {
    // Only the harmless query of the real calls runs here.
    TExitWinSystem real = TExitWinSystem::Real();
    EXPECT_FALSE(real.PowerQuery("NoSuchPowerQuery"));
    TExitWin exitWin(nullptr);
    EXPECT_GT(exitWin.Version.Major, 4u) << "the version is read at construction";
}

}  // namespace
