// Shared by the shell test program: the application object, OLE on the test
// thread, and a place that collects exceptions handed to the application.
#pragma once

#include <string>
#include <vector>

namespace shell_testing {

// Creates the application once; OLE is initialised on this thread.
void EnsureApplication();

// While one exists, exceptions reaching the application are kept here
// instead of failing the test.
class ExpectedExceptions {
public:
    ExpectedExceptions();
    ~ExpectedExceptions();
    ExpectedExceptions(const ExpectedExceptions&) = delete;
    ExpectedExceptions& operator=(const ExpectedExceptions&) = delete;
    std::vector<std::wstring> Messages;
};

}  // namespace shell_testing
