#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "components/MaxMems.h"
#include "toolkit/GetRAM.h"

namespace {

MEMORYSTATUSEX SystemStatus() {
    MEMORYSTATUSEX s{};
    s.dwLength = sizeof(s);
    EXPECT_TRUE(::GlobalMemoryStatusEx(&s));
    return s;
}

TEST(MemoryStatus, AgreesWithTheSystem) {
    MEMORYSTATUSEX s = SystemStatus();
    EXPECT_EQ(GetTotalRAM(), static_cast<int64_t>(s.ullTotalPhys));
    EXPECT_GT(GetTotalRAM(), 0);
    // The load moves a little between two calls. It is what the system's
    // record of the moment gives (the table below works the records out).
    int load = GetRAMUsage();
    EXPECT_GE(load, 0);
    EXPECT_LE(load, 100);
    MEMORYSTATUSEX now = SystemStatus();
    EXPECT_NEAR(load, RAMUsageOf(now.dwMemoryLoad, now.ullTotalPhys, now.ullAvailPhys), 5)
        << "reported load " << now.dwMemoryLoad << ", total " << now.ullTotalPhys << ", available "
        << now.ullAvailPhys;
}

// The percentage for status records as systems report them, worked out by
// hand: a load within 0..100 as it is, a load beyond 100 (this Wine caps
// the total at 4 GB but not what is available) as the share in use.
TEST(MemoryStatus, ALoadBeyond100BecomesTheShareInUse) {
    constexpr uint64_t GB = uint64_t{1} << 30;
    const struct {
        const char* name;
        uint32_t load;
        uint64_t total, avail;
        int expected;
    } cases[] = {
        {"a load as reported", 37, 8 * GB, 6 * GB, 37},
        {"none", 0, 4 * GB, 4 * GB, 0},
        {"full", 100, 4 * GB, 0, 100},
        {"101: a quarter free", 101, 4 * GB, 1 * GB, 75},
        {"250: three quarters free", 250, 4 * GB, 3 * GB, 25},
        {"beyond 100, all in use", 180, 4 * GB, 0, 100},
        {"beyond 100, all free", 180, 4 * GB, 4 * GB, 0},
        {"beyond 100, a share cut down to whole percents", 140, 3 * GB, 1 * GB, 66},
        {"more available than the total", 0xFFFFFFFFu, 4 * GB, 6 * GB, 0},
        {"no total", 150, 0, 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(RAMUsageOf(c.load, c.total, c.avail), c.expected) << c.name;
}

TEST(MemoryStatus, TrimmerReadsTotalAndMemoryInUse) {
    TMaxMems mems(nullptr);
    MEMORYSTATUSEX s = SystemStatus();
    EXPECT_EQ(mems.TotalMemory(), static_cast<int64_t>(s.ullTotalPhys));
    int64_t inUse = static_cast<int64_t>(s.ullTotalPhys - s.ullAvailPhys);
    // Within 64 MB of what the system said a moment ago.
    EXPECT_NEAR(static_cast<double>(mems.FreeMemory()), static_cast<double>(inUse), 64.0 * 1048576);
}

// ---------------------------------------------------------------- the trimmer

// Blocks that cost nothing: fake addresses, and a failure at a chosen block.
class CountingMems : public TMaxMems {
public:
    using TMaxMems::TMaxMems;
    int failAt = -1;  // the commit (from 0) that fails
    int commits = 0, releases = 0;
    std::vector<int> log;  // progress values, -1 before, -2 after

    void Record() {
        OnBeforeDefrag = [this](TMaxMems*) { log.push_back(-1); };
        OnAfterDefrag = [this](TMaxMems*) { log.push_back(-2); };
        OnProgress = [this](TMaxMems*, int64_t p) { log.push_back(static_cast<int>(p)); };
    }

protected:
    void* CommitBlock() override {
        if (commits == failAt) return nullptr;
        ++commits;
        return reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 * commits));
    }
    void ReleaseBlock(void*) override { ++releases; }
};

TEST(MaxMems, RealBlocksProgressHalfCommittingHalfReleasing) {
    TMaxMems mems(nullptr);
    std::vector<int> log;
    bool workingInside = false;
    mems.OnBeforeDefrag = [&](TMaxMems* m) { log.push_back(-1); workingInside = m->Working(); };
    mems.OnAfterDefrag = [&](TMaxMems*) { log.push_back(-2); };
    mems.OnProgress = [&](TMaxMems*, int64_t p) { log.push_back(static_cast<int>(p)); };
    mems.DefragMemory(4);
    // Round(Done / 8 * 100), halves to even.
    EXPECT_EQ(log, (std::vector<int>{-1, 12, 25, 38, 50, 62, 75, 88, 100, -2}));
    EXPECT_TRUE(workingInside);
    EXPECT_FALSE(mems.Working());
}

TEST(MaxMems, EventSequencesByCase) {
    struct Case {
        const char* name;
        int64_t limit;
        int failAt;
        int abortAfterEvents;  // Abort from the progress handler at this progress event (from 1)
        std::vector<int> expected;
        int commits;
    };
    const Case cases[] = {
        {"nothing to trim", 0, -1, 0, {-1, -2}, 0},
        {"a negative amount trims nothing", -5, -1, 0, {-1, -2}, 0},
        {"only the low 32 bits count", (int64_t{1} << 32) + 2, -1, 0, {-1, 25, 50, 75, 100, -2}, 2},
        {"abort while committing", 4, -1, 2, {-1, 12, 25, -2}, 2},
        {"abort while releasing", 2, -1, 3, {-1, 25, 50, 75, -2}, 2},
        {"no memory for the third block", 5, 2, 0, {-1, 10, 20, -2}, 2},
        {"no memory at all", 3, 0, 0, {-1, -2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingMems mems(nullptr);
        mems.Record();
        mems.failAt = c.failAt;
        int events = 0;
        mems.OnProgress = [&](TMaxMems* m, int64_t p) {
            mems.log.push_back(static_cast<int>(p));
            if (++events == c.abortAfterEvents) m->Abort();
        };
        mems.DefragMemory(c.limit);
        EXPECT_EQ(mems.log, c.expected);
        EXPECT_EQ(mems.commits, c.commits);
        EXPECT_EQ(mems.releases, mems.commits) << "every block taken is given back";
        EXPECT_FALSE(mems.Working());
    }
}

TEST(MaxMems, CappedAt1024BlocksAndReaching100AtTheLastRelease) {
    CountingMems mems(nullptr);
    mems.Record();
    mems.DefragMemory(2048);
    EXPECT_EQ(mems.commits, 1024);
    EXPECT_EQ(mems.releases, 1024);
    ASSERT_EQ(mems.log.size(), 2048u + 2);
    EXPECT_EQ(mems.log[1], 0) << "Round(1 / 2048 * 100)";
    EXPECT_EQ(mems.log[1024], 50);
    EXPECT_EQ(mems.log[2047], 100) << "Round(2047 / 2048 * 100)";
    EXPECT_EQ(mems.log[2048], 100);
    EXPECT_EQ(mems.log.back(), -2);

    CountingMems all(nullptr);
    all.DefragAll();
    EXPECT_EQ(all.commits, static_cast<int>(std::min<int64_t>(1024, all.TotalMemory() / 1048576)));
}

TEST(MaxMems, ACallFromInsideARunningCallReturnsAtOnce) {
    CountingMems mems(nullptr);
    mems.Record();
    bool aborted = false;
    mems.OnProgress = [&](TMaxMems* m, int64_t p) {
        mems.log.push_back(static_cast<int>(p));
        if (p == 25) {
            m->Abort();
            m->DefragMemory(3);  // refused, and the abort request stands
            aborted = true;
        }
    };
    mems.DefragMemory(2);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(mems.log, (std::vector<int>{-1, 25, -2}));
    EXPECT_EQ(mems.commits, 1);

    // The next call starts afresh.
    mems.log.clear();
    mems.Record();
    mems.DefragMemory(1);
    EXPECT_EQ(mems.log, (std::vector<int>{-1, 50, 100, -2}));
}

}  // namespace
