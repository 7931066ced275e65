// The prefix guards put back what a run changed also when the run was
// killed at its time limit: a second run of this program makes its changes
// under the guards and is ended from outside, and a third start of the
// program, which runs no case, puts everything back before it would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/PrefixGuard.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const wchar_t kKey[] = L"Software\\OrvandelTest\\Journal";
const wchar_t kFolderVariable[] = L"ORV_JOURNAL_TEST_DIR";

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring ReadValue(const std::wstring& subKey, const wchar_t* name) {
    wchar_t buf[256] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

bool SetValue(const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey.c_str(), name, REG_SZ, value.c_str(),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Run only as the second run: changes a file, a value and a key under
// their guards, says so with a file, and waits to be killed.
TEST(PrefixGuard, DISABLED_ChangesUnderGuardsAndWaits) {
    wchar_t dir[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(kFolderVariable, dir, MAX_PATH), 0u);
    const std::wstring folder = dir;
    FileRestore file(folder + L"kept.txt");
    RegValueRestore value(HKEY_CURRENT_USER, kKey, L"Kept");
    RegKeyRestore tree(HKEY_CURRENT_USER, std::wstring(kKey) + L"\\Tree");
    ASSERT_TRUE(WriteBytes(folder + L"kept.txt", "after"));
    ASSERT_TRUE(SetValue(kKey, L"Kept", L"after"));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kKey) + L"\\Tree").c_str());
    ASSERT_TRUE(SetValue(std::wstring(kKey) + L"\\Tree\\New", L"v", L"new"));
    ASSERT_TRUE(WriteBytes(folder + L"changed", "1"));
    WaitUntil([] { return false; }, 60000);
}

TEST(PrefixGuard, ChangesOfARunKilledAtItsLimitAreRestoredAtTheNextStart) {
    ScratchDir dir;
    RegKeyRestore keep(HKEY_CURRENT_USER, L"Software\\OrvandelTest");
    ASSERT_TRUE(WriteBytes(dir / L"kept.txt", "before"));
    ASSERT_TRUE(SetValue(kKey, L"Kept", L"before"));
    ASSERT_TRUE(SetValue(std::wstring(kKey) + L"\\Tree", L"a", L"old"));
    ::SetEnvironmentVariableW(kFolderVariable, dir.Path().c_str());

    ChildProcess run = ChildProcess::Start(
        ThisProgram(), L"--gtest_also_run_disabled_tests --gtest_filter=PrefixGuard.DISABLED_ChangesUnderGuardsAndWaits");
    ::SetEnvironmentVariableW(kFolderVariable, nullptr);
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW((dir / L"changed").c_str()) != INVALID_FILE_ATTRIBUTES; },
                          30000))
        << "the second run made its changes";
    run.Terminate();
    ASSERT_TRUE(run.WaitExit(10000));
    ASSERT_EQ(ReadBytes(dir / L"kept.txt"), "after") << "killed, the run put nothing back itself";
    ASSERT_EQ(ReadValue(kKey, L"Kept"), L"after");

    ChildProcess next = ChildProcess::Start(ThisProgram(), L"--gtest_filter=-*");
    ASSERT_TRUE(next.Started());
    ASSERT_TRUE(next.WaitExit(30000));
    EXPECT_EQ(ReadBytes(dir / L"kept.txt"), "before");
    EXPECT_EQ(ReadValue(kKey, L"Kept"), L"before");
    EXPECT_EQ(ReadValue(std::wstring(kKey) + L"\\Tree", L"a"), L"old");
    EXPECT_EQ(ReadValue(std::wstring(kKey) + L"\\Tree\\New", L"v"), L"<none>") << "the key is as it was, whole";
}

}  // namespace
