// THisForm: the mouse gestures on a list row and the window's smaller
// details. A right click with Ctrl shows the shell's context menu of the
// entry, with Shift opens its folder in the companion folder tool; a right
// click with Alt on a file row, moved out of the window within half a
// second, drags the file out to another program. The window keeps its
// taskbar button on the taskbar of the monitor it moves to, and lists the
// drives for the settings page.
#include "app/history/His.h"

#include "app/Globals.h"
#include "app/history/HisPaths.h"
#include "gui/Application.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/Wow64.h"

namespace {

// How long the pointer has to leave the window before a drag out starts.
constexpr DWORD kDragOutPauseMs = 500;

constexpr gui::TShiftState kModifiers = gui::ssShift | gui::ssAlt | gui::ssCtrl;

bool IsNetworkPath(const std::wstring& s) { return s.find(L"\\\\") != std::wstring::npos; }

}  // namespace

void THisForm::WireListGestures() {
    for (gui::TListBox* list : {ListBoxHis, ListBoxFav}) {
        list->OnMouseDown = [this](gui::TControl*, gui::TMouseButton button, gui::TShiftState shift, int, int) {
            Proc_ListRightClick(button, shift);
            Proc_ListDragOut(button, shift);
        };
    }
    if (gui::Application) {
        gui::Application->OnShowHint = [this](std::wstring& hintStr, bool& canShow, gui::THintInfo& info) {
            Proc_ShowListHint(hintStr, canShow, info);
        };
    }
}

void THisForm::UnwireListGestures() {
    if (gui::Application) gui::Application->OnShowHint = nullptr;
}

gui::TListBox* THisForm::GestureList() {
    return ActiveControl() == ListBoxHis ? ListBoxHis : ListBoxFav;
}

bool THisForm::GestureEntry(std::wstring& entry) {
    gui::TListBox* list = GestureList();
    const int k = list == ListBoxHis ? 0 : 1;
    const gui::TStringList& entries = Lists.MFileList[k * kHisCategories + Category()];
    const int row = list->ItemIndex();
    if (row < 0 || row >= entries.Count()) return false;
    entry = entries[row];
    return true;
}

void THisForm::Proc_SetListAutoPopup(gui::TShiftState shift) {
    // The window's own menu only for a plain right click; with a modifier
    // the gesture is the click's meaning instead.
    const bool plain = (shift & kModifiers) == 0;
    for (gui::TPopupMenu* menu : {PPMenuList, PPMenuFav})
        if (menu) menu->AutoPopup = plain;
}

void THisForm::Proc_ListRightClick(gui::TMouseButton button, gui::TShiftState shift) {
    Proc_SetListAutoPopup(shift);
    std::wstring s;
    if (!GestureEntry(s) || IsNetworkPath(s)) return;
    const bool folder = DirectoryExistsNoRedirect(s);
    if (!folder && !FileExistsNoRedirect(s)) return;
    if (button != gui::TMouseButton::mbRight) return;
    if (shift & gui::ssCtrl) {
        gui::TStringList none;
        ContextMenuEx->SetFiles(&none);
        POINT pt{};
        ::GetCursorPos(&pt);
        ::ScreenToClient(Handle(), &pt);
        Wow64RedirectionOff off;
        ContextMenuEx->DoMenu(Handle(), s, pt.x, pt.y);
    } else if ((shift & gui::ssShift) && FileExistsSafe(BrackwenExe)) {
        const std::wstring dir = folder ? s : FolderOfPath(s);
        ShellExecuteOwned(Handle(), BrackwenExe, Quoted(dir), FolderOfPath(BrackwenExe), SW_SHOWNORMAL);
    }
}

void THisForm::Proc_ListDragOut(gui::TMouseButton button, gui::TShiftState shift) {
    gui::TListBox* list = GestureList();
    list->DragMode = gui::TDragMode::dmAutomatic;
    Proc_SetListAutoPopup(shift);
    std::wstring s;
    if (Category() != 1 || !GestureEntry(s)) return;
    if (!DirectoryExistsNoRedirect(s) && !FileExistsNoRedirect(s)) return;
    if (button != gui::TMouseButton::mbRight || !(shift & gui::ssAlt)) return;
    list->DragMode = gui::TDragMode::dmManual;
    gui::TStringList none;
    DropSourceEx->SetFiles(&none);
    ::Sleep(kDragOutPauseMs);
    POINT pt{};
    ::GetCursorPos(&pt);
    HWND under = ::WindowFromPoint(pt);
    HWND top = under ? ::GetAncestor(under, GA_ROOT) : nullptr;
    if (top == Handle()) return;
    if (gui::Application && top == gui::Application->Handle()) return;
    Wow64RedirectionOff off;
    DropSourceEx->DoDrop(Handle(), s);
}

void THisForm::WMMove() {
    // The button follows the window to that monitor's taskbar.
    if (HandleAllocated() && Visible()) TaskBarFollowMonitor(Handle(), MMonNo);
}

void THisForm::Proc_GetDriveList(gui::TStringList* list) {
    if (!list) return;
    list->Clear();
    wchar_t roots[105] = {};
    const DWORD n = ::GetLogicalDriveStringsW(104, roots);
    if (n == 0 || n > 104) return;
    for (const wchar_t* root = roots; *root; root += wcslen(root) + 1) {
        std::wstring upper = root;
        ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        std::wstring label;
        GetVolumeLabelStr(root, label);
        list->Add(upper + L" [" + label + L"]");
    }
}
