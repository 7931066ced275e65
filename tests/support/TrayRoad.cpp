#include "tests/support/TrayRoad.h"

#include <cstdio>
#include <cstring>

#include "gui/Canvas.h"
#include "gui/Graphics.h"
#include "gui/TextCodec.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/HelperWindows.h"

namespace testing_support {

void SweepNotificationArea(HWND taskbar) {
    RECT r{};
    ::GetWindowRect(taskbar, &r);
    const int y = (r.top + r.bottom) / 2, w = r.right - r.left, h = r.bottom - r.top;
    auto shot = [&] {
        gui::TBitmap bmp(w / 2, h);
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(bmp.Canvas().Handle(), 0, 0, w / 2, h, screen, r.left + w / 2, r.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
        std::vector<DWORD> px;
        for (int row = 0; row < h; ++row) px.insert(px.end(), bmp.ScanLine(row), bmp.ScanLine(row) + w / 2);
        return px;
    };
    std::vector<DWORD> before = shot();
    WaitUntil(
        [&] {
            for (int x = r.right - 2; x > r.left + w / 2; x -= 4) {
                MouseAt(POINT{x, y}, {});
                PumpMessages(2);
            }
            PumpMessages(500);
            std::vector<DWORD> after = shot();
            const bool same = after == before;
            before = std::move(after);
            return same;
        },
        30000);
    MouseAt(POINT{r.left + 10, r.top - 100}, {});
}

std::string VisibleWindowsInZOrder() {
    std::string out = "visible windows, top first:\n";
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(w)) continue;
        wchar_t cls[256] = {};
        ::GetClassNameW(w, cls, 256);
        char line[64];
        std::snprintf(line, sizeof(line), "  %p ", static_cast<void*>(w));
        out += line + gui::WideToUtf8(cls) + " pid " + std::to_string(WindowProcessId(w)) + " \"" +
               gui::WideToUtf8(WindowTextOf(w)) + "\"\n";
    }
    return out;
}

POINT CPUIconPoint(HWND taskbar) {
    RECT r{};
    ::GetWindowRect(taskbar, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    gui::TBitmap shot(w, h);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shot.Canvas().Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    const DWORD aqua = Px(RGB(0, 255, 255));
    int right = -1;
    for (int x = w - 1; x >= 0 && right < 0; --x)
        for (int y = 0; y < h; ++y)
            if ((shot.ScanLine(y)[x] & 0xFFFFFF) == aqua) {
                right = x;
                break;
            }
    if (right < 0) return POINT{-1, -1};
    long sy = 0, n = 0;
    for (int x = right - 15 < 0 ? 0 : right - 15; x <= right; ++x)
        for (int y = 0; y < h; ++y)
            if ((shot.ScanLine(y)[x] & 0xFFFFFF) == aqua) {
                sy += y;
                ++n;
            }
    return POINT{r.left + right - 7, r.top + static_cast<int>(sy / n)};
}

// Visible pop-up menu windows of that process.
int MenuWindowsOf(DWORD pid) {
    int n = 0;
    for (HWND w : FindTopWindows(L"#32768"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == pid) ++n;
    return n;
}

HWND HistoryWindowOf(DWORD pid) {
    for (HWND w : FindTopWindows(L"THisForm"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == pid) return w;
    return nullptr;
}

DelayedClipboardText::DelayedClipboardText(std::wstring text) : text_(std::move(text)) {
    owner_ = helper_windows::MakeWindow(L"clipboard owner", WS_POPUP, 0, 0, 10, 10);
    if (!owner_) return;
    ::SetWindowLongPtrW(owner_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(owner_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    for (int attempt = 0; attempt < 50 && !put_; ++attempt) {
        if (::OpenClipboard(owner_.get())) {
            // No data yet: the owner renders it when asked.
            if (::EmptyClipboard()) ::SetClipboardData(CF_UNICODETEXT, nullptr);
            put_ = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
            ::CloseClipboard();
        } else {
            PumpMessages(20);
        }
    }
}

LRESULT CALLBACK DelayedClipboardText::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<DelayedClipboardText*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (msg == WM_RENDERFORMAT && wp == CF_UNICODETEXT && self) {
        self->readers_.push_back(WindowProcessId(::GetOpenClipboardWindow()));
        self->Render();
        return 0;
    }
    if (msg == WM_RENDERALLFORMATS && self) {
        if (::OpenClipboard(wnd)) {
            if (::GetClipboardOwner() == wnd) self->Render();
            ::CloseClipboard();
        }
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

void DelayedClipboardText::Render() {
    const size_t bytes = (text_.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return;
    std::memcpy(::GlobalLock(mem), text_.c_str(), bytes);
    ::GlobalUnlock(mem);
    if (!::SetClipboardData(CF_UNICODETEXT, mem)) ::GlobalFree(mem);
}

}  // namespace testing_support
