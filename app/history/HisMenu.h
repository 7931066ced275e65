// THisTrayMenu: the tray history menu. The main form owns PPLMenu and its
// 200 entry items (MPPList[c*40 + r]: slots 0-19 history, 20-39
// favourites); this fills them from the history window's lists and acts on
// a pick.
#pragma once

#include <windows.h>

#include <functional>

class THisLists;
class THisTarget;

class THisTrayMenu {
public:
    // ownWindow: the history window, owner of what a pick starts.
    THisTrayMenu(THisLists& lists, THisTarget& target, std::function<HWND()> ownWindow);

    // Fills the 40 entries of category c of the main form's history menu.
    void Proc_PPListSet(int c);
    // Acts on the entry the menu item with this tag stands for.
    void Proc_PPListClick(int tag);

    // Set while the history menu is being rebuilt.
    bool FPPLSet = false;

private:
    THisLists& lists_;
    THisTarget& target_;
    std::function<HWND()> ownWindow_;
};
