#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "components/Watch.h"
#include "gui/Handles.h"
#include "gui/Timer.h"
#include "tests/support/TestSupport.h"

using testing_support::PumpMessages;
using testing_support::ScratchDir;
using testing_support::WaitUntil;

namespace {

std::set<DWORD> ThreadsOfThisProcess() {
    std::set<DWORD> ids;
    gui::FileHandle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snap) return ids;
    THREADENTRY32 te{sizeof(te)};
    for (BOOL ok = ::Thread32First(snap.get(), &te); ok; ok = ::Thread32Next(snap.get(), &te))
        if (te.th32OwnerProcessID == ::GetCurrentProcessId()) ids.insert(te.th32ThreadID);
    return ids;
}

// Threads started since `before` that still run.
std::set<DWORD> NewThreads(const std::set<DWORD>& before) {
    std::set<DWORD> now = ThreadsOfThisProcess(), added;
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                        std::inserter(added, added.end()));
    return added;
}

std::wstring NoSlash(const std::wstring& path) {
    return !path.empty() && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
}

void Touch(const std::wstring& path) {
    ASSERT_TRUE(testing_support::WriteBytes(path, "x"));
}

// The reports of one watcher.
struct Reports {
    explicit Reports(TDirectoryWatcher& w) {
        w.OnChange = [this](TDirectoryWatcher* sender, const std::wstring& dir) {
            senders.push_back(sender);
            dirs.push_back(dir);
            ticks.push_back(::GetTickCount());
        };
    }
    size_t Count() const { return senders.size(); }
    std::vector<TDirectoryWatcher*> senders;
    std::vector<std::wstring> dirs;
    std::vector<DWORD> ticks;
};

// Makes files in a folder from another thread, `count` of them `gapMs` apart
// (0: until stopped).
class FileMaker {
public:
    FileMaker(std::wstring dir, int count, DWORD gapMs) {
        worker_ = std::thread([this, dir, count, gapMs] {
            for (int i = 0; !stop_ && (count == 0 || i < count); ++i) {
                testing_support::WriteBytes(dir + L"\\f" + std::to_wstring(i) + L".txt", "data");
                lastTick_ = ::GetTickCount();
                ++made_;
                ::Sleep(gapMs);
            }
        });
    }
    ~FileMaker() { Stop(); }
    void Stop() {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
    }
    int Made() const { return made_; }
    DWORD LastTick() const { return lastTick_; }

private:
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<int> made_{0};
    std::atomic<DWORD> lastTick_{0};
};

TEST(FolderWatcher, StartsOnTheProgramFolder) {
    std::set<DWORD> before = ThreadsOfThisProcess();
    TDirectoryWatcher w(nullptr);
    EXPECT_EQ(w.Directory(), NoSlash(testing_support::BinDir()));
    EXPECT_TRUE(w.Delay);
    EXPECT_EQ(w.DelayTime(), 1000u);
    w.SetDelayTime(250);
    EXPECT_EQ(w.DelayTime(), 250u);
    EXPECT_TRUE(WaitUntil([&] { return NewThreads(before).size() == 1; }, 3000))
        << "one worker for the folder";
}

