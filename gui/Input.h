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

namespace detail {
// Shift, Ctrl and Alt by a key-state function (GetKeyState, GetAsyncKeyState).
template <class KeyState>
TShiftState HeldShift(KeyState keyState) {
    TShiftState s = 0;
    if (keyState(VK_SHIFT) < 0) s |= ssShift;
    if (keyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (keyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}
}  // namespace detail

// Shift, Ctrl and Alt as the thread's current message saw them (GetKeyState).
inline TShiftState KeyShiftState() { return detail::HeldShift(::GetKeyState); }

// Shift, Alt and Ctrl as held right now (GetAsyncKeyState).
inline TShiftState AsyncShiftState() { return detail::HeldShift(::GetAsyncKeyState); }

}  // namespace gui
