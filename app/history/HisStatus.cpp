// THisForm: what the window shows for the selected entry. The status line
// describes it (the text itself, a document with the program that opens it
// and its file times, a program with its version, a folder with its times);
// the main, folder, context-menu and companion-tool buttons are enabled and
// hinted with what Enter, Alt+K and Alt+L will do for the current target
// window. The two lists' row hints are shown through the application's
// show-hint handler, asked again every 250 ms so they follow the mouse.
#include "app/history/His.h"

#include "app/Globals.h"
#include "app/history/HisJump.h"
#include "gui/Application.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

namespace {

constexpr int kStatusTextMax = 255;
constexpr int kListHintReshowMs = 250;
// Pictures of the tool bar: 0 the main button, 3 no target, 5 its plain picture.
constexpr int kImageMain = 0, kImageNoTarget = 3, kImagePlain = 5;

bool IsNetworkPath(const std::wstring& s) { return s.find(L"\\\\") != std::wstring::npos; }

std::wstring LongForm(const std::wstring& path) {
    if (IsNetworkPath(path)) return path;
    std::wstring longPath;
    GetLongPathNameStr(path, longPath);
    return longPath.empty() ? path : longPath;
}

// " (modified) [created]" of a file or folder, read with redirection off.
std::wstring TimesText(const std::wstring& path) {
    std::wstring modified, created;
    Wow64RedirectionOff off;
    GetFileTimeTexts(path, modified, created);
    return L" (" + modified + L") [" + created + L"]";
}

// The value of the version row with exactly this key; '' when there is none.
std::wstring VersionValue(const gui::TStringList& rows, const std::wstring& key) {
    for (int i = 0; i < rows.Count(); ++i) {
        const std::wstring& row = rows[i];
        if (row.size() < 17) continue;
        std::wstring name = row.substr(0, 16);
        name.erase(name.find_last_not_of(L' ') + 1);
        if (name == key) return row.substr(17);
    }
    return L"";
}

// A program's status text: its path, with its version and description
// when it carries version information.
std::wstring ProgramStatus(const std::wstring& path) {
    gui::TStringList rows;
    bool has;
    {
        Wow64RedirectionOff off;
        has = GetVersionInfoList(path, rows);
    }
    if (!has) return path;
    const std::wstring version = VersionValue(rows, L"FileVersion");
    std::wstring description = VersionValue(rows, L"FileDescription");
    if (description == version) description.clear();
    return path + L" (" + version + L") [" + description + L"]";
}

}  // namespace

void THisForm::Proc_SetTBexeImage() {
    if (!ImageListToolbar) return;
    gui::TIcon picture;
    if (Category() == 0 && !TBexeIcon.Empty()) {
        ImageListToolbar->ReplaceIcon(kImageMain, TBexeIcon);
    } else if (ImageListToolbar->GetIcon(Category() == 0 ? kImageNoTarget : kImagePlain, picture)) {
        ImageListToolbar->ReplaceIcon(kImageMain, picture);
    }
    if (ToolBar) ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);
}

void THisForm::Proc_ResetSelection() {
    ListBoxHis->SetItemIndex(-1);
    ListBoxFav->SetItemIndex(-1);
    StatusBar->SetSimpleText(L"");
    TBexe->Hint.clear();
    gui::TIcon plain;
    if (ImageListToolbar->GetIcon(kImagePlain, plain)) ImageListToolbar->ReplaceIcon(kImageMain, plain);
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);
}

void THisForm::Proc_ShowTargetIcon(HWND target) {
    if (target) {
        std::wstring exe;
        GetWindowExePath(target, exe);
        TBexeIcon.SetHandle(GetFileIconNoRedirect(exe));
    } else {
        TBexeIcon.Clear();
    }
    Proc_SetTBexeImage();
}

