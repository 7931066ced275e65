// Posting a key press straight into a window's message queue, with chosen
// modifier keys and mouse buttons shown as held in the calling thread's
// keyboard state while the program handles its pending messages. The user's
// keyboard focus stays where it is.
#pragma once

#include <windows.h>

#include "toolkit/QuorvinShortCut.h"

// Posts WM_KEYDOWN and WM_KEYUP (WM_SYSKEYDOWN and WM_SYSKEYUP with ssAlt)
// for key to wnd. The scan code goes into bits 16-23 of lParam, specialKey
// marks an extended key (bit 24), ssAlt sets the context code (bit 29), the
// key-up also carries bits 30 and 31. Of shift, ssShift, ssAlt, ssCtrl,
// ssLeft, ssRight and ssMiddle count. The thread's keyboard state is put
// back before returning; a handle that is not a window does nothing at all.
void PostKeyWithShift(HWND wnd, WORD key, TShiftState shift, bool specialKey);
