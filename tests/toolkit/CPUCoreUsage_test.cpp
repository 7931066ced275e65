// Per-core processor usage. Wine's performance library cannot expand the
// per-core path, so the real library is checked for its error path and the
// walk over the expansion, the order and the sampling rules run against a
// stand-in for the library.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <pdh.h>
#include <pdhmsg.h>

#include "toolkit/CPUCoreUsage.h"

namespace {

const LONG kMoreData = static_cast<LONG>(PDH_MORE_DATA);
const LONG kInvalidArgument = static_cast<LONG>(PDH_INVALID_ARGUMENT);
const LONG kNoObject = static_cast<LONG>(PDH_CSTATUS_NO_OBJECT);

const wchar_t kCore0[] = L"\\\\PC\\Processor(0)\\% Processor Time";
const wchar_t kCore1[] = L"\\\\PC\\Processor(1)\\% Processor Time";
const wchar_t kCore2[] = L"\\\\PC\\Processor(2)\\% Processor Time";
const wchar_t kTotal[] = L"\\\\PC\\Processor(_Total)\\% Processor Time";

// What the stand-in library does; reset for every test.
struct FakePdh {
    bool openFails = false;
    LONG sizeAnswer = kMoreData;  // answer to the length question
    LONG expandAnswer = 0;            // answer to the real expansion
    std::vector<std::wstring> expansion;
    std::set<std::wstring> refused;                    // paths AddCounter refuses
    std::map<std::wstring, double> values;             // by path
    std::set<std::wstring> unreadable;                 // GetFormatted fails
    int opens = 0, closes = 0, collects = 0, adds = 0;
    std::vector<void*> closedQueries;
    std::wstring pattern;
    std::map<void*, std::wstring> counters;            // handle -> path
    int nextHandle = 0x100;
} fake;

std::wstring MultiString(const std::vector<std::wstring>& paths) {
    std::wstring s;
    for (const auto& p : paths) s += p + L'\0';
    s += L'\0';
    return s;
}

LONG WINAPI FakeOpen(LPCWSTR, DWORD_PTR, void** query) {
    ++fake.opens;
    if (fake.openFails) return kInvalidArgument;
    *query = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5000 + fake.opens));
    return 0;
}

LONG WINAPI FakeExpand(LPCWSTR, LPCWSTR pattern, LPWSTR buffer, DWORD* length, DWORD) {
    fake.pattern = pattern;
    const std::wstring list = MultiString(fake.expansion);
    if (!buffer) {
        *length = static_cast<DWORD>(list.size());
        return fake.sizeAnswer;
    }
    if (fake.expandAnswer != 0) return fake.expandAnswer;
    if (*length < list.size()) return kMoreData;
    std::copy(list.begin(), list.end(), buffer);
    return 0;
}

LONG WINAPI FakeAdd(void*, LPCWSTR path, DWORD_PTR, void** counter) {
    ++fake.adds;
    if (fake.refused.count(path)) return static_cast<LONG>(PDH_CSTATUS_NO_COUNTER);
    *counter = reinterpret_cast<void*>(static_cast<INT_PTR>(fake.nextHandle++));
    fake.counters[*counter] = path;
    return 0;
}

LONG WINAPI FakeCollect(void*) {
    ++fake.collects;
    return 0;
}

LONG WINAPI FakeFormatted(void* counter, DWORD format, DWORD*, void* value) {
    const std::wstring& path = fake.counters.at(counter);
    if (format != PDH_FMT_DOUBLE || fake.unreadable.count(path)) return static_cast<LONG>(PDH_INVALID_DATA);
    auto* v = static_cast<PDH_FMT_COUNTERVALUE*>(value);
    v->CStatus = 0;
    v->doubleValue = fake.values[path];
    return 0;
}

LONG WINAPI FakeClose(void* query) {
    ++fake.closes;
    fake.closedQueries.push_back(query);
    return 0;
}

const CPUCorePdhFunctions kFake{FakeOpen, FakeExpand, FakeAdd, FakeCollect, FakeFormatted, FakeClose};

std::vector<std::wstring> CounterPaths() {
    std::vector<std::wstring> paths;
    for (const auto& c : CPUCounters) paths.push_back(c.Path);
    return paths;
}

class CPUCoreFake : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakePdh{};
        CPUCoreSetPdhFunctions(&kFake);
    }
    void TearDown() override {
        CPUCoreClose();
        CPUCoreSetPdhFunctions(nullptr);
    }
};

}  // namespace

TEST(CPUCoreReal, WinesLibraryCannotExpandThePerCorePathAndTheUnitReportsAnError) {
    CPUCoreSetPdhFunctions(nullptr);
    CPUCoreOpen();
    EXPECT_TRUE(CPUCoreError);
    EXPECT_TRUE(CPUCounters.empty());
    CPUCoreCollect();  // nothing to sample, nothing breaks
    EXPECT_TRUE(CPUCounters.empty());
    CPUCoreClose();
    EXPECT_EQ(CPUCoreQuery, nullptr);
}

