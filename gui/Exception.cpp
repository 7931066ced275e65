#include "gui/Exception.h"

#include <windows.h>

namespace gui {

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                  nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                  nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

Exception::Exception(std::wstring message)
    : lastError_(::GetLastError()), message_(std::move(message)), utf8_(WideToUtf8(message_)) {
    ::SetLastError(lastError_);
}

std::wstring ExceptionMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
    return Utf8ToWide(e.what());
}

std::wstring ExceptionMessage(std::exception_ptr e) {
    try {
        if (e) std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return ExceptionMessage(ex);
    } catch (...) {
    }
    return L"不明なエラー";
}

}  // namespace gui
