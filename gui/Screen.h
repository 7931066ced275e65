// TScreen: the screen as the program's windows see it. The cursor every
// window of the program shows while one is set (the hourglass of a long
// task), the system's menu and icon-title fonts, and the monitors: how many,
// their bounds and work areas, the one a point or a window is on.
//
// Fonts and monitors are read from the system on every call, so they follow
// a change of the desktop's settings without any notice being handled.
#pragma once

#include <windows.h>
#include <vector>

#include "gui/Graphics.h"

namespace gui {

enum class TCursor { crDefault, crArrow, crHourGlass, crSizeAll, crHandPoint, crIBeam, crNo, crSizeNS, crSizeWE };

struct TMonitor {
    HMONITOR Handle = nullptr;  // nullptr: no monitor
    int MonitorNum = -1;        // index among the screen's monitors
    bool Primary = false;
    RECT BoundsRect{};
    RECT WorkareaRect{};
};

class TScreen {
public:
    // While not crDefault, every window of the program shows this cursor
    // over its client area instead of its own; setting it shows it at once.
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor cursor);
    // The system cursor behind a TCursor (crDefault: the arrow).
    static HCURSOR CursorHandle(TCursor cursor) noexcept;

    // The fonts the system draws menus and icon titles in (name, height,
    // style and charset as the system has them).
    TFont MenuFont() const;
    TFont IconFont() const;

    // The primary monitor's size and work area.
    int Width() const noexcept;
    int Height() const noexcept;
    RECT WorkAreaRect() const noexcept;

    int MonitorCount() const noexcept;
    // Monitors in the system's enumeration order; throws gui::Exception for
    // an index out of range.
    TMonitor Monitors(int index) const;
    // The monitor that holds the point (the nearest one when `nearest`;
    // otherwise Handle is nullptr for a point on no monitor).
    TMonitor MonitorFromPoint(POINT pt, bool nearest = true) const;
    // The monitor that holds the largest part of the window, else the nearest.
    TMonitor MonitorFromWindow(HWND wnd) const;

private:
    TMonitor Describe(HMONITOR monitor) const;
    std::vector<HMONITOR> Enumerate() const;
    TCursor cursor_ = TCursor::crDefault;
};

// The program's screen.
extern TScreen Screen;

// Shows a cursor for the program's windows while it lives and puts back
// the one before (an hourglass over a long task).
class TCursorScope {
public:
    explicit TCursorScope(TCursor cursor) : old_(Screen.Cursor()) { Screen.SetCursor(cursor); }
    ~TCursorScope() { Screen.SetCursor(old_); }
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;

private:
    TCursor old_;
};

}  // namespace gui
