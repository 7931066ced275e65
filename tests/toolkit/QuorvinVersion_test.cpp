#include <gtest/gtest.h>

#include "gui/Handles.h"
#include "tests/support/PrefixGuard.h"
#include "toolkit/QuorvinRegistry.h"
#include "toolkit/QuorvinVersion.h"

namespace {

struct VersionCase {
    TWindowsVersion v;
    bool vista, win7, win8, win2000, win11, b22621, b22631;
};

TEST(WindowsVersion, TestsOnVersionNumbers) {
    const VersionCase cases[] = {
        // major minor build   vista  7      8      2000   11     22621  22631
        {{5, 0, 2195}, false, false, false, true, false, false, false},
        {{5, 1, 2600}, false, false, false, false, false, false, false},
        {{6, 0, 6002}, true, false, false, false, false, false, false},
        {{6, 1, 7601}, true, true, false, false, false, false, false},
        {{6, 2, 9200}, true, true, true, false, false, false, false},
        {{6, 3, 9600}, true, true, true, false, false, false, false},
        {{10, 0, 19045}, true, true, true, false, false, false, false},
        {{10, 0, 22000}, true, true, true, false, true, false, false},
        {{10, 0, 22621}, true, true, true, false, true, true, false},
        {{10, 0, 22631}, true, true, true, false, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v.Major << "." << c.v.Minor << "." << c.v.Build);
        EXPECT_EQ(IsVistaOrLater(c.v), c.vista);
        EXPECT_EQ(IsWindows7OrLater(c.v), c.win7);
        EXPECT_EQ(IsWindows8OrLater(c.v), c.win8);
        EXPECT_EQ(IsWindows2000(c.v), c.win2000);
        EXPECT_EQ(IsWindows11(c.v), c.win11);
        EXPECT_EQ(IsWindows11Build22621OrLater(c.v), c.b22621);
        EXPECT_EQ(IsWindows11Build22631OrLater(c.v), c.b22631);
    }
}

TEST(WindowsVersion, MomentLevelFromKernelRevision) {
    struct {
        DWORD build;
        int revision;
        int level;
        bool tabs;
    } cases[] = {
        {22621, 2506, 4, true},  {22621, 2505, 1, false}, {22621, 675, 1, false},
        {22621, 674, 0, false},  {22621, -1, 0, false},   {22631, 0, 0, true},
        {22000, 3000, 0, false}, {19045, 3000, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.build << " rev " << c.revision);
        TWindowsVersion v{10, 0, c.build};
        EXPECT_EQ(GetWindows11_22H2MomentLevel(v, c.revision), c.level);
        EXPECT_EQ(IsWindows11_22H2Moment4(v, c.revision), c.tabs);
    }
}

TEST(WindowsVersion, ManifestMakesTheTrueVersionVisible) {
    // Wine reports the version of the Windows it imitates; without the
    // manifest's supportedOS entries a program would see 6.2 at most.
    TWindowsVersion v = CurrentWindowsVersion();
    EXPECT_GE(v.Major, 6u);
    OSVERSIONINFOEXW real{sizeof(real)};
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    auto rtl = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtl, nullptr);
    rtl(&real);
    EXPECT_EQ(v.Major, real.dwMajorVersion);
    EXPECT_EQ(v.Minor, real.dwMinorVersion);
}

TEST(WindowsVersion, Wow64UnderThisWine) {
    // The program is 32-bit on a 64-bit system here.
    BOOL wow = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow));
    EXPECT_EQ(IsWow64(), wow != FALSE);
    EXPECT_TRUE(IsWow64());
}

// The CabinetState key is put back afterwards as it was, with all its values.
class ExplorerSetting : public testing::Test {
protected:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CabinetState";
    testing_support::RegKeyRestore keep_{HKEY_CURRENT_USER, kKey};
    static const wchar_t* ValueName() { return IsVistaOrLater() ? L"FullPath" : L"FullPathAddress"; }
    static gui::RegKey MakeKey() {
        HKEY h = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
        return gui::RegKey(h);
    }
};

TEST_F(ExplorerSetting, MissingKeyAndValue) {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    EXPECT_EQ(GetExplorerFullPathSetting(), -1);
    // The key is never created by the setter.
    EXPECT_EQ(SetExplorerFullPathSetting(true), -1);
    EXPECT_FALSE(OpenRegKeyFullAccess(HKEY_CURRENT_USER, kKey));

    gui::RegKey k = MakeKey();
    EXPECT_EQ(GetExplorerFullPathSetting(), -2);
    ::RegSetValueExW(k.get(), ValueName(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4);
    EXPECT_EQ(GetExplorerFullPathSetting(), -2) << "a string is not an integer";
}

TEST_F(ExplorerSetting, WriteThenRead) {
    gui::RegKey k = MakeKey();
    ::RegDeleteValueW(k.get(), ValueName());
    EXPECT_EQ(SetExplorerFullPathSetting(true), 1);
    EXPECT_EQ(GetExplorerFullPathSetting(), 1);
    EXPECT_EQ(SetExplorerFullPathSetting(false), 0);
    int raw = -5;
    ASSERT_TRUE(ReadRegInteger(k.get(), ValueName(), raw));
    EXPECT_EQ(raw, 0);
}

}  // namespace