void THisForm::Proc_TargetHints(HWND target) {
    const std::wstring cls = WindowClassName(target);
    const bool dialog = target && IsFileDialogWindow(target);
    if (!TBexe) return;
    switch (Category()) {
        case 0:
            TBexe->Hint = target ? L"貼り付け [Enter]" : L"コピー [Enter]";
            Proc_ShowTargetIcon(target);
            break;
        case 3:
            TBUpExp->Hint = L"一つ上のフォルダを開く [ALT+K]";
            if (cls != L"CabinetWClass" && !dialog) {
                TBexe->Hint = L"開く [Enter]";
                TBUpFol->Hint = L"一つ上のフォルダを開く [ALT+L]";
            } else {
                TBexe->Hint = L"移動 [Enter]";
                TBUpFol->Hint = L"一つ上のフォルダに移動 [ALT+L]";
            }
            break;
        case 4:
            if (cls == L"ExploreWClass" || dialog) {
                TBexe->Hint = L"移動 [Enter]";
                TBUpExp->Hint = L"一つ上のフォルダに移動 [ALT+K]";
            } else {
                TBexe->Hint = L"開く [Enter]";
                TBUpExp->Hint = L"一つ上のフォルダを開く [ALT+K]";
            }
            TBUpFol->Hint = L"一つ上のフォルダを開く [ALT+L]";
            break;
        default:
            break;
    }
}

void THisForm::Proc_Execute(int list, int action) {
    gui::TToolButton* const buttons[3] = {TBexe, TBUpExp, TBUpFol};
    if (action < 0 || action > 2 || !buttons[action]->Enabled()) return;
    const int tab = Category();
    const int row = list == 0 ? ListBoxHis->ItemIndex() : ListBoxFav->ItemIndex();
    if (!THisLists::ValidCategory(tab) || (list != 0 && list != 1) || row < 0) return;
    const gui::TStringList& entries = Lists.MFileList[list * kHisCategories + tab];
    if (row >= entries.Count()) return;
    std::wstring s = entries[row];
    Target.Proc_ExecuteEntry(tab, s, action);

    // Whatever happened, the selection is gone and the buttons wait for the next.
    ListBoxHis->SetItemIndex(-1);
    ListBoxFav->SetItemIndex(-1);
    StatusBar->SetSimpleText(L"");
    for (gui::TToolButton* b : buttons) b->Hint.clear();
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    if (TBExeClose->Down()) Close();
}

