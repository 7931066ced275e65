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

// Shift, Alt and Ctrl as held right now (GetAsyncKeyState).
inline TShiftState AsyncShiftState() {
    TShiftState s = 0;
    if (::GetAsyncKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (::GetAsyncKeyState(VK_MENU) < 0) s |= ssAlt;
    if (::GetAsyncKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    return s;
}

}  // namespace gui
