// Linked into every test program that changes the prefix outside scratch
// folders: the program runs only in the prefixes scripts/test makes.
#include "tests/support/TestPrefix.h"

namespace {

testing::Environment* const kRequireTestPrefix =
    testing::AddGlobalTestEnvironment(new testing_support::RequireTestPrefix);

}  // namespace
