#include "toolkit/TaskBarList.h"

#include "toolkit/QuorvinPlacement.h"

gui::ComPtr<ITaskbarList> TaskBarIntf;
bool TaskBarTabAdded = false;

void TaskBarInit() {
    static const CLSID kClsid = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
    static const IID kIid = {0x56FDF342, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
    TaskBarIntf.reset();
    ::CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, kIid, TaskBarIntf.put_void());
    TaskBarTabAdded = false;
}

void TaskBarFree() {
    TaskBarIntf.reset();
    TaskBarTabAdded = false;
}

void TaskBarAddTab(HWND wnd) {
    if (!TaskBarIntf || TaskBarTabAdded) return;
    TaskBarIntf->HrInit();
    TaskBarIntf->AddTab(wnd);
    TaskBarIntf->ActivateTab(wnd);
    TaskBarTabAdded = true;
}

void TaskBarDeleteTab(HWND wnd) {
    if (!TaskBarIntf) return;
    TaskBarIntf->HrInit();
    TaskBarIntf->DeleteTab(wnd);
    TaskBarTabAdded = false;
}

void TaskBarFollowMonitor(HWND wnd, int& monitor) {
    const int now = GetWindowMonitorIndex(wnd);
    if (now == monitor) return;
    monitor = now;
    // The shell takes the button away before it can take the same window's
    // button anew.
    TaskBarDeleteTab(wnd);
    ::Sleep(100);
    TaskBarAddTab(wnd);
}
