// The paste road walked as a user walks it, with a program nobody here
// wrote: Wine's own Notepad is clicked into, a text is copied, the user
// clicks Orvandel's tray icon with the mouse, presses "C" and Enter in the
// history menu, and the text arrives in Notepad. Everything is driven with
// synthesized input and read back from outside the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/Canvas.h"
#include "gui/Handles.h"
#include "gui/TextCodec.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayProcess.h"
#include "tests/toolkit/HelperWindows.h"

using namespace testing_support;

namespace {

void MouseAt(POINT p, std::initializer_list<DWORD> buttons) {
    std::vector<INPUT> in(1 + buttons.size());
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dx = p.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in[0].mi.dy = p.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    size_t k = 1;
    for (DWORD b : buttons) in[k++].mi.dwFlags = b;
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void PressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

POINT Centre(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The CPU icon in the taskbar's notification area: its frame is drawn in
// aqua, and as the first icon the program adds it stands rightmost of the
// program's icons. {-1, -1} while it does not show.
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

// The visible top-level windows from the top of the Z order down, one line
// each: handle, class, process and title; what a failure is read against.
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

// Icons left by programs that ended without taking them away stay in the
// notification area until the pointer passes over them, as on Windows: the
// pointer is moved along the right half of the taskbar, and the test waits
// until the area looks the same twice in a row.
void SweepNotificationArea(HWND taskbar) {
    RECT r{};
    ::GetWindowRect(taskbar, &r);
    const int y = (r.top + r.bottom) / 2, w = r.right - r.left;
    auto shot = [&] {
        gui::TBitmap bmp(w / 2, r.bottom - r.top);
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(bmp.Canvas().Handle(), 0, 0, w / 2, r.bottom - r.top, screen, r.left + w / 2, r.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
        std::vector<DWORD> px;
        for (int row = 0; row < r.bottom - r.top; ++row)
            px.insert(px.end(), bmp.ScanLine(row), bmp.ScanLine(row) + w / 2);
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

// Visible pop-up menu windows of that process.
int MenuWindowsOf(DWORD pid) {
    int n = 0;
    for (HWND w : FindTopWindows(L"#32768"))
        if (::IsWindowVisible(w) && WindowProcessId(w) == pid) ++n;
    return n;
}

// A text put on the clipboard by delayed rendering, as many programs copy:
// the text is handed out when a program asks for it, so the test knows which
// program read the clipboard, and when.
class DelayedClipboardText {
public:
    explicit DelayedClipboardText(std::wstring text) : text_(std::move(text)) {
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
    bool Put() const { return put_; }
    // The processes that asked for the text, in order.
    const std::vector<DWORD>& Readers() const { return readers_; }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
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
    void Render() {
        const size_t bytes = (text_.size() + 1) * sizeof(wchar_t);
        HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!mem) return;
        std::memcpy(::GlobalLock(mem), text_.c_str(), bytes);
        ::GlobalUnlock(mem);
        if (!::SetClipboardData(CF_UNICODETEXT, mem)) ::GlobalFree(mem);
    }

    std::wstring text_;
    gui::OwnedWindow owner_;
    bool put_ = false;
    std::vector<DWORD> readers_;
};

class PasteRoad : public testing::Test {
protected:
    void SetUp() override {
        program_ = ChildProcess::Start(BinDir() + L"Orvandel.exe");
        ASSERT_TRUE(program_.Started());
        form_ = WaitForTrayForm(program_.Pid());
        ASSERT_NE(form_, nullptr) << "Orvandel is up";
        // The virtual desktop, with its taskbar, comes with the first window.
        ASSERT_TRUE(WaitUntil([&] { return (taskbar_ = ::FindWindowW(L"Shell_TrayWnd", nullptr)) != nullptr; },
                              30000))
            << "the tests run on a virtual desktop with a taskbar";

        wchar_t sys[MAX_PATH] = {};
        ::GetSystemDirectoryW(sys, MAX_PATH);
        notepad_ = ChildProcess::Start(std::wstring(sys) + L"\\notepad.exe");
        ASSERT_TRUE(notepad_.Started());
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (HWND w : FindTopWindows(L"Notepad"))
                    if (WindowProcessId(w) == notepad_.Pid() && ::IsWindowVisible(w)) main_ = w;
                return main_ && (edit_ = ::FindWindowExW(main_, nullptr, L"Edit", nullptr)) != nullptr;
            },
            30000))
            << "Notepad shows its edit box";
    }
    void TearDown() override {
        if (form_) {
            SendClose(form_);
            program_.WaitExit(30000);
        }
    }

    // The user clicks into Notepad's text.
    void ClickIntoNotepad() {
        ASSERT_TRUE(WaitUntil(
            [&] {
                MouseAt(Centre(edit_), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
                return WaitUntil([&] { return ::GetForegroundWindow() == main_; }, 2000);
            },
            20000))
            << "Notepad is in front";
    }

    HWND taskbar_ = nullptr, form_ = nullptr, main_ = nullptr, edit_ = nullptr;
    ChildProcess program_, notepad_;
};

TEST_F(PasteRoad, ATrayMenuPickIsPastedIntoNotepadAfterARealClick) {
    ClickIntoNotepad();
    const std::wstring text = L"メモ帳へ貼る 1";
    DelayedClipboardText copy(text);
    ASSERT_TRUE(copy.Put());
    // The heartbeat reads the copied text.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (DWORD pid : copy.Readers())
                if (pid == program_.Pid()) return true;
            return false;
        },
        30000))
        << "Orvandel read the copied text";

    SweepNotificationArea(taskbar_);
    POINT icon{-1, -1};
    ASSERT_TRUE(WaitUntil([&] { return (icon = CPUIconPoint(taskbar_)).x >= 0; }, 30000))
        << "the CPU icon shows in the notification area";
    MouseAt(icon, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) == 1; }, 30000))
        << "the history menu opens after the double-click time";
    PressKey('C');
    ASSERT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) >= 2; }, 30000))
        << "the clipboard category opens";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(edit_) == text; }, 30000))
        << "pasted into Notepad: " << gui::WideToUtf8(WindowTextOf(edit_)) << "\n"
        << VisibleWindowsInZOrder();
    const HWND front = ::GetForegroundWindow();
    wchar_t frontClass[256] = {};
    ::GetClassNameW(front, frontClass, 256);
    EXPECT_EQ(front, main_) << "Notepad is in front again, not a window of class "
                            << gui::WideToUtf8(frontClass) << " of process " << WindowProcessId(front);
}

}  // namespace
