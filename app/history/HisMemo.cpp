// THisForm: the memo pane. Its pop-up menu with the enabled rules, a
// one-level undo of the entries dragged into it from the lists, and its
// change and mouse handlers. Its text is kept in "Memo.lst" with the lists.
#include "app/history/His.h"

#include <richedit.h>

#include <climits>

// A string of one NUL character: the memo's text never holds one.
const std::wstring THisForm::kEditDDUndoEmpty(1, L'\0');

namespace {

// The caret at the end of the memo's text, nothing selected.
void CaretToEnd(gui::TRichEdit* edit) { edit->SetSel(INT_MAX, 0); }

}  // namespace

void THisForm::CreateMemo() {
    Edit->Font().SetName(L"MS UI Gothic");
    Edit->Font().SetHeight(-17);
    Edit->Font().SetCharset(SHIFTJIS_CHARSET);
    Edit->FontChanged();
    // Dropped files of up to 1024 KB are taken whole, as is typed or pasted text.
    Edit->Perform(EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    // Tab goes into the text; Tab navigation passes the memo by.
    const LONG style = ::GetWindowLongW(Edit->Handle(), GWL_STYLE);
    ::SetWindowLongW(Edit->Handle(), GWL_STYLE, style & ~WS_TABSTOP);

    PPEdit = new gui::TPopupMenu(this);
    PPEdit->Name = L"PPEdit";
    // Every item starts disabled: the pop-up enables what applies.
    gui::TMenuItem* items = PPEdit->Items();
    PPEditCut = gui::NewMenuItem(this, items, {.Name = L"PPEditCut", .Caption = L"切り取り(&C)", .Enabled = false,
                                               .ShortCut = gui::scCtrl | 'X',
                                               .OnClick = [this](gui::TMenuItem*) { PPEditCutClick(); }});
    PPEditPaste = gui::NewMenuItem(this, items, {.Name = L"PPEditPaste", .Caption = L"貼り付け(&V)", .Enabled = false,
                                                 .ShortCut = gui::scCtrl | 'V',
                                                 .OnClick = [this](gui::TMenuItem*) { PPEditPasteClick(); }});
    PPEditCopy = gui::NewMenuItem(this, items, {.Name = L"PPEditCopy", .Caption = L"コピー(&C)", .Enabled = false,
                                                .ShortCut = gui::scCtrl | 'C',
                                                .OnClick = [this](gui::TMenuItem*) { PPEditCopyClick(); }});
    gui::NewMenuItem(this, items, {.Name = L"N9", .Caption = L"-", .Enabled = false});
    PPEditUndo = gui::NewMenuItem(this, items, {.Name = L"PPEditUndo", .Caption = L"元に戻す(&Z)", .Enabled = false,
                                                .ShortCut = gui::scCtrl | 'Z',
                                                .OnClick = [this](gui::TMenuItem*) { PPEditUndoClick(); }});
    gui::NewMenuItem(this, items, {.Name = L"N10", .Caption = L"-", .Enabled = false});
    PPEditErase = gui::NewMenuItem(this, items, {.Name = L"PPEditErase", .Caption = L"消去(&E)", .Enabled = false,
                                                 .ShortCut = gui::scCtrl | 'E',
                                                 .OnClick = [this](gui::TMenuItem*) { PPEditEraseClick(); }});
    PPEdit->OnPopup = [this](gui::TPopupMenu*) { PPEditPopup(); };
    Edit->PopupMenu = PPEdit;

    Edit->OnSelectionChange = [this](gui::TRichEdit*) { EditSelectionChange(); };
    Edit->OnChange = [this](gui::TRichEdit*) { EditChange(); };
    Edit->OnMouseDown = [this](gui::TControl*, gui::TMouseButton, gui::TShiftState, int, int) { EditMouseDown(); };
    Edit->OnDragOver = [this](gui::TControl*, gui::TControl* source, int, int, bool& accept) {
        EditDragOver(source, accept);
    };
    Edit->OnDragDrop = [this](gui::TControl*, gui::TControl* source, int, int) { EditDragDrop(source); };
}

// ------------------------------------------------------------------ the menu

void THisForm::PPEditPopup() {
    PPEditPaste->SetEnabled(!Capture.MClipB.empty());
    PPEditUndo->SetEnabled(Edit->CanUndo() || !MEditDDUndo.empty());
    PPEditErase->SetEnabled(!Edit->Text().empty());
}

void THisForm::EditSelectionChange() {
    const bool selected = Edit->SelLength() != 0;
    PPEditCut->SetEnabled(selected);
    PPEditCopy->SetEnabled(selected);
}

void THisForm::PPEditCutClick() { Edit->Perform(WM_CUT); }

void THisForm::PPEditPasteClick() { Edit->Perform(WM_PASTE); }

void THisForm::PPEditCopyClick() { Edit->Perform(WM_COPY); }

void THisForm::PPEditUndoClick() {
    if (Edit->CanUndo()) {
        Edit->Undo();
        Edit->SetSel(Edit->SelStart() + Edit->SelLength(), 0);
        return;
    }
    const std::wstring text = Edit->Text();
    const std::wstring kept = text.empty() ? kEditDDUndoEmpty : text;
    Edit->SetText(MEditDDUndo == kEditDDUndoEmpty ? std::wstring() : MEditDDUndo);
    MEditDDUndo = kept;
    CaretToEnd(Edit);
}

void THisForm::PPEditEraseClick() { Edit->SetText(L""); }

// ----------------------------------------------------------- dragged entries

void THisForm::EditDragOver(gui::TControl* source, bool& accept) {
    accept = source == ListBoxHis ? ListBoxHis->ItemIndex() >= 0 : ListBoxFav->ItemIndex() >= 0;
}

void THisForm::EditDragDrop(gui::TControl* source) {
    const bool history = source == ListBoxHis;
    const int row = (history ? ListBoxHis : ListBoxFav)->ItemIndex();
    const gui::TStringList& entries = history ? Lists.History(Category()) : Lists.Favourites(Category());
    // A list refilled under the drag has no such row any more.
    if (row < 0 || row >= entries.Count()) return;
    const std::wstring text = Edit->Text();
    MEditDDUndo = text.empty() ? kEditDDUndoEmpty : text;
    Edit->SetText(text + entries[row]);
    CaretToEnd(Edit);
    Edit->SetFocus();
    Proc_ResetSelection();
}

// ------------------------------------------------------------ other events

void THisForm::EditChange() {
    // Text pasted or loaded takes the memo's font as a whole again.
    if (FEditFontApplying) return;
    FEditFontApplying = true;
    gui::TFont& f = Edit->Font();
    const int size = f.Size();
    f.SetSize(size - 1);
    f.SetSize(size);
    Edit->FontChanged();
    FEditFontApplying = false;
}

void THisForm::EditMouseDown() { Proc_ResetSelection(); }
