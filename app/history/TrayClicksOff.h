// TrayClicksOff: while it lives, the main tray icon and the RAM icon ignore
// the mouse, so a dialog of the history window cannot be opened twice or
// left behind a tray menu.
#pragma once

class TrayClicksOff {
public:
    TrayClicksOff() { Set(false); }
    ~TrayClicksOff() { Set(true); }
    TrayClicksOff(const TrayClicksOff&) = delete;
    TrayClicksOff& operator=(const TrayClicksOff&) = delete;

private:
    static void Set(bool enabled);
};
