#include <gtest/gtest.h>

#include <windows.h>

#include "toolkit/CPUUsage.h"

namespace {

// Wine's performance counters answer but never move (see the testing notes),
// so these tests check the query's life cycle, not the numbers.
TEST(CPUUsage, LifeCycle) {
    EXPECT_EQ(CPUUsageGet(), -1) << "before any open";

    CPUUsageOpen();
    ASSERT_NE(CPUUsageQuery, nullptr);
    ::Sleep(50);
    int v = CPUUsageGet();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 100);

    CPUUsageOpen();  // reopening replaces the query
    EXPECT_NE(CPUUsageQuery, nullptr);
    EXPECT_GE(CPUUsageGet(), 0);

    CPUUsageClose();
    EXPECT_EQ(CPUUsageGet(), -1) << "after close, until the next open";
    CPUUsageClose();  // a second close must not touch the closed handle
    EXPECT_EQ(CPUUsageGet(), -1);

    CPUUsageOpen();
    EXPECT_GE(CPUUsageGet(), 0);
    CPUUsageClose();
}

}  // namespace
