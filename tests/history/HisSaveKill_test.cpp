// A save killed half-way leaves every list file whole. This test program
// starts itself with "--his-save-loop=<folder>" as the process that saves
// large lists over and over, and kills it at varying moments.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/history/HisFiles.h"
#include "gui/Handles.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const wchar_t kLoopFlag[] = L"--his-save-loop=";
const int kClipEntries = 40;
const int kClipEntryLength = 30000;
const int kLineEntries = 100;  // no more than loading keeps, so a cut file shows

std::wstring Entry(int version, int index, int c) {
    std::wstring s = L"v" + std::to_wstring(version) + L" i" + std::to_wstring(index) + L" ";
    if (c == 0) {
        s += L"改行\r\nと\tタブ ";
        s.append(kClipEntryLength, static_cast<wchar_t>(L'a' + version));
    } else {
        s = L"C:\\Folder " + s + std::wstring(200, static_cast<wchar_t>(L'k' + version)) + L"\\file.txt";
    }
    return s;
}

void Fill(THisLists& lists, int version) {
    for (int k = 0; k <= 1; ++k)
        for (int c = 0; c < kHisCategories; ++c) {
            gui::TStringList& list = lists.MFileList[k * kHisCategories + c];
            list.Clear();
            int n = c == 0 ? kClipEntries : kLineEntries;
            for (int i = 0; i < n; ++i) list.Add(Entry(version, i, c));
        }
}

// The saving process: saves version 0, 1, 0, ... until it is killed; the
// file "ready" appears after the first whole save. It gives up after a
// minute so that it never outlives a broken test run.
struct SaveLoopChild {
    SaveLoopChild() {
        std::wstring cmd = ::GetCommandLineW();
        size_t at = cmd.find(kLoopFlag);
        if (at == std::wstring::npos) return;
        std::wstring folder = cmd.substr(at + wcslen(kLoopFlag));
        THisLists lists;
        DWORD start = ::GetTickCount();
        for (int version = 0; ::GetTickCount() - start < 60000; version ^= 1) {
            Fill(lists, version);
            SaveHisLists(folder, lists);
            if (version == 0) WriteBytes(folder + L"ready", "1");
        }
        ::ExitProcess(0);
    }
} saveLoopChild;

std::vector<std::wstring> TempFiles(const std::wstring& folder) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW fd;
    gui::FindHandle h(::FindFirstFileW((folder + L"*.tmp").c_str(), &fd));
    if (h) {
        do out.push_back(folder + fd.cFileName);
        while (::FindNextFileW(h.get(), &fd));
    }
    return out;
}

// Every list is one whole version: each entry of the right form, in order,
// all of one version, as many as were saved.
void ExpectWholeLists(const std::wstring& folder) {
    THisLists lists;
    LoadHisLists(folder, lists, false);
    for (int k = 0; k <= 1; ++k)
        for (int c = 0; c < kHisCategories; ++c) {
            SCOPED_TRACE(testing::Message() << "list " << k << c);
            const gui::TStringList& list = lists.MFileList[k * kHisCategories + c];
            int n = c == 0 ? kClipEntries : kLineEntries;
            ASSERT_EQ(list.Count(), n);
            int version = list[0].rfind(L"v1 ", 0) == 0 || list[0].find(L" v1 ") != std::wstring::npos ? 1 : 0;
            for (int i = 0; i < n; ++i) ASSERT_EQ(list[i], Entry(version, i, c)) << "entry " << i;
        }
}

TEST(HisSave, KilledHalfWayLeavesEveryFileWhole) {
    ScratchDir dir;
    const std::wstring exe = BinDir() + L"history_tests.exe";
    std::minstd_rand delays(9);
    int killedWhileWriting = 0;
    int round = 0;
    for (; round < 40 && (killedWhileWriting < 3 || round < 8); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ::DeleteFileW((dir / L"ready").c_str());
        ChildProcess child = ChildProcess::Start(exe, std::wstring(kLoopFlag) + dir.Path());
        ASSERT_TRUE(child.Started());
        ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW((dir / L"ready").c_str()) != INVALID_FILE_ATTRIBUTES; },
                              30000));
        ::Sleep(std::uniform_int_distribution<int>(0, 400)(delays));
        child.Terminate();
        ASSERT_TRUE(child.WaitExit(10000));

        // A temporary file left behind shows that the kill came mid-write.
        std::vector<std::wstring> temps = TempFiles(dir.Path());
        if (!temps.empty()) ++killedWhileWriting;
        ExpectWholeLists(dir.Path());
        if (HasFatalFailure()) return;
        for (const auto& t : temps) ::DeleteFileW(t.c_str());
    }
    EXPECT_GT(killedWhileWriting, 0) << "no kill came while a file was being written, in " << round << " rounds";
}

}  // namespace
