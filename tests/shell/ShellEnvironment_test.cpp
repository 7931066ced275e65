// The application object and OLE of the shell test program.
#include <gtest/gtest.h>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell_testing {

namespace {

ExpectedExceptions* expected = nullptr;

}  // namespace

void EnsureApplication() {
    static gui::ComScope ole(/*ole=*/true);  // as the program does on its GUI thread
    static gui::TApplication* app = [] {
        auto* a = new gui::TApplication;  // lives as long as the process
        a->SetTitle(L"shell_tests");
        a->Initialize();
        a->OnException = [](const std::exception_ptr& e) {
            if (expected)
                expected->Messages.push_back(gui::ExceptionMessage(e));
            else
                ADD_FAILURE() << "exception in a callback: " << gui::WideToUtf8(gui::ExceptionMessage(e));
        };
        return a;
    }();
    ASSERT_TRUE(ole.ok());
    (void)app;
}

ExpectedExceptions::ExpectedExceptions() { expected = this; }
ExpectedExceptions::~ExpectedExceptions() { expected = nullptr; }

}  // namespace shell_testing
