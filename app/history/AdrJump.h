// TAdrJumpForm: the hidden form that shows a folder in an Explorer window
// that is already open, through the shell's collection of open windows,
// preferring the window the caller names. It is created hidden at program
// start and never shown.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/history/ShellWindows.h"
#include "gui/Form.h"

class TAdrJumpForm : public gui::TForm {
public:
    explicit TAdrJumpForm(gui::TComponent* owner);

    // The Explorer window chosen by the last search, or none.
    std::unique_ptr<TShellBrowser> IEObj;
    // That window's handle, or 0.
    HWND IEHandle = nullptr;
    // The window to prefer, set by the caller before each jump.
    HWND MTargetHandle = nullptr;

    // Chooses the window: the one whose handle is MTargetHandle when it
    // shows a file-system folder, else the collection's first window.
    // IEHandle is set only when some window shows a file-system folder.
    void Func_FindExp();
    // Navigates the chosen window to the folder and waits until it shows it.
    // True when an Explorer window took the request and the folder exists.
    bool Func_JumpExp(const std::wstring& folder);

    // Where the collection comes from: the shell's own by default.
    std::function<std::unique_ptr<TShellWindowList>()> ShellWindowsSource = OpenShellWindows;
    // How long a navigation may take before the jump stops waiting for it,
    // so a hung Explorer cannot hold the program.
    DWORD MNavigateWaitMs = 10000;
};

extern TAdrJumpForm* AdrJumpForm;
