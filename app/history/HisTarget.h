// THisTarget: the window the user was in before the history window, and
// acting on an entry for it: pasting a text with synthesized keys, opening
// files, programs and folders, typing a folder into a file dialog's
// file-name box or an Explorer window's address bar (HisJump.cpp).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct THisSettings;

// What acting on the target needs from the history window.
struct THisTargetLinks {
    // The history window: owner of what is started, and it holds the mouse
    // while an Explorer address bar is clicked.
    std::function<HWND()> OwnWindow;
    // The target differs from the previous determination's (0: none).
    std::function<void(HWND target)> TargetChanged;
    // Puts the text first in history list c and refills that category of
    // the tray history menu.
    std::function<void(int c, const std::wstring& text)> Record;
};

class THisTarget {
public:
    THisTarget(const THisSettings& settings, THisTargetLinks links);

    // Notes the foreground window when it is one of another program (the
    // taskbar aside).
    void Proc_RememberFront(HWND foreground);
    // Chooses the target: the program window just below the program's own
    // in Z order, unless it is one that cannot take a paste or a folder.
    // Sets MClipHandle; on a change tells TargetChanged.
    void Proc_GetTarget();
    // Acts on entry s of category c: action 0 the main action (TBexe), 1 the
    // folder action of TBUpExp, 2 that of TBUpFol.
    void Proc_ExecuteEntry(int c, std::wstring s, int action);
    // Brings the target to the front and sends it the paste keys.
    void Proc_Paste();
    // The text goes to the clipboard and, when there is a target, is pasted
    // into it; a text that did not reach the clipboard is not pasted (the
    // paste would put in whatever the clipboard held before).
    void Proc_CopyAndPaste(const std::wstring& text);
    // Types the folder into the target file dialog's file-name box and
    // presses Enter, so the dialog goes there (HisJump.cpp).
    void Proc_PasteDialogPath(const std::wstring& folder);
    // Types the folder into the target Explorer window's address bar and
    // presses Enter (HisJump.cpp).
    void Proc_JumpExplorer(const std::wstring& folder);
    // The address-jump window's jump to the folder in the target; false when
    // it did not go there.
    bool Proc_AddressJump(const std::wstring& folder);

    // The target window, 0 when there is none.
    HWND MClipHandle = nullptr;
    // The last window of another program the heartbeat saw in front (the
    // taskbar aside): the target when the Z-order walk finds none.
    HWND MFrontWin = nullptr;
    // The target of the previous determination (TargetChanged only with it).
    HWND MClipHandleB = nullptr;
    // Ctrl+Enter was pressed: the next program start asks for options first.
    bool FExeCtrlKey = false;
    // Explorer windows have tabs: their address bar cannot be driven.
    bool FWindows11_22H2Moment4 = false;
    // The file-name box found in the last file dialog typed into.
    HWND MDlgEdit = nullptr;

private:
    const THisSettings& settings_;
    THisTargetLinks links_;
};
