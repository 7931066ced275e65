#include "gui/Screen.h"

#include <string>

#include "gui/Exception.h"

namespace gui {

TScreen Screen;

namespace {

void FontFrom(TFont& font, const LOGFONTW& lf) {
    font.SetName(lf.lfFaceName);
    font.SetHeight(lf.lfHeight);
    font.SetCharset(lf.lfCharSet);
    TFontStyles style = 0;
    if (lf.lfWeight >= FW_BOLD) style |= fsBold;
    if (lf.lfItalic) style |= fsItalic;
    if (lf.lfUnderline) style |= fsUnderline;
    if (lf.lfStrikeOut) style |= fsStrikeOut;
    font.SetStyle(style);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM lp) {
    reinterpret_cast<std::vector<HMONITOR>*>(lp)->push_back(monitor);
    return TRUE;
}

}  // namespace

HCURSOR TScreen::CursorHandle(TCursor cursor) noexcept {
    const wchar_t* id = IDC_ARROW;
    switch (cursor) {
        case TCursor::crHourGlass: id = IDC_WAIT; break;
        case TCursor::crSizeAll: id = IDC_SIZEALL; break;
        case TCursor::crHandPoint: id = IDC_HAND; break;
        case TCursor::crIBeam: id = IDC_IBEAM; break;
        case TCursor::crNo: id = IDC_NO; break;
        case TCursor::crSizeNS: id = IDC_SIZENS; break;
        case TCursor::crSizeWE: id = IDC_SIZEWE; break;
        default: break;
    }
    return ::LoadCursorW(nullptr, id);
}

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    if (cursor != TCursor::crDefault) {
        ::SetCursor(CursorHandle(cursor));
        return;
    }
    // Back to each window's own cursor: the window under the mouse, when it
    // is one of this thread's, chooses it as on a mouse move.
    POINT pt{};
    ::GetCursorPos(&pt);
    HWND wnd = ::WindowFromPoint(pt);
    if (wnd && ::GetWindowThreadProcessId(wnd, nullptr) == ::GetCurrentThreadId()) {
        auto hit = static_cast<WORD>(::SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)));
        ::SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(hit, WM_MOUSEMOVE));
        return;
    }
    ::SetCursor(CursorHandle(TCursor::crArrow));
}

TFont TScreen::MenuFont() const {
    TFont font;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) FontFrom(font, ncm.lfMenuFont);
    return font;
}

TFont TScreen::IconFont() const {
    TFont font;
    LOGFONTW lf{};
    if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) FontFrom(font, lf);
    return font;
}

int TScreen::Width() const noexcept { return ::GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const noexcept { return ::GetSystemMetrics(SM_CYSCREEN); }

RECT TScreen::WorkAreaRect() const noexcept {
    RECT work{0, 0, Width(), Height()};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

std::vector<HMONITOR> TScreen::Enumerate() const {
    std::vector<HMONITOR> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

int TScreen::MonitorCount() const noexcept {
    int n = ::GetSystemMetrics(SM_CMONITORS);
    return n > 0 ? n : 1;
}

TMonitor TScreen::Describe(HMONITOR monitor) const {
    TMonitor m;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!monitor || !::GetMonitorInfoW(monitor, &mi)) return m;
    m.Handle = monitor;
    m.Primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
    m.BoundsRect = mi.rcMonitor;
    m.WorkareaRect = mi.rcWork;
    const std::vector<HMONITOR> all = Enumerate();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == monitor) m.MonitorNum = static_cast<int>(i);
    return m;
}

TMonitor TScreen::Monitors(int index) const {
    const std::vector<HMONITOR> all = Enumerate();
    if (index < 0 || index >= static_cast<int>(all.size()))
        throw Exception(L"モニターのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    return Describe(all[index]);
}

TMonitor TScreen::MonitorFromPoint(POINT pt, bool nearest) const {
    return Describe(::MonitorFromPoint(pt, nearest ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTONULL));
}

TMonitor TScreen::MonitorFromWindow(HWND wnd) const {
    return Describe(::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST));
}

}  // namespace gui
