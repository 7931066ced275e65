// Mouse buttons and the shift state that mouse and key events carry.
#pragma once

#include <windows.h>

namespace gui {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = unsigned;

// The shift flag of a button (ssLeft, ssRight, ssMiddle).
constexpr TShiftState ButtonShift(TMouseButton button) {
    return button == TMouseButton::mbLeft ? ssLeft : button == TMouseButton::mbRight ? ssRight : ssMiddle;
}

// The shift state of a mouse message from its key flags (MK_SHIFT, MK_CONTROL
// and the buttons); Alt, which the flags do not carry, as the thread sees it.
inline TShiftState MouseShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// Shift, Ctrl and Alt as the thread's current message saw them (GetKeyState).
inline TShiftState KeyShiftState() {
    TShiftState s = 0;
    if (::GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// Shift, Alt and Ctrl as held right now (GetAsyncKeyState).
inline TShiftState AsyncShiftState() {
    TShiftState s = 0;
    if (::GetAsyncKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (::GetAsyncKeyState(VK_MENU) < 0) s |= ssAlt;
    if (::GetAsyncKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    return s;
}

}  // namespace gui
