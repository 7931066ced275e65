#include "toolkit/QuorvinPlacement.h"

#include <shellapi.h>
#include <vector>

#include "gui/Callback.h"
#include "toolkit/QuorvinWindows.h"

namespace {

bool OnSomeMonitor(int x, int y) {
    return ::MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL) != nullptr;
}

BOOL CALLBACK CollectMonitorProc(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    return gui::GuardCallback(FALSE, [&] {
        reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
        return TRUE;
    });
}

}  // namespace

bool IsTaskbarAlwaysOnTop() {
    APPBARDATA data{sizeof(data)};
    return (::SHAppBarMessage(ABM_GETSTATE, &data) & ABS_ALWAYSONTOP) != 0;
}

int GetTaskbarEdge(RECT& r) {
    APPBARDATA data{sizeof(data)};
    ::SHAppBarMessage(ABM_GETTASKBARPOS, &data);
    r = data.rc;
    switch (data.uEdge) {
        case ABE_TOP: return TaskbarEdgeTop;
        case ABE_BOTTOM: return TaskbarEdgeBottom;
        case ABE_LEFT: return TaskbarEdgeLeft;
        case ABE_RIGHT: return TaskbarEdgeRight;
        default: return TaskbarEdgeNone;
    }
}

bool IsRectOffScreen(int x, int y, int w, int h) {
    return !OnSomeMonitor(x, y) && !OnSomeMonitor(x + w, y + h) && !OnSomeMonitor(x + w, y) &&
           !OnSomeMonitor(x, y + h) && !OnSomeMonitor(x + w / 2, y + h / 2);
}

int GetWindowMonitorIndex(HWND wnd) {
    HMONITOR nearest = ::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
    std::vector<HMONITOR> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitorProc, reinterpret_cast<LPARAM>(&monitors));
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i] == nearest) return static_cast<int>(i);
    return 0;
}

void EnsureWindowOnScreen(HWND wnd) {
    if (::IsZoomed(wnd)) return;
    int x = 0, y = 0, w = 0, h = 0;
    if (!GetWindowBounds(wnd, x, y, w, h) || IsRectOffScreen(x, y, w, h))
        PlaceWindowInWorkArea(wnd, PlaceCentre);
}

void PlaceWindowInWorkArea(HWND wnd, int mode) {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    // The work area leaves the taskbar out; windows may cover it.
    RECT tb{};
    switch (GetTaskbarEdge(tb)) {
        case TaskbarEdgeTop: area.top -= tb.bottom; break;
        case TaskbarEdgeBottom: area.bottom += tb.bottom - tb.top; break;
        case TaskbarEdgeLeft: area.left -= tb.right; break;
        case TaskbarEdgeRight: area.right += tb.right - tb.left; break;
        default: break;
    }
    const int left = area.left, top = area.top, right = area.right, bottom = area.bottom;
    int x = 0, y = 0, w = 0, h = 0;
    if (!GetWindowBounds(wnd, x, y, w, h)) return;
    switch (mode) {
        case 0: y = top; h = bottom - top; break;
        case 1: x = left; w = right - left; break;
        case 2: y = top; break;
        case 3: y = bottom - h; break;
        case 4: x = left; break;
        case 5: x = right - w; break;
        case 6: x = left; y = top; break;
        case 7: x = right - w; y = top; break;
        case 8: x = left; y = bottom - h; break;
        case 9: x = right - w; y = bottom - h; break;
        // Centred on the primary screen, whose origin is 0, 0.
        case 10: x = (right - w) / 2; y = (bottom - h) / 2; break;
        case 11: x = left; y = top; w = right; h = bottom / 2; break;
        case 12: x = left; y = bottom / 2; w = right; h = bottom / 2; break;
        case 13: x = left; y = top; w = right / 2; h = bottom - top; break;
        case 14: x = right / 2; y = top; w = right / 2; h = bottom - top; break;
        default: break;
    }
    ::MoveWindow(wnd, x, y, w, h, TRUE);
}
