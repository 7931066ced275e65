// THisTrayMenu: filling the tray history menu and acting on a pick.
#include "app/history/HisMenu.h"

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/HisLists.h"
#include "app/history/HisMenuText.h"
#include "app/history/HisJump.h"
#include "app/history/HisPaths.h"
#include "app/history/HisTarget.h"
#include "gui/Canvas.h"
#include "gui/Handles.h"
#include "gui/Screen.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

namespace {

// The font the menus are drawn in.
void MenuFont(gui::TFont& font) {
    const gui::TFont menu = gui::Screen.MenuFont();
    font.SetName(menu.Name());
    font.SetCharset(menu.Charset());
    font.SetHeight(menu.Height());
}


// Clears the flag however the fill ends.
struct FlagScope {
    bool& flag;
    explicit FlagScope(bool& f) : flag(f) { flag = true; }
    ~FlagScope() { flag = false; }
};

}  // namespace

THisTrayMenu::THisTrayMenu(THisLists& lists, THisTarget& target, std::function<HWND()> ownWindow)
    : lists_(lists), target_(target), ownWindow_(std::move(ownWindow)) {}

void THisTrayMenu::Proc_PPListSet(int c) {
    if (!THisLists::ValidCategory(c) || !lists_.Settings.MCHKHisMenuItem[c]) return;
    TTrayForm* tray = TrayForm;
    if (!tray || !tray->PPMenuWide || !tray->PPMenuNarrow || !tray->PPIconMenu || !tray->PPMenuFav) return;
    FlagScope filling(FPPLSet);
    if (c != 0) lists_.Proc_PruneList(c);

    int g = tray->PPMenuWide->Checked() ? 32 : 64;
    if (tray->PPMenuNarrow->Checked()) g /= 2;
    const bool icons = c != 0 && tray->PPIconMenu->Checked();
    const bool showFav = tray->PPMenuFav->Checked();

    // Captions are measured in the menus' own font.
    gui::TBitmap measure(1, 1);
    gui::TCanvas& canvas = measure.Canvas();
    MenuFont(canvas.Font());
    int fontSize = canvas.Font().Size();
    if (fontSize < 0) fontSize = -fontSize;
    const TTextWidthFn width = [&](const std::wstring& text) { return canvas.TextWidth(text); };

    for (int r = 0; r < 40; ++r) {
        const int k = r < 20 ? 0 : 1, i = r - 20 * k, slot = c * 40 + r;
        gui::TMenuItem* item = tray->MPPList[slot];
        if (!item) continue;
        item->SetCaption(L"(空)");
        item->SetEnabled(false);
        SetMenuItemIcon(item, nullptr);
        item->SetVisible(!(k == 1 && !showFav));

        const gui::TStringList& entries = lists_.MFileList[k * kHisCategories + c];
        if (i >= entries.Count()) continue;
        const std::wstring s = entries[i];
        if (icons) SetMenuItemIcon(item, gui::IconHandle(GetFileIconNoRedirect(s)).get());
        item->SetCaption(HisMenuCaption(c, s, g, fontSize, width));
        item->SetEnabled(true);
        // Network entries stay enabled: testing them could stall the menu.
        if (s.find(L"\\\\") == std::wstring::npos) {
            if (c == 1 || c == 2) item->SetEnabled(FileExistsNoRedirect(s));
            else if (c == 3 || c == 4) item->SetEnabled(DirectoryExistsNoRedirect(s));
        }
    }
}

void THisTrayMenu::Proc_PPListClick(int tag) {
    if (tag < 0) return;
    const int c = tag / 1000, k = (tag % 1000) / 100, i = (tag % 1000) % 100;
    if (!THisLists::ValidCategory(c) || k > 1 || i >= 99) return;
    const gui::TStringList& entries = lists_.MFileList[k * kHisCategories + c];
    // The list may have changed since the menu was filled.
    if (i >= entries.Count()) return;
    // The entry as stored: the caption's "&" escapes are the caption's only.
    const std::wstring s = entries[i];

    HWND owner = ownWindow_();
    auto explorer = [&](const std::wstring& params) {
        ShellExecuteOwned(owner, ExplorerPath, params, L"", SW_SHOWNORMAL);
    };
    switch (c) {
        case 0:
            target_.Proc_CopyAndPaste(s);
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
            target_.Proc_GetTarget();
            const wchar_t* explorerClass = c == 4 ? L"ExploreWClass" : L"CabinetWClass";
            if (IsFileDialogWindow(target_.MClipHandle)) {
                target_.Proc_PasteDialogPath(s);
            } else if (WindowClassName(target_.MClipHandle) == explorerClass && !target_.FWindows11_22H2Moment4) {
                target_.Proc_JumpExplorer(s);
            } else {
                if (!target_.Proc_AddressJump(FolderOfPath(s))) {
                    if (c == 4) explorer(L" /select," + Quoted(s));
                    else ShellExecuteOwned(owner, s, L"", FolderOfPath(s), SW_SHOWNORMAL);
                }
            }
            break;
        }
    }
}