// Waits, without handling them, until a message was posted to this thread
// since the last look at the queue (GetQueueStatus's new-message half,
// reset by each call), then handles what the queue holds; false when none
// came within the deadline.
bool PostedMessageHandled(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    bool came = false;
    while (!(came = (HIWORD(::GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) != 0) &&
           ::GetTickCount() - start < timeoutMs)
        ::Sleep(1);
    PumpMessages(0);
    return came;
}

TEST(FolderWatcher, BurstIsReportedOnceAfterTheDelay) {
    ScratchDir dir;
    TDirectoryWatcher w(nullptr);
    w.SetDirectory(NoSlash(dir.Path()));
    // Long beside the time a notice takes to come, even on a loaded machine:
    // a notice that came later than the delay would end the burst early.
    constexpr DWORD kDelay = 1500;
    w.SetDelayTime(kDelay);
    Reports reports(w);
    // The watch is armed once a change has been reported; the worker may
    // arm it after the first file came, so files come until one is.
    int early = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            Touch(dir / (L"early" + std::to_wstring(early++) + L".txt"));
            return WaitUntil([&] { return reports.Count() > 0; }, kDelay + 1000);
        },
        4 * (kDelay + 1000)));
    const size_t base = reports.Count();

    // Each file of the burst is made once the watcher has handled the
    // notice of the one before: the changes come as fast as the watcher
    // takes them, each well within the delay of the one before, however
    // slow the machine, and the burst lasts longer than a delay. The worker
    // arms its watch again only after it posted its notice, and under Wine a
    // change made before that is not seen: a step whose notice does not come
    // soon makes another file.
    const DWORD first = ::GetTickCount();
    DWORD last = first;
    for (int i = 0; i < 10 || last - first < kDelay + 150; ++i) {
        bool noticed = false;
        for (int attempt = 0; attempt < 25 && !noticed; ++attempt) {
            ::GetQueueStatus(QS_POSTMESSAGE);
            Touch(dir / (L"f" + std::to_wstring(i) + L"-" + std::to_wstring(attempt) + L".txt"));
            last = ::GetTickCount();
            noticed = PostedMessageHandled(200);
        }
        EXPECT_TRUE(noticed) << "the watcher's notice of file " << i;
        EXPECT_EQ(reports.Count(), base) << "no report within the burst, file " << i;
        if (reports.Count() > base || i > 5000) break;
    }
    ASSERT_TRUE(WaitUntil([&] { return reports.Count() > base; }, kDelay + 5000));
    EXPECT_EQ(reports.senders[base], &w);
    EXPECT_EQ(reports.dirs[base], NoSlash(dir.Path()));
    // Timer ticks may come a few ms early by the tick count.
    EXPECT_GE(static_cast<LONG>(reports.ticks[base] - last), static_cast<LONG>(kDelay) - 20);
    // A second report of the burst would come a delay after a late notice.
    int ticks = 0;
    gui::TTimer probe(nullptr);
    probe.SetInterval(w.DelayTime());
    probe.OnTimer = [&](gui::TTimer*) { ++ticks; };
    probe.SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 2; }, 2 * kDelay + 5000));
    EXPECT_EQ(reports.Count(), base + 1);
}

TEST(FolderWatcher, WithoutDelayEachChangeAtOnce) {
    ScratchDir dir;
    TDirectoryWatcher w(nullptr);
    w.Delay = false;
    w.SetDirectory(NoSlash(dir.Path()));
    Reports reports(w);
    PumpMessages(100);

    Touch(dir / L"a.txt");
    ASSERT_TRUE(WaitUntil([&] { return reports.Count() >= 1; }, 3000));
    EXPECT_EQ(reports.senders[0], &w);
    EXPECT_EQ(reports.dirs[0], NoSlash(dir.Path()));

    // The notification is armed again after each report.
    PumpMessages(200);
    size_t seen = reports.Count();
    Touch(dir / L"b.txt");
    EXPECT_TRUE(WaitUntil([&] { return reports.Count() > seen; }, 3000));

    // Changes in a subfolder are not the folder's own.
    ASSERT_TRUE(::CreateDirectoryW((dir / L"sub").c_str(), nullptr));
    PumpMessages(300);
    seen = reports.Count();
    Touch(dir / L"sub\\c.txt");
    PumpMessages(500);
    EXPECT_EQ(reports.Count(), seen);
}

TEST(FolderWatcher, SameFolderInOtherCaseKeepsTheWorker) {
    ScratchDir dir;
    std::set<DWORD> before = ThreadsOfThisProcess();
    TDirectoryWatcher w(nullptr);
    w.Delay = false;
    ASSERT_TRUE(WaitUntil([&] { return NewThreads(before).size() == 1; }, 3000));
    const std::set<DWORD> programFolderWorker = NewThreads(before);

    const std::wstring path = NoSlash(dir.Path());
    w.SetDirectory(path);
    ASSERT_TRUE(WaitUntil(
        [&] {
            auto now = NewThreads(before);
            return now.size() == 1 && now != programFolderWorker;
        },
        3000))
        << "another folder: the old worker ends, a new one starts";
    const std::set<DWORD> worker = NewThreads(before);

    std::wstring upper = path;
    ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    ASSERT_NE(upper, path);
    w.SetDirectory(upper);
    EXPECT_EQ(w.Directory(), path) << "the spelling in use stays";
    PumpMessages(300);
    EXPECT_EQ(NewThreads(before), worker);

    Reports reports(w);
    Touch(dir / L"x.txt");
    EXPECT_TRUE(WaitUntil([&] { return reports.Count() >= 1; }, 3000));
}

TEST(FolderWatcher, EmptyFolderWatchesNothing) {
    ScratchDir dir;
    std::set<DWORD> before = ThreadsOfThisProcess();
    TDirectoryWatcher w(nullptr);
    w.Delay = false;
    w.SetDirectory(NoSlash(dir.Path()));
    ASSERT_TRUE(WaitUntil([&] { return NewThreads(before).size() == 1; }, 3000));
    Reports reports(w);

    w.SetDirectory(L"");
    EXPECT_EQ(w.Directory(), L"");
    EXPECT_TRUE(WaitUntil([&] { return NewThreads(before).empty(); }, 3000)) << "the worker ended";
    Touch(dir / L"a.txt");
    Touch(testing_support::BinDir() + L"orv-watch-probe.txt");
    PumpMessages(600);
    ::DeleteFileW((testing_support::BinDir() + L"orv-watch-probe.txt").c_str());
    EXPECT_EQ(reports.Count(), 0u);
}

