// The shell's collection of open Explorer windows, as the address jump uses
// it: each window's location, handle, navigation and ready state. The real
// collection goes through the shell's automation objects; the jump takes the
// collection from a source it is given, so another source can stand in
// where the shell has no such collection.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <memory>
#include <string>

// One window of the collection.
class TShellBrowser {
public:
    virtual ~TShellBrowser() = default;
    // The location shown ("file:///C:/..." for a folder); false when it cannot be read.
    virtual bool LocationURL(std::wstring& url) = 0;
    // The window's top-level handle; 0 when it cannot be read.
    virtual HWND WindowHandle() = 0;
    // Asks the window to show the location; false when the request failed.
    virtual bool Navigate(const std::wstring& location) = 0;
    // False when the state cannot be read.
    virtual bool ReadyState(READYSTATE& state) = 0;
};

class TShellWindowList {
public:
    virtual ~TShellWindowList() = default;
    // The number of windows; -1 when it cannot be read.
    virtual int Count() = 0;
    // Window number index; nullptr when that item cannot be had.
    virtual std::unique_ptr<TShellBrowser> Item(int index) = 0;
};

// A fresh collection of the shell's windows; nullptr when the shell offers none.
std::unique_ptr<TShellWindowList> OpenShellWindows();
