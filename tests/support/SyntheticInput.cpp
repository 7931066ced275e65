#include "tests/support/SyntheticInput.h"

#include <vector>

#include "gui/Application.h"

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
