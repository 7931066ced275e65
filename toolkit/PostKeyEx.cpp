#include "toolkit/PostKeyEx.h"

#include <cstring>

#include "gui/Application.h"

namespace {

struct HeldKey {
    TShiftState flag;
    BYTE key;
};
const HeldKey kHeldKeys[] = {
    {ssShift, VK_SHIFT},   {ssAlt, VK_MENU},     {ssCtrl, VK_CONTROL},
    {ssLeft, VK_LBUTTON},  {ssRight, VK_RBUTTON}, {ssMiddle, VK_MBUTTON},
};

// Puts the thread's keyboard state back however the scope is left.
class KeyboardStateScope {
public:
    KeyboardStateScope() noexcept { saved_ = ::GetKeyboardState(state_) != FALSE; }
    ~KeyboardStateScope() {
        if (saved_) ::SetKeyboardState(state_);
    }
    KeyboardStateScope(const KeyboardStateScope&) = delete;
    KeyboardStateScope& operator=(const KeyboardStateScope&) = delete;

private:
    BYTE state_[256] = {};
    bool saved_ = false;
};

// Handles the messages waiting for this thread once. Without an application
// object (a caller outside the program) the same loop runs here.
void ProcessPendingMessages() {
    if (gui::Application) {
        gui::Application->ProcessMessages();
        return;
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it to the loop that is waiting for it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

void PostKeyWithShift(HWND wnd, WORD key, TShiftState shift, bool specialKey) {
    if (!::IsWindow(wnd)) return;

    const bool alt = (shift & ssAlt) != 0;
    LPARAM lParam = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (specialKey) lParam |= 0x01000000;
    if (alt) lParam |= 0x20000000;

    KeyboardStateScope restore;
    BYTE held[256];
    std::memset(held, 0, sizeof(held));
    for (const HeldKey& k : kHeldKeys)
        if (shift & k.flag) held[k.key] = 0x80;
    ::SetKeyboardState(held);

    const LPARAM upParam = static_cast<LPARAM>(static_cast<ULONG_PTR>(lParam) | 0xC0000000u);
    ::PostMessageW(wnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, lParam);
    ::PostMessageW(wnd, alt ? WM_SYSKEYUP : WM_KEYUP, key, upParam);

    ProcessPendingMessages();
}