void THisForm::Proc_DispStatus() {
    if (!PageControl) return;
    if (PageControl->ActivePage() == TabSheetEnv) {
        StatusBar->SetSimpleText(L"設定");
        return;
    }
    gui::TIcon plain;
    if (ImageListToolbar->GetIcon(kImagePlain, plain)) ImageListToolbar->ReplaceIcon(kImageMain, plain);
    gui::TWinControl* active = ActiveControl();
    gui::TListBox* list = active == ListBoxHis ? ListBoxHis : active == ListBoxFav ? ListBoxFav : nullptr;
    const int row = list ? list->ItemIndex() : -1;

    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    for (gui::TListBox* l : {ListBoxHis, ListBoxFav}) {
        l->Hint.clear();
        l->ShowHint = false;
    }
    StatusBar->SetSimpleText(L"");
    ListBoxHis->SetItemIndex(-1);
    ListBoxFav->SetItemIndex(-1);
    CBFindChange();
    ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);

    const int c = Category();
    const int k = list == ListBoxFav ? 1 : 0;
    const gui::TStringList& entries = Lists.MFileList[k * kHisCategories + c];
    if (list) list->SetItemIndex(row);
    if (!list || row < 0 || row >= entries.Count()) {
        ::InvalidateRect(ListBoxHis->Handle(), nullptr, TRUE);
        ::InvalidateRect(ListBoxFav->Handle(), nullptr, TRUE);
        return;
    }
    std::wstring s = entries[row];
    const bool companion = FileExistsSafe(BrackwenExe);
    auto enableAll = [&] {
        for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx}) b->SetEnabled(true);
        TBBrackwen->SetEnabled(companion);
    };
    auto clearHints = [&] {
        for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol}) b->Hint.clear();
    };
    auto showIcon = [&](const std::wstring& path) {
        gui::TIcon icon;
        icon.SetHandle(GetFileIconNoRedirect(path));
        if (!icon.Empty()) ImageListToolbar->ReplaceIcon(kImageMain, icon);
    };
    // The folder buttons of the file and program tabs.
    auto fileFolderHints = [&](const std::wstring& cls) {
        TBUpExp->Hint = cls == L"ExploreWClass" ? L"フォルダに移動 [ALT+K]" : L"フォルダを開く [ALT+K]";
        TBUpFol->Hint = cls == L"CabinetWClass" ? L"フォルダに移動 [ALT+L]" : L"フォルダを開く [ALT+L]";
    };

    switch (c) {
        case 0: {
            StatusBar->SetSimpleText(s.substr(0, kStatusTextMax));
            Target.Proc_GetTarget();
            const HWND target = Target.MClipHandle;
            TBexe->Hint = target ? L"貼り付け [Enter]" : L"コピー [Enter]";
            TBUpExp->Hint.clear();
            TBUpFol->Hint.clear();
            // The target program's icon, looked up for the target of now.
            Proc_ShowTargetIcon(target);
            TBexe->SetEnabled(true);
            if (!IsNetworkPath(s)) {
                TBContx->SetEnabled(DirectoryExistsNoRedirect(s) || FileExistsNoRedirect(s));
                TBBrackwen->SetEnabled(companion);
            }
            break;
        }
        case 1: {
            std::wstring p;
            {
                Wow64RedirectionOff off;
                FindExecutableFor(s, p);
            }
            p = LongForm(p);
            if (p.empty() || !FileExistsNoRedirect(p)) break;
            StatusBar->SetSimpleText(p + L" " + s + TimesText(s));
            TBexe->Hint = L"開く [Enter]";
            Target.Proc_GetTarget();
            fileFolderHints(WindowClassName(Target.MClipHandle));
            showIcon(p);
            enableAll();
            break;
        }
        case 2: {
            s = LongForm(s);
            if (!FileExistsNoRedirect(s)) {
                clearHints();
                break;
            }
            StatusBar->SetSimpleText(ProgramStatus(s));
            TBexe->Hint = L"実行 [Enter]";
            Target.Proc_GetTarget();
            fileFolderHints(WindowClassName(Target.MClipHandle));
            showIcon(s);
            enableAll();
            break;
        }
        default: {
            if (!DirectoryExistsNoRedirect(s)) {
                clearHints();
                break;
            }
            StatusBar->SetSimpleText(s + TimesText(s));
            Target.Proc_GetTarget();
            const HWND target = Target.MClipHandle;
            const std::wstring cls = WindowClassName(target);
            const bool dialog = target && IsFileDialogWindow(target);
            const bool move = dialog || cls == (c == 3 ? L"CabinetWClass" : L"ExploreWClass");
            TBexe->Hint = move ? L"移動 [Enter]" : L"開く [Enter]";
            TBUpExp->Hint = cls == L"ExploreWClass" ? L"一つ上のフォルダに移動 [ALT+K]" : L"一つ上のフォルダを開く [ALT+K]";
            TBUpFol->Hint = cls == L"CabinetWClass" ? L"一つ上のフォルダに移動 [ALT+L]" : L"一つ上のフォルダを開く [ALT+L]";
            showIcon(s);
            enableAll();
            break;
        }
    }
    ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);
}

void THisForm::Proc_ShowListHint(std::wstring& hintStr, bool& canShow, gui::THintInfo& hintInfo) {
    (void)canShow;
    auto* list = dynamic_cast<gui::TListBox*>(hintInfo.HintControl);
    if (!list || (list != ListBoxHis && list != ListBoxFav)) return;
    hintStr = list->Hint;
    hintInfo.ReshowTimeout = kListHintReshowMs;
}