TEST_F(CPUCoreFake, ExpansionIsWalkedInOrderWithTheTotalLast) {
    struct Case {
        const char* name;
        std::vector<std::wstring> expansion;
        std::set<std::wstring> refused;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {"two cores and the total", {kCore0, kCore1, kTotal}, {}, {kCore0, kCore1, kTotal}},
        {"total listed first goes last", {kTotal, kCore0, kCore1}, {}, {kCore0, kCore1, kTotal}},
        {"total in the middle goes last", {kCore0, kTotal, kCore1, kCore2}, {}, {kCore0, kCore1, kCore2, kTotal}},
        {"a refused core is left out", {kCore0, kCore1, kCore2, kTotal}, {kCore1}, {kCore0, kCore2, kTotal}},
        {"a refused total leaves the cores", {kCore0, kCore1, kTotal}, {kTotal}, {kCore0, kCore1}},
        {"one path only", {kTotal}, {}, {kTotal}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake = FakePdh{};
        fake.expansion = c.expansion;
        fake.refused = c.refused;
        CPUCoreOpen();
        EXPECT_EQ(fake.pattern, L"\\Processor(*/*)\\% Processor Time");
        EXPECT_FALSE(CPUCoreError);
        EXPECT_NE(CPUCoreQuery, nullptr);
        EXPECT_EQ(CounterPaths(), c.expected);
        EXPECT_EQ(fake.adds, static_cast<int>(c.expansion.size()));
        EXPECT_EQ(fake.collects, 1) << "the opening sample";
        for (const auto& counter : CPUCounters) {
            EXPECT_EQ(fake.counters.at(counter.Handle), counter.Path);
            EXPECT_EQ(counter.CPU, 0);
        }
        CPUCoreClose();
    }
}

TEST_F(CPUCoreFake, EveryFailureOfTheOpeningSetsTheErrorAndTakesNoSample) {
    struct Case {
        const char* name;
        bool openFails;
        LONG sizeAnswer;
        LONG expandAnswer;
        std::vector<std::wstring> expansion;
        std::set<std::wstring> refused;
        bool queryKept;
    };
    const Case cases[] = {
        {"query not opened", true, kMoreData, 0, {kCore0, kTotal}, {}, false},
        {"length question refused", false, kNoObject, 0, {kCore0, kTotal}, {}, true},
        {"length question answered as success", false, 0, 0, {kCore0, kTotal}, {}, true},
        {"expansion fails", false, kMoreData, kInvalidArgument, {kCore0, kTotal}, {}, true},
        {"empty expansion", false, kMoreData, 0, {}, {}, true},
        {"every path refused", false, kMoreData, 0, {kCore0, kTotal}, {kCore0, kTotal}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake = FakePdh{};
        fake.openFails = c.openFails;
        fake.sizeAnswer = c.sizeAnswer;
        fake.expandAnswer = c.expandAnswer;
        fake.expansion = c.expansion;
        fake.refused = c.refused;
        CPUCoreOpen();
        EXPECT_TRUE(CPUCoreError);
        EXPECT_TRUE(CPUCounters.empty());
        EXPECT_EQ(fake.collects, 0);
        EXPECT_EQ(CPUCoreQuery != nullptr, c.queryKept);
        CPUCoreClose();
        EXPECT_EQ(CPUCoreQuery, nullptr);
    }
}

TEST_F(CPUCoreFake, CollectRoundsHalvesToEvenAndAFailedReadKeepsTheLastValue) {
    fake.expansion = {kCore0, kCore1, kTotal};
    CPUCoreOpen();
    ASSERT_EQ(CPUCounters.size(), 3u);
    fake.values = {{kCore0, 12.5}, {kCore1, 13.5}, {kTotal, 99.6}};
    CPUCoreCollect();
    EXPECT_EQ(fake.collects, 2);
    EXPECT_EQ(CPUCounters[0].CPU, 12);
    EXPECT_EQ(CPUCounters[1].CPU, 14);
    EXPECT_EQ(CPUCounters[2].CPU, 100);

    fake.values = {{kCore0, 40.2}, {kCore1, 0.4}, {kTotal, 20.0}};
    fake.unreadable = {kCore1};
    CPUCoreCollect();
    EXPECT_EQ(CPUCounters[0].CPU, 40);
    EXPECT_EQ(CPUCounters[1].CPU, 14) << "a failed sample keeps the previous value";
    EXPECT_EQ(CPUCounters[2].CPU, 20);
}

TEST_F(CPUCoreFake, ASecondOpenStartsAfreshAndCloseForgetsTheCounters) {
    fake.expansion = {kCore0, kCore1, kTotal};
    CPUCoreOpen();
    void* first = CPUCoreQuery;
    CPUCoreOpen();
    EXPECT_EQ(fake.closes, 1);
    ASSERT_EQ(fake.closedQueries.size(), 1u);
    EXPECT_EQ(fake.closedQueries[0], first);
    EXPECT_NE(CPUCoreQuery, first);
    EXPECT_EQ(CounterPaths(), (std::vector<std::wstring>{kCore0, kCore1, kTotal}));

    CPUCoreClose();
    EXPECT_EQ(fake.closes, 2);
    EXPECT_EQ(CPUCoreQuery, nullptr);
    EXPECT_TRUE(CPUCounters.empty());
    const int collects = fake.collects;
    CPUCoreCollect();
    EXPECT_EQ(fake.collects, collects) << "no sample without a query";
    CPUCoreClose();
    EXPECT_EQ(fake.closes, 2) << "a closed query is not closed twice";
}
