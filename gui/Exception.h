// The program's exception type: a wide message, as shown to the user and
// written to the error log.
#pragma once

#include <exception>
#include <string>

namespace gui {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }
    // The Windows last-error value when the exception was made: unwinding
    // may change the thread's own value before a handler looks at it.
    unsigned long LastError() const noexcept { return lastError_; }

private:
    unsigned long lastError_;
    std::wstring message_;
    std::string utf8_;
};

// The message of any exception, as text for the user.
std::wstring ExceptionMessage(const std::exception& e);
std::wstring ExceptionMessage(std::exception_ptr e);

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

}  // namespace gui
