// Test programs that run the real Orvandel.exe change the roaming AppData
// folder of the Wine prefix (its settings folder, written whole at every
// close). They run only in the private prefix scripts/test makes for each
// run, and refuse (every case fails at once) anywhere else.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace testing_support {

// True in the prefix scripts/test makes (WINEPREFIX ends in
// "/wine/test-prefix"; Wine hands the Unix environment on).
inline bool InTestPrefix() {
    wchar_t buf[4096] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"WINEPREFIX", buf, 4096);
    if (n == 0 || n >= 4096) return false;
    std::wstring prefix(buf, n);
    while (!prefix.empty() && prefix.back() == L'/') prefix.pop_back();
    const std::wstring tail = L"/wine/test-prefix";
    return prefix.size() >= tail.size() && prefix.compare(prefix.size() - tail.size(), tail.size(), tail) == 0;
}

class RequireTestPrefix : public testing::Environment {
public:
    void SetUp() override {
        if (!InTestPrefix()) FAIL() << "refused: runs only in the Wine prefix scripts/test makes";
    }
};

}  // namespace testing_support
