#include "app/history/IconSel.h"

#include <cwctype>

#include "app/history/SC.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/ExtCtrls.h"
#include "gui/Graphics.h"
#include "gui/Screen.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"

TIconSelForm* IconSelForm = nullptr;

namespace {

using gui::Bounds;

const int kClientWidth = 492;
const int kClientHeight = 250;

// The icon list: the hand cursor over its items.
class TIconListView : public gui::TListView {
public:
    using TListView::TListView;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_SETCURSOR && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return TListView::WndProc(msg, wp, lp);
    }
};

// The number of icons in the file (index -1 asks for it: nothing to release).
int IconCount(const std::wstring& fileName) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(ExtractFileIcon(fileName, -1)));
}

}  // namespace

TIconSelForm::TIconSelForm(gui::TComponent* owner, TSCForm& maker)
    : TForm(owner, L"TIconSelForm"), FMaker(maker) {
    Name = L"IconSelForm";
    CreationCaption = L"アイコンの変更";
    BorderIcons.Minimize = false;
    DialogKeys = true;
    BorderStyle = gui::TFormBorderStyle::bsSizeable;
    CreationClientWidth = kClientWidth;
    CreationClientHeight = kClientHeight;
}

void TIconSelForm::FormCreate() {
    MinHeight = 300;
    MinWidth = 300;
    Font().SetName(gui::Screen.MenuFont().Name());

    StatusBar = gui::NewControl<gui::TStatusBar>(
        this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, kClientWidth, 20), .Align = gui::TAlign::alBottom});
    auto* panel = gui::NewControl<gui::TPanel>(
        this, {.Name = L"PanelButtons", .Bounds = Bounds(0, 0, kClientWidth, 40), .Align = gui::TAlign::alBottom},
        gui::kHolderPanel);
    BTNSansyo = gui::NewControl<gui::TButton>(
        this, {.Parent = panel, .Name = L"BTNSansyo", .Caption = L"参照(&R)", .Bounds = Bounds(8, 7, 90, 26)});
    BTNOk = gui::NewControl<gui::TButton>(
        this, {.Parent = panel, .Name = L"BTNOk", .Caption = L"OK", .Bounds = Bounds(kClientWidth - 196, 7, 90, 26)});
    BTNOk->ModalResult = gui::mrOk;
    BTNOk->SetDefault(true);
    BTNCancel = gui::NewControl<gui::TButton>(
        this, {.Parent = panel, .Name = L"BTNCancel", .Caption = L"キャンセル",
               .Bounds = Bounds(kClientWidth - 98, 7, 90, 26)});
    BTNCancel->ModalResult = gui::mrCancel;
    BTNCancel->SetCancel(true);
    // OK and Cancel keep to the right edge.
    panel->OnResize = [this](gui::TControl* sender) {
        const int w = static_cast<gui::TWinControl*>(sender)->ClientWidth();
        BTNOk->SetBounds(w - 196, 7, 90, 26);
        BTNCancel->SetBounds(w - 98, 7, 90, 26);
    };

    ImageList = new gui::TImageList(this, 32, 32);
    ImageList->Name = L"ImageList";
    ::ImageList_SetBkColor(ImageList->Handle(), ::GetSysColor(COLOR_WINDOW));
    ListView = gui::NewControl<TIconListView>(this, {.Name = L"ListView", .Align = gui::TAlign::alClient},
                                              {.ViewStyle = gui::TViewStyle::vsIcon, .RowSelect = false});
    ListView->SetLargeImages(ImageList);
    ListView->SetSmallImages(ImageList);
    ListView->Perform(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(ImageList->Handle()));
    ListView->OnSelectItem = [this](gui::TListView*) { ListViewSelectItem(); };

    ODialog = new gui::TOpenDialog(this);
    ODialog->Name = L"ODialog";
    ODialog->Options = gui::ofHideReadOnly | gui::ofPathMustExist | gui::ofFileMustExist | gui::ofEnableSizing;
    DropDst = new TDropDst(this);
    DropDst->Name = L"DropDst";
    DropDst->SetControl(ListView);
    DropDst->OnFileDrop = [this](TDropDst*, gui::TStringList* files, int, int) { DropDstFileDrop(files); };

    BTNSansyo->OnClick = [this](gui::TButton*) { BTNSansyoClick(); };
    BTNOk->SetEnabled(false);
}

