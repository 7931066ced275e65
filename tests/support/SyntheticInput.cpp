#include "tests/support/SyntheticInput.h"

#include <set>
#include <vector>

#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/Exception.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

namespace {

INPUT MouseMove(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(screen.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    in.mi.dy = static_cast<LONG>(screen.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

bool Send(std::vector<INPUT>& in) {
    return ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

}  // namespace

void MouseAt(POINT screen, std::initializer_list<DWORD> buttons) {
    std::vector<INPUT> in{MouseMove(screen)};
    for (DWORD b : buttons) {
        INPUT i = MouseMove(screen);
        i.mi.dwFlags |= b;
        in.push_back(i);
    }
    Send(in);
}

void ClickAt(POINT screen, bool twice) {
    if (twice) MouseAt(screen, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    else MouseAt(screen, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

namespace {

std::string ProgramOf(DWORD pid) {
    gui::Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    wchar_t path[MAX_PATH] = L"?";
    DWORD size = MAX_PATH;
    if (process) ::QueryFullProcessImageNameW(process.get(), 0, path, &size);
    return gui::WideToUtf8(path);
}

}  // namespace

std::string PointerHolders() {
    std::set<DWORD> threads;
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        const DWORD tid = ::GetWindowThreadProcessId(w, &pid);
        if (pid != ::GetCurrentProcessId()) threads.insert(tid);
    }
    std::string out;
    for (DWORD tid : threads) {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (!::GetGUIThreadInfo(tid, &info)) continue;
        const DWORD held = info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_INMOVESIZE);
        if (!held && !info.hwndCapture) continue;
        DWORD pid = 0;
        ::GetWindowThreadProcessId(info.hwndCapture ? info.hwndCapture : info.hwndActive, &pid);
        out += " thread " + std::to_string(tid) + " of " + ProgramOf(pid) +
               (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE) ? " (menu)" : "") +
               (info.flags & GUI_INMOVESIZE ? " (moving or sizing)" : "") + (info.hwndCapture ? " (capture)" : "") + ";";
    }
    RECT clip{};
    if (::GetClipCursor(&clip) && (clip.left > 0 || clip.top > 0 || clip.right < ::GetSystemMetrics(SM_CXSCREEN) ||
                                   clip.bottom < ::GetSystemMetrics(SM_CYSCREEN)))
        out += " cursor clipped to " + std::to_string(clip.left) + "," + std::to_string(clip.top) + "-" +
               std::to_string(clip.right) + "," + std::to_string(clip.bottom) + ";";
    return out.empty() ? " none" : out;
}

testing::AssertionResult CursorRestsAt(POINT screen, DWORD timeoutMs) {
    // Long enough that the reading comes from the display, not the point set.
    constexpr ULONGLONG kSettleMs = 250;
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    POINT at{};
    int attempts = 0;
    while (::GetTickCount64() < end) {
        ++attempts;
        ::SetCursorPos(screen.x + (screen.x > 0 ? -1 : 1), screen.y);
        ::SetCursorPos(screen.x, screen.y);
        const ULONGLONG moved = ::GetTickCount64();
        bool stayed = true;
        WaitApp([&] {
            stayed = ::GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
            return !stayed || ::GetTickCount64() - moved >= kSettleMs;
        }, static_cast<DWORD>(kSettleMs * 4));
        if (stayed && ::GetTickCount64() - moved >= kSettleMs) return testing::AssertionSuccess();
    }
    wchar_t cls[64] = L"";
    ::GetClassNameW(::WindowFromPoint(at), cls, 64);
    return testing::AssertionFailure() << "the cursor did not stay at " << screen.x << "," << screen.y << " ("
                                       << attempts << " attempts); last seen at " << at.x << "," << at.y
                                       << " over a window of class " << gui::WideToUtf8(cls)
                                       << "; other programs holding the pointer:" << PointerHolders();
}

testing::AssertionResult CursorStaysAt(POINT screen, DWORD ms) {
    POINT at{};
    const bool moved = WaitApp([&] { return ::GetCursorPos(&at) && (at.x != screen.x || at.y != screen.y); }, ms);
    if (!moved) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the cursor moved from " << screen.x << "," << screen.y << " to " << at.x
                                       << "," << at.y;
}

void MiddleClickAt(POINT screen) { MouseAt(screen, {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP}); }

void WheelAt(POINT screen, int delta, std::initializer_list<WORD> held) {
    std::vector<INPUT> in{MouseMove(screen)};
    for (WORD k : held) in.push_back(KeyInput(k, false));
    INPUT wheel = MouseMove(screen);
    wheel.mi.dwFlags |= MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(delta);
    in.push_back(wheel);
    for (auto it = held.end(); it != held.begin();) in.push_back(KeyInput(*--it, true));
    Send(in);
}

void PressKey(WORD vk, std::initializer_list<WORD> held) {
    std::vector<INPUT> in;
    for (WORD k : held) in.push_back(KeyInput(k, false));
    in.push_back(KeyInput(vk, false));
    in.push_back(KeyInput(vk, true));
    for (auto it = held.end(); it != held.begin();) in.push_back(KeyInput(*--it, true));
    Send(in);
}

bool PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> in;
    for (WORD k : keys) in.push_back(KeyInput(k, false));
    for (auto it = keys.end(); it != keys.begin();) in.push_back(KeyInput(*--it, true));
    return Send(in);
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> in;
    for (wchar_t ch : text)
        for (bool up : {false, true}) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = ch;
            i.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            in.push_back(i);
        }
    Send(in);
}

POINT ScreenPoint(HWND wnd, int x, int y) {
    POINT pt{x, y};
    ::ClientToScreen(wnd, &pt);
    return pt;
}

POINT Centre(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool WaitApp(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (gui::Application) gui::Application->ProcessMessages();
        if (cond()) return true;
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpApp(DWORD ms) { WaitApp([] { return false; }, ms); }

}  // namespace testing_support
