// The prefix guard tells the prefixes scripts/test makes from every other.
#include "gui/Exception.h"
#include "tests/support/TestPrefix.h"

namespace {

TEST(TestPrefixPath, OnlyTheRunsOwnPrefixesAreAccepted) {
    struct {
        const wchar_t* path;
        bool accepted;
    } cases[] = {
        {L"/work/x/build/wine/test-prefix", true},
        {L"/work/x/build/wine/test-prefix/", true},
        {L"/work/x/build/wine/test-slot0/prefix", true},
        {L"/work/x/build/wine/test-slot12/prefix//", true},
        {L"/root/.wine", false},
        {L"/work/x/build/wine/run-prefix", false},
        {L"/work/x/build/wine/bench-prefix", false},
        {L"/work/x/build/wine/test-slot/prefix", false},
        {L"/work/x/build/wine/test-slotA/prefix", false},
        {L"/work/x/build/wine/test-slot3", false},
        {L"/work/x/build/wine/test-slot3/prefix/drive_c", false},
        {L"/work/x/build/nowine/test-slot3/prefix", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(testing_support::IsTestPrefixPath(c.path), c.accepted) << gui::WideToUtf8(c.path);
}

}  // namespace
