#include "tests/support/Gallery.h"

#include <string>

#include "gui/Canvas.h"

using gui::Bounds;
using gui::TAlign;

TGalleryForm::TGalleryForm(gui::TComponent* owner) : TForm(owner, L"TGalleryForm") {
    Name = L"GalleryForm";
    CreationCaption = L"ギャラリー - すべての部品";
    DialogKeys = true;
    Position = gui::TPosition::poScreenCenter;
    MinWidth = 480;
    MinHeight = 360;
    CreationWidth = 760;
    CreationHeight = 560;
}

void TGalleryForm::FormCreate() {
    Images = new gui::TImageList(this);
    Images->Name = L"Images";
    const gui::TColor colours[] = {RGB(200, 40, 40), RGB(40, 160, 40), RGB(40, 40, 200), RGB(200, 160, 0)};
    for (gui::TColor c : colours) {
        gui::TBitmap bmp(16, 16);
        bmp.Canvas().Brush().SetColor(RGB(255, 0, 255));
        bmp.Canvas().FillRect(RECT{0, 0, 16, 16});
        bmp.Canvas().Brush().SetColor(c);
        bmp.Canvas().FillRect(RECT{2, 2, 14, 14});
        Images->AddMasked(bmp, RGB(255, 0, 255));
    }

    ToolBar = gui::NewControl<gui::TToolBar>(this, {.Name = L"ToolBar", .Bounds = Bounds(0, 0, 100, 26),
                                                    .Align = TAlign::alTop});
    ToolBar->SetImages(Images);
    OpenMenu = new gui::TPopupMenu(this);
    OpenMenu->Name = L"OpenMenu";
    for (const wchar_t* caption : {L"最近のファイル", L"お気に入り"}) {
        auto* item = new gui::TMenuItem(this);
        item->SetCaption(caption);
        OpenMenu->Items()->Add(item);
    }
    auto button = [this](const wchar_t* name, const wchar_t* caption, int image, gui::TToolButtonStyle style,
                         bool grouped, const wchar_t* hint) {
        auto* b = new gui::TToolButton(this);
        b->Name = name;
        b->Caption = caption;
        b->ImageIndex = image;
        b->Style = style;
        b->Grouped = grouped;
        b->Hint = hint;
        return b;
    };
    TBNew = button(L"TBNew", L"新規", 0, gui::TToolButtonStyle::tbsButton, false, L"新しい項目");
    TBBold = button(L"TBBold", L"太字", 1, gui::TToolButtonStyle::tbsCheck, false, L"太字で表示");
    TBLeft = button(L"TBLeft", L"左", 2, gui::TToolButtonStyle::tbsCheck, true, L"左に寄せる");
    TBRight = button(L"TBRight", L"右", 3, gui::TToolButtonStyle::tbsCheck, true, L"右に寄せる");
    TBOpen = button(L"TBOpen", L"開く", 0, gui::TToolButtonStyle::tbsDropDown, false, L"開く");
    TBOpen->DropdownMenu = OpenMenu;
    for (gui::TToolButton* b : {TBNew, TBBold, TBLeft, TBRight, TBOpen}) ToolBar->AddButton(b);

    StatusBar = gui::NewControl<gui::TStatusBar>(this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, 100, 22),
                                                        .Align = TAlign::alBottom});
    StatusBar->SetPanels({160, 200, -1});
    StatusBar->SetPanelText(0, L"準備完了");
    StatusBar->SetPanelText(1, L"項目数: 5");

    PanelLeft = gui::NewControl<gui::TPanel>(this, {.Name = L"PanelLeft", .Bounds = Bounds(0, 0, 180, 100),
                                                    .Align = TAlign::alLeft},
                                             {.ShowCaption = false});
    // The rows are measured as the window is made: the handler comes first.
    ListHistory = new gui::TListBox(this, {.Style = gui::TListBoxStyle::lbOwnerDrawFixed, .ItemHeight = 20});
    ListHistory->OnMeasureItem = [this](gui::TListBox*, int, int& height) {
        ++MeasureCount;
        height = 20;
    };
    ListHistory->OnDrawItem = [this](gui::TListBox* list, gui::TDrawItemInfo& item) {
        ++DrawCount;
        HDC dc = item.Canvas.Handle();
        ::FillRect(dc, &item.Rect, ::GetSysColorBrush(item.Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(item.Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::SelectObject(dc, list->Font().Handle());
        std::wstring text = std::to_wstring(item.Index + 1) + L". " + list->Item(item.Index);
        RECT r = item.Rect;
        r.left += 4;
        ::DrawTextW(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };
    ListHistory->Create({.Parent = PanelLeft, .Name = L"ListHistory", .Align = TAlign::alClient,
                         .Hint = L"履歴の一覧"});
    for (const wchar_t* t : {L"こんにちは", L"クリップボードの履歴", L"C:\\Windows\\notepad.exe",
                             L"お気に入りのフォルダ", L"メモ帳"})
        ListHistory->Add(t);
    ListHistory->DragMode = gui::TDragMode::dmAutomatic;

    SplitterLeft = new gui::TSplitter(this);
    SplitterLeft->MinSize = 60;
    SplitterLeft->Create({.Name = L"SplitterLeft", .Bounds = Bounds(180, 0, 5, 100), .Align = TAlign::alLeft});

    PageMain = gui::NewControl<gui::TPageControl>(
        this, {.Name = L"PageMain", .Bounds = Bounds(185, 0, 400, 300), .Align = TAlign::alClient},
        {.TabPosition = gui::TTabPosition::tpBottom});
    SheetBasic = gui::NewControl<gui::TTabSheet>(this, {.Parent = PageMain, .Name = L"SheetBasic", .Caption = L"基本"});
    SheetText = gui::NewControl<gui::TTabSheet>(this, {.Parent = PageMain, .Name = L"SheetText", .Caption = L"テキスト"});
    SheetList = gui::NewControl<gui::TTabSheet>(this, {.Parent = PageMain, .Name = L"SheetList", .Caption = L"一覧"});

    // Basic sheet: fixed positions.
    GroupMenu = gui::NewControl<gui::TGroupBox>(
        this, {.Parent = SheetBasic, .Name = L"GroupMenu", .Caption = L"メニューに表示する項目", .Bounds = Bounds(8, 8, 250, 100)});
    const wchar_t* items[] = {L"履歴", L"お気に入り", L"フォルダ"};
    for (int i = 0; i < 3; ++i)
        gui::NewControl<gui::TCheckBox>(this, {.Parent = GroupMenu, .Name = L"CHKHisMenuItem" + std::to_wstring(i),
                                               .Caption = items[i], .Bounds = Bounds(12, 22 + i * 24, 220, 20),
                                               .Tag = i});
    RadioAction = gui::NewControl<gui::TRadioGroup>(
        this, {.Parent = SheetBasic, .Name = L"RadioAction", .Caption = L"クリックしたとき",
               .Bounds = Bounds(268, 8, 250, 100)},
        {.Columns = 2});
    RadioAction->SetItems({L"貼り付け", L"コピー", L"開く", L"何もしない"});
    RadioAction->SetItemIndex(0);

    LabelCount = gui::NewControl<gui::TLabel>(
        this, {.Parent = SheetBasic, .Name = L"LabelCount", .Caption = L"保存する件数:", .Bounds = Bounds(8, 122, 100, 20)});
    EditCount = gui::NewControl<gui::TEdit>(
        this, {.Parent = SheetBasic, .Name = L"EditCount", .Caption = L"20", .Bounds = Bounds(112, 118, 60, 22)});
    UpDownCount = new gui::TUpDown(this);
    UpDownCount->Create({.Parent = SheetBasic, .Name = L"UpDownCount", .Bounds = Bounds(172, 118, 16, 22)});
    UpDownCount->SetRange(1, 100);
    UpDownCount->SetAssociate(EditCount);
    UpDownCount->SetPosition(20);
    ComboEncoding = gui::NewControl<gui::TComboBox>(
        this, {.Parent = SheetBasic, .Name = L"ComboEncoding", .Bounds = Bounds(268, 118, 250, 22)},
        {.Style = gui::TComboBoxStyle::csDropDownList});
    for (const wchar_t* e : {L"シフトJIS", L"UTF-8", L"UTF-16"}) ComboEncoding->Add(e);
    ComboEncoding->SetItemIndex(0);
    TrackAlpha = gui::NewControl<gui::TTrackBar>(
        this, {.Parent = SheetBasic, .Name = L"TrackAlpha", .Bounds = Bounds(8, 150, 250, 32)});
    TrackAlpha->SetRange(0, 255);
    TrackAlpha->SetFrequency(32);
    TrackAlpha->SetPosition(200);
    CheckFolders = gui::NewControl<gui::TCheckListBox>(
        this, {.Parent = SheetBasic, .Name = L"CheckFolders", .Bounds = Bounds(268, 150, 250, 80)});
    for (const wchar_t* f : {L"デスクトップ", L"マイ ドキュメント", L"スタートアップ"}) CheckFolders->Add(f);
    CheckFolders->SetChecked(1, true);

    BtnRun = new gui::TImageButton(this);
    BtnRun->Create({.Parent = SheetBasic, .Name = L"BtnRun", .Caption = L"実行", .Bounds = Bounds(8, 200, 100, 28),
                    .Hint = L"選んだ項目を実行"});
    {
        gui::TBitmap glyph(16, 16);
        glyph.Canvas().Brush().SetColor(RGB(0, 128, 128));
        glyph.Canvas().FillRect(RECT{0, 0, 16, 16});
        glyph.Canvas().Brush().SetColor(RGB(0, 160, 0));
        glyph.Canvas().FillRect(RECT{4, 3, 12, 13});
        BtnRun->SetGlyph(glyph);
    }
    BtnOK = gui::NewControl<gui::TButton>(
        this, {.Parent = SheetBasic, .Name = L"BtnOK", .Caption = L"OK", .Bounds = Bounds(8, 240, 90, 28)});
    BtnOK->ModalResult = gui::mrOk;
    BtnOK->SetDefault(true);
    BtnCancel = gui::NewControl<gui::TButton>(
        this, {.Parent = SheetBasic, .Name = L"BtnCancel", .Caption = L"キャンセル", .Bounds = Bounds(106, 240, 90, 28)});
    BtnCancel->ModalResult = gui::mrCancel;
    BtnCancel->SetCancel(true);

    // Text sheet: memo over a rich edit, split.
    Memo = gui::NewControl<gui::TMemo>(this, {.Parent = SheetText, .Name = L"Memo", .Caption = L"メモの一行目\r\n二行目",
                                              .Bounds = Bounds(0, 0, 100, 100), .Align = TAlign::alTop});
    SplitterText = new gui::TSplitter(this);
    SplitterText->MinSize = 40;
    SplitterText->Create({.Parent = SheetText, .Name = L"SplitterText", .Bounds = Bounds(0, 100, 100, 5),
                          .Align = TAlign::alTop});
    RichEdit = gui::NewControl<gui::TRichEdit>(
        this, {.Parent = SheetText, .Name = L"RichEdit", .Caption = L"リッチエディットの本文", .Align = TAlign::alClient});

    // List sheet: tab control with pictures over a list view.
    TabKinds = gui::NewControl<gui::TTabControl>(
        this, {.Parent = SheetList, .Name = L"TabKinds", .Bounds = Bounds(0, 0, 100, 28), .Align = TAlign::alTop});
    TabKinds->SetImages(Images);
    TabKinds->AddTab(L"テキスト", 0);
    TabKinds->AddTab(L"ファイル", 1);
    ListFiles = gui::NewControl<gui::TListView>(
        this, {.Parent = SheetList, .Name = L"ListFiles", .Align = TAlign::alClient}, {.GridLines = true});
    ListFiles->SetSmallImages(Images);
    ListFiles->AddColumn(L"名前", 160);
    ListFiles->AddColumn(L"場所", 200);
    int i = ListFiles->AddItem(L"メモ帳", 0);
    ListFiles->SetSubItem(i, 1, L"C:\\Windows");
    i = ListFiles->AddItem(L"電卓", 1);
    ListFiles->SetSubItem(i, 1, L"C:\\Windows\\System32");
}
