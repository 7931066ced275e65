// THisForm: the tray history menu. The main form owns PPLMenu and its 200
// entry items (MPPList[c*40 + r]: slots 0-19 history, 20-39 favourites);
// the history window fills them and acts on a pick.
#include "app/history/His.h"

#include "app/Globals.h"
#include "app/history/AdrJump.h"
#include "app/history/HisPaths.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

namespace {

std::wstring ClassNameOf(HWND wnd) {
    if (!wnd) return L"";
    wchar_t buf[260] = {};
    ::GetClassNameW(wnd, buf, 260);
    return buf;
}

}  // namespace

void THisForm::Proc_PPListSet(int c) {
    // The main form's entry items are not made yet; there is nothing to fill.
}

void THisForm::Proc_PPListClick(int tag) {
    if (tag < 0) return;
    const int c = tag / 1000, k = (tag % 1000) / 100, i = (tag % 1000) % 100;
    if (!THisLists::ValidCategory(c) || k > 1 || i >= 99) return;
    const gui::TStringList& entries = MFileList[k * kHisCategories + c];
    // The list may have changed since the menu was filled.
    if (i >= entries.Count()) return;
    // The entry as stored: the caption's "&" escapes are the caption's only.
    const std::wstring s = entries[i];

    HWND owner = Handle();
    auto explorer = [&](const std::wstring& params) {
        ShellExecuteOwned(owner, ExplorerPath, params, L"", SW_SHOWNORMAL);
    };
    switch (c) {
        case 0:
            // A text that did not reach the clipboard is not pasted: the
            // paste would put in whatever the clipboard held before.
            if (SetClipboardTextRetry(s)) {
                Proc_GetTarget();
                if (MClipHandle) Proc_Paste();
            }
            break;
        case 1:
            if (FileExistsNoRedirect(s)) ShellExecuteOwned(owner, s, L"", FolderOfPath(s), SW_SHOWNORMAL);
            break;
        case 2:
            if (FileExistsNoRedirect(s)) ShellExecuteNoRedirect(owner, s, L"", FolderOfPath(s), SW_SHOWNORMAL);
            break;
        default: {
            if (!DirectoryExistsNoRedirect(s)) break;
            if (::GetAsyncKeyState(VK_SHIFT) & 0x8000) {
                if (c == 4) explorer(L" /e," + Quoted(s));
                else ShellExecuteOwned(owner, s, L"", FolderOfPath(s), SW_SHOWNORMAL);
                break;
            }
            Proc_GetTarget();
            const wchar_t* explorerClass = c == 4 ? L"ExploreWClass" : L"CabinetWClass";
            if (IsFileDialogWindow(MClipHandle)) {
                Proc_PasteDialogPath(s);
            } else if (ClassNameOf(MClipHandle) == explorerClass && !FWindows11_22H2Moment4) {
                Proc_JumpExplorer(s);
            } else {
                bool jumped = false;
                if (AdrJumpForm) {
                    AdrJumpForm->MTargetHandle = MClipHandle;
                    jumped = AdrJumpForm->Func_JumpExp(FolderOfPath(s));
                }
                if (!jumped) {
                    if (c == 4) explorer(L" /select," + Quoted(s));
                    else ShellExecuteOwned(owner, s, L"", FolderOfPath(s), SW_SHOWNORMAL);
                }
            }
            break;
        }
    }
}
