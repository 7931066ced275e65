// Every case of this program changes the prefix's settings folder: the
// program runs only in the prefix scripts/test makes.
#include "tests/support/TestPrefix.h"

namespace {

testing::Environment* const kRequireTestPrefix =
    testing::AddGlobalTestEnvironment(new testing_support::RequireTestPrefix);

}  // namespace