// CPU time this process used while the GUI thread sleeps for ms.
ULONGLONG CpuMsWhileIdle(DWORD ms) {
    auto cpu = [] {
        FILETIME c, e, k, u;
        ::GetProcessTimes(::GetCurrentProcess(), &c, &e, &k, &u);
        auto v = [](FILETIME f) { return (ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
        return (v(k) + v(u)) / 10000;
    };
    ULONGLONG start = cpu();
    ::Sleep(ms);
    return cpu() - start;
}

TEST(FolderWatcher, FolderThatCannotBeWatched) {
    ScratchDir dir;
    std::set<DWORD> before = ThreadsOfThisProcess();
    {
        TDirectoryWatcher w(nullptr);
        w.Delay = false;
        Reports reports(w);
        const std::wstring missing = dir / L"not yet";
        w.SetDirectory(missing);
        ASSERT_TRUE(WaitUntil([&] { return NewThreads(before).size() == 1; }, 3000));
        // The worker waits for its stop alone: no spinning, no reports, not
        // even once the folder is made.
        EXPECT_LT(CpuMsWhileIdle(600), 200u);
        ASSERT_TRUE(::CreateDirectoryW(missing.c_str(), nullptr));
        Touch(missing + L"\\a.txt");
        PumpMessages(500);
        EXPECT_EQ(reports.Count(), 0u);

        // A watched folder that is removed.
        const std::wstring doomed = dir / L"doomed";
        ASSERT_TRUE(::CreateDirectoryW(doomed.c_str(), nullptr));
        w.SetDirectory(doomed);
        PumpMessages(200);
        ASSERT_TRUE(::RemoveDirectoryW(doomed.c_str()));
        PumpMessages(300);
        EXPECT_LT(CpuMsWhileIdle(600), 200u);
        PumpMessages(100);
        EXPECT_LT(reports.Count(), 5u) << "no endless reports";
    }
    EXPECT_TRUE(WaitUntil([&] { return NewThreads(before).empty(); }, 3000)) << "stopped cleanly";
}

TEST(FolderWatcher, OldWorkerReportsNothingOnceReplaced) {
    ScratchDir a, b;
    TDirectoryWatcher w(nullptr);
    w.Delay = false;
    w.SetDirectory(NoSlash(a.Path()));
    Reports reports(w);
    PumpMessages(100);

    FileMaker maker(NoSlash(a.Path()), 0, 5);
    ASSERT_TRUE(WaitUntil([&] { return reports.Count() >= 2; }, 3000));
    // Changes keep coming while this thread does not look at its messages.
    ::Sleep(200);
    w.SetDirectory(NoSlash(b.Path()));
    size_t seen = reports.Count();
    PumpMessages(600);
    EXPECT_GT(maker.Made(), 10);
    EXPECT_EQ(reports.Count(), seen) << "nothing from the folder no longer watched";

    // A pending delayed report of the old folder is dropped too.
    w.Delay = true;
    w.SetDelayTime(200);
    w.SetDirectory(NoSlash(a.Path()));
    PumpMessages(100);
    w.SetDirectory(NoSlash(b.Path()));
    PumpMessages(500);
    EXPECT_EQ(reports.Count(), seen);
}

TEST(FolderWatcher, DestroyedWhileChangesArrive) {
    ScratchDir dir;
    std::set<DWORD> before = ThreadsOfThisProcess();
    FileMaker maker(NoSlash(dir.Path()), 0, 2);
    int reported = 0;
    for (int round = 0; round < 15; ++round) {
        auto* w = new TDirectoryWatcher(nullptr);
        w->Delay = round % 2 == 0;
        w->SetDelayTime(20);
        w->OnChange = [&](TDirectoryWatcher*, const std::wstring&) { ++reported; };
        w->SetDirectory(NoSlash(dir.Path()));
        PumpMessages(60 + round * 7);
        // Mid-wait or mid-post, and with changes still queued.
        gui::TComponent::Free(w);
        PumpMessages(10);
    }
    PumpMessages(200);
    maker.Stop();
    EXPECT_GT(reported, 0) << "the watchers were really watching";
    EXPECT_TRUE(WaitUntil([&] { return NewThreads(before).empty(); }, 3000))
        << NewThreads(before).size() << " threads left";
}

}  // namespace