void TIconSelForm::FormShow() {
    if (FShown) return;
    FShown = true;
    const RECT r = FMaker.BoundsRect();
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    Proc_LoadIcons();
}

bool TIconSelForm::Func_CheckIconFile(const std::wstring& fileName) {
    const std::wstring ext = LowerExt(fileName);
    if ((ext == L".exe" || ext == L".dll" || ext == L".ico") && IconCount(fileName) > 0) return true;
    gui::Application->MessageBox(fileName + L"には" + L"\r\n" + L"利用できるアイコンがありません", L"エラー",
                                 MB_OK | MB_ICONERROR);
    return false;
}

void TIconSelForm::Proc_LoadIcons() {
    const std::wstring file = FMaker.MNowIconFile;
    const int n = IconCount(file);
    if (n <= 0) return;
    gui::TCursorScope hourglass(gui::TCursor::crHourGlass);
    ListView->Perform(WM_SETREDRAW, FALSE);
    ListView->Clear();
    ImageList->Clear();
    for (int i = 0; i < n; ++i) {
        gui::TIcon icon;
        icon.SetHandle(ExtractFileIcon(file, i));  // released with the holder; the list keeps a copy
        if (icon.Empty() || ImageList->AddIcon(icon) < 0) {
            // An icon that cannot be read keeps its place, so item i stays icon i.
            gui::TBitmap blank(ImageList->Width(), ImageList->Height());
            blank.Canvas().Brush().SetColor(::GetSysColor(COLOR_WINDOW));
            blank.Canvas().FillRect(RECT{0, 0, blank.Width(), blank.Height()});
            ImageList->AddMasked(blank, gui::clNone);
        }
        ListView->AddItem(std::to_wstring(i), i);
    }
    ListView->Perform(WM_SETREDRAW, TRUE);
    ::InvalidateRect(ListView->Handle(), nullptr, TRUE);
    ListView->SetFocus();
    const int index = FMaker.MNowIconIdx;
    if (index >= 0 && index < ListView->Count()) {
        ListView->SetItemIndex(index);
        ListView->Perform(LVM_ENSUREVISIBLE, index, FALSE);
    }
}

void TIconSelForm::ListViewSelectItem() {
    BTNOk->SetEnabled(false);
    const int i = ListView->ItemIndex();
    if (i < 0) return;
    BTNOk->SetEnabled(true);
    FMaker.MNowIconIdx = i;
    std::wstring longPath;
    GetLongPathNameStr(FMaker.MNowIconFile, longPath);
    StatusBar->SetSimpleText(longPath + L"," + std::to_wstring(i));
}

void TIconSelForm::BTNSansyoClick() {
    ODialog->FileName.clear();
    ODialog->Title = L"アイコンファイルの選択";
    ODialog->Filter = L"アイコンファイル(*.exe,*.dll,*.ico)|*.exe;*.dll;*.ico";
    if (!ODialog->Execute() || !Func_CheckIconFile(ODialog->FileName)) return;
    FMaker.MNowIconFile = ODialog->FileName;
    FMaker.MNowIconIdx = 0;
    Proc_LoadIcons();
}

void TIconSelForm::DropDstFileDrop(gui::TStringList* files) {
    ForceForegroundWindow(Handle());
    if (!files || files->Empty()) return;
    const std::wstring first = files->Get(0);
    if (!Func_CheckIconFile(first)) return;
    FMaker.MNowIconFile = first;
    FMaker.MNowIconIdx = 0;
    Proc_LoadIcons();
}
