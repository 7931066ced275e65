#include "tests/support/TrayRoad.h"

#include <cstdio>
#include <cstring>

#include "gui/Exception.h"
#include "gui/TextCodec.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/HelperWindows.h"

namespace testing_support {

namespace {

// Each icon of Wine's notification area takes a small icon's width and a
// border of two pixels on each side, the first icon added at the right end.
constexpr int kIconStep = 20;

// The text of the taskbar's tool tip that shows now; false when none shows.
bool ShownTip(DWORD taskbarPid, std::wstring& text) {
    for (HWND w : FindTopWindows(L"tooltips_class32"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == taskbarPid) {
            text = WindowTextOf(w);
            return true;
        }
    return false;
}

// The tip of the icon at the point, read as a user reads it: the pointer
// leaves the taskbar until no tip shows, then rests on the point until the
// icon's tip shows. Empty when none shows; an icon whose program has ended
// goes away under the pointer instead.
std::wstring TipAt(HWND taskbar, POINT pt) {
    const DWORD pid = WindowProcessId(taskbar);
    RECT r{};
    ::GetWindowRect(taskbar, &r);
    std::wstring text;
    MouseAt(POINT{pt.x, r.top - 100}, {});
    WaitUntil([&] { return !ShownTip(pid, text); }, 3000);
    MouseAt(pt, {});
    if (!WaitUntil([&] { return ShownTip(pid, text); }, 2000)) return L"";
    return text;
}

// The point of the visible taskbar's icon slot, counted from the right end.
POINT SlotPoint(const RECT& r, int slot) {
    return POINT{r.right - kIconStep / 2 - slot * kIconStep, (r.top + r.bottom) / 2};
}

}  // namespace

POINT TrayIconWithTip(HWND taskbar, const std::function<bool(const std::wstring&)>& isIcon, std::wstring* tips) {
    RECT r{};
    if (!::GetWindowRect(taskbar, &r) || r.right <= r.left) return POINT{-1, -1};
    // A slot that shows no tip held an icon of an ended program, which went
    // away so that the next icon moved in, or lies past the last icon: a
    // second look tells which.
    bool looked = false;
    for (int slot = 0; SlotPoint(r, slot).x > (r.left + r.right) / 2;) {
        const POINT pt = SlotPoint(r, slot);
        const std::wstring tip = TipAt(taskbar, pt);
        if (tips) *tips += L"[" + tip + L"]";
        if (!tip.empty() && isIcon(tip)) return pt;
        if (tip.empty()) {
            if (looked) break;
            looked = true;
            continue;
        }
        looked = false;
        ++slot;
    }
    return POINT{-1, -1};
}

void SweepNotificationArea(HWND taskbar) {
    TrayIconWithTip(taskbar, [](const std::wstring&) { return false; });
    RECT r{};
    ::GetWindowRect(taskbar, &r);
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

bool IsCPUIconTip(const std::wstring& tip) {
    // "CPU使用率:n%" while it measures, the program's name while it rests.
    return tip.rfind(L"CPU使用率:", 0) == 0 || tip == L"Orvandel";
}

POINT CPUIconPoint(HWND taskbar) { return TrayIconWithTip(taskbar, IsCPUIconTip); }

std::string RoadState(POINT icon) {
    HWND front = ::GetForegroundWindow();
    wchar_t cls[256] = {};
    ::GetClassNameW(front, cls, 256);
    char line[128];
    std::snprintf(line, sizeof(line), "tray icon point %ld,%ld; in front %p ", icon.x, icon.y,
                  static_cast<void*>(front));
    return line + gui::WideToUtf8(cls) + " pid " + std::to_string(WindowProcessId(front)) + " \"" +
           gui::WideToUtf8(WindowTextOf(front)) + "\"\n" + VisibleWindowsInZOrder();
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
