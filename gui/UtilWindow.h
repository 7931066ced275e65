// TUtilWindow: a hidden top-level window that hands every message to one
// handler, for components that need a window of their own to receive timer,
// shell or broadcast messages (a message-only window would miss broadcasts
// and could not take the foreground for a tray menu). The handler runs
// through GuardCallback; messages it leaves go to DefWindowProc.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

namespace gui {

class TUtilWindow {
public:
    // Returns true with `result` set when it handled the message.
    using Handler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;

    // Registers the class on first use; throws gui::Exception when the
    // window cannot be made.
    TUtilWindow(const std::wstring& className, Handler handler);
    ~TUtilWindow();
    TUtilWindow(const TUtilWindow&) = delete;
    TUtilWindow& operator=(const TUtilWindow&) = delete;

    HWND Handle() const noexcept { return wnd_; }

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND wnd_ = nullptr;
    Handler handler_;
};

}  // namespace gui
