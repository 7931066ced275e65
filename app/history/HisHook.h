// THisHook: the tray history menu on a desktop middle click, through the
// mouse hook of the hook library beside the program, and the history
// window's three global hot keys.
#pragma once

#include <windows.h>

#include <functional>

#include "gui/Handles.h"

struct THisSettings;
class THookHotKey;

// What the hook needs from the history window.
struct THisHookLinks {
    // The history window: it gets the hook's clicks and is brought forward
    // before the tray history menu pops up.
    std::function<HWND()> OwnWindow;
    // Hot key 1: the window shows, is restored or comes to the front.
    std::function<void()> ShowWindow;
    // The window's hot-key component; nullptr before it is made.
    std::function<THookHotKey*()> HotKeys;
};

class THisHook {
public:
    THisHook(const THisSettings& settings, THisHookLinks links);
    ~THisHook();
    THisHook(const THisHook&) = delete;
    THisHook& operator=(const THisHook&) = delete;

    // Loads the hook library named like the program file with ".dll";
    // without it there is no desktop click.
    void Proc_LoadLibrary();
    // Removes the mouse hook and frees the library.
    void Proc_FreeLibrary();
    // Every heartbeat tick: the mouse hook is installed exactly while the
    // option is on and the cursor rests on the desktop.
    void Proc_CheckHook();
    // The window is shown: an installed hook is installed again, so it
    // stays the newest one.
    void Proc_RenewHook();
    // Hot key 1 shows the window, 2 pops the tray history menu up (or
    // closes it), 3 shows or hides the launcher; WM_DESKTOPMCLICK is 2.
    void HookHotKeyHotKey(int index);
    // Sends the modifier rule of ComboBoxHook to the hook library.
    void Proc_SetHookKey();
    // Registers (or removes) the hot keys of the non-empty hot-key texts.
    void Proc_AddHotKeys();
    void Proc_DeleteHotKeys();

    // The hook library loaded by the window; empty: no desktop click.
    gui::Module MDLL;
    // The desktop mouse hook is installed by this window.
    bool FHook = false;

private:
    const THisSettings& settings_;
    THisHookLinks links_;
};
