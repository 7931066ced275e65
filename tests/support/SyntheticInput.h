// Mouse and keyboard input made with SendInput, as a user's would arrive,
// and a wait that lets the application handle its messages meanwhile.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

namespace testing_support {

// Moves the cursor to the screen point, then sends the button flags given
// (MOUSEEVENTF_LEFTDOWN and the like) there, in one batch.
void MouseAt(POINT screen, std::initializer_list<DWORD> buttons = {});
void ClickAt(POINT screen, bool twice = false);
// Puts the cursor on the screen point and waits until the display itself
// reports it there. Wine answers GetCursorPos with the point last set for
// about 100 ms and then with the display's pointer, which does not move while
// another program holds it (one with a menu open does); a second move to the
// point the system already holds is not passed on at all. So each attempt
// steps off the point and back, and the point must still read the same well
// after the move. The failure names what holds the pointer.
testing::AssertionResult CursorRestsAt(POINT screen, DWORD timeoutMs = 10000);
// The threads of other programs that hold the pointer (a menu open, a window
// being moved or sized, the mouse captured) with their programs, and the
// cursor's clip rectangle when it is not the whole screen: what keeps a
// cursor move from reaching the display.
std::string PointerHolders();
// Every reading of the cursor over ms is the point: nothing moved it.
testing::AssertionResult CursorStaysAt(POINT screen, DWORD ms = 250);
void MiddleClickAt(POINT screen);
// One wheel notch at the point: delta > 0 away from the user. The keys are
// held around it.
void WheelAt(POINT screen, int delta, std::initializer_list<WORD> held = {});
// Presses and releases the key with the modifier keys held around it.
void PressKey(WORD vk, std::initializer_list<WORD> held = {});
// Keys pressed in the order given and released in reverse, as one batch;
// true when all of them were sent.
bool PressKeys(std::initializer_list<WORD> keys);
// Types the characters as Unicode key strokes, whatever the keyboard layout.
void TypeText(const std::wstring& text);

// The screen point of the client point (x, y) of the window, and its centre.
POINT ScreenPoint(HWND wnd, int x, int y);
POINT Centre(HWND wnd);

// Waits for cond with a deadline while the application object handles the
// messages (dialog keys, menu shortcuts, the message hook), as in the program.
bool WaitApp(const std::function<bool()>& cond, DWORD timeoutMs);
void PumpApp(DWORD ms);

}  // namespace testing_support
