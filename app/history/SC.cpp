#include "app/history/SC.h"

#include <shellapi.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "app/Globals.h"
#include "app/history/IconSel.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "gui/Screen.h"
#include "toolkit/FindExe.h"
#include "toolkit/GetCMDLine.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"
#include "toolkit/Wow64.h"

TSCForm* SCForm = nullptr;

namespace {

using gui::Bounds;

const int kClientWidth = 560;
const int kClientHeight = 444;
const int kPlaceOwnFolder = 11;
const int kPlaceMRU = 12;
const int kMRUCount = 10;

const wchar_t kListFile[] = L"ORV_SC.lst";
const wchar_t kSiblingExe[] = L"ORV_SC.exe";
const wchar_t kWarning[] = L"Orvandel - 警告";
const wchar_t kMRUSection[] = L"SCMRU";
const wchar_t kRequestSection[] = L"ShortCut";

// The recent folders the maker keeps in "His.ini" [SCMRU]: the keys "0" to
// "9" are read, empty ones left out; the section is written whole, so
// folders read earlier but gone now leave no stale keys behind.
gui::TIniTable RecentFoldersTable(std::vector<std::wstring>& folders) {
    return {gui::IniRows(
        [&folders](const gui::TMemIniFile& ini) {
            folders.clear();
            for (int i = 0; i < kMRUCount; ++i) {
                std::wstring dir = ini.ReadString(kMRUSection, std::to_wstring(i), L"");
                if (!dir.empty()) folders.push_back(std::move(dir));
            }
        },
        [&folders](gui::TMemIniFile& ini) {
            ini.EraseSection(kMRUSection);
            for (size_t i = 0; i < folders.size(); ++i)
                ini.WriteString(kMRUSection, std::to_wstring(i), folders[i]);
        })};
}

// The request the sibling program reads from the list file [ShortCut], in
// the order the file holds it; the window style goes as its number.
gui::TIniTable ShortCutRequestTable(TMakeShortCuts& sc, int& showCmd) {
    const wchar_t* s = kRequestSection;
    return {
        gui::IniString(s, L"SCFileName", sc.SCFileName, L""),
        gui::IniString(s, L"SCExecFile", sc.SCExecFile, L""),
        gui::IniString(s, L"SCArguments", sc.SCArguments, L""),
        gui::IniString(s, L"SCWorkDir", sc.SCWorkDir, L""),
        gui::IniString(s, L"SCDescription", sc.SCDescription, L""),
        gui::IniInt(s, L"SCShowCmd", showCmd, 0),
        gui::IniString(s, L"SCIconFile", sc.SCIconFile, L""),
        gui::IniInt(s, L"SCIconIdx", sc.SCIconIdx, 0),
    };
}

// The folder part with its "\" ("C:\Docs\a.txt" gives "C:\Docs\"); '' for
// a bare name.
std::wstring FilePathOf(const std::wstring& path) {
    size_t i = path.find_last_of(L"\\:");
    return i == std::wstring::npos ? std::wstring() : path.substr(0, i + 1);
}

// The folder part without its "\" unless it is a root ("C:\a.txt" gives "C:\").
std::wstring FileDirOf(const std::wstring& path) {
    std::wstring dir = FilePathOf(path);
    if (dir.size() > 1 && dir.back() == L'\\' && dir[dir.size() - 2] != L':' && dir[dir.size() - 2] != L'\\')
        dir.pop_back();
    return dir;
}

std::wstring LongOf(const std::wstring& path) {
    Wow64RedirectionOff off;
    std::wstring result;
    GetLongPathNameStr(path, result);
    return result;
}

std::wstring Cut(const std::wstring& s) {
    std::wstring r;
    CutAtNul(s, r);
    return r;
}

bool ExistsNoRedirect(const std::wstring& path) {
    return FileExistsNoRedirect(path) || DirectoryExistsNoRedirect(path);
}

// A file name the shell can make: none of the characters Windows forbids
// in names, no double quote and no control character.
bool UsableFileName(const std::wstring& name) {
    if (!IsValidFileName(name)) return false;
    return std::none_of(name.begin(), name.end(), [](wchar_t c) { return c == L'"' || c < 32; });
}

bool LastWriteTime(const std::wstring& path, FILETIME& time) {
    Wow64RedirectionOff off;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    time = data.ftLastWriteTime;
    return true;
}

// The path shortened to fit maxWidth pixels in the DC's font: leading
// folders after the drive give way to "...", then the drive, until the file
// name alone is left.
std::wstring MinimizePath(const std::wstring& path, HDC dc, int maxWidth) {
    auto width = [dc](const std::wstring& s) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    if (width(path) <= maxWidth) return path;
    std::wstring drive = path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L"";
    std::wstring rest = path.substr(drive.size());
    size_t last = rest.rfind(L'\\');
    if (last == std::wstring::npos) return path;
    std::wstring name = rest.substr(last + 1);
    std::vector<std::wstring> folders;
    for (size_t start = 0; start < last;) {
        size_t next = rest.find(L'\\', start);
        if (next == std::wstring::npos || next > last) next = last;
        if (next > start) folders.push_back(rest.substr(start, next - start));
        start = next + 1;
    }
    for (size_t cut = 1; cut <= folders.size(); ++cut) {
        std::wstring s = drive + L"\\...\\";
        for (size_t i = cut; i < folders.size(); ++i) s += folders[i] + L"\\";
        s += name;
        if (width(s) <= maxWidth) return s;
    }
    std::wstring s = L"...\\" + name;
    return width(s) <= maxWidth ? s : name;
}

// Starts the sibling hidden from the program's folder; the process when it
// could be started (null otherwise).
gui::Handle StartHidden(const std::wstring& exe, const std::wstring& argument, const std::wstring& dir) {
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = gui::MainFormWindow();
    info.lpFile = exe.c_str();
    info.lpParameters = argument.c_str();
    info.lpDirectory = dir.c_str();
    info.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&info)) return gui::Handle();
    return gui::Handle(info.hProcess);
}

int Message(const std::wstring& text, const std::wstring& caption, UINT flags) {
    return gui::Application->MessageBox(text, caption, flags);
}

}  // namespace

void ShortCutMakerParams(int c, const std::wstring& entry, std::wstring& paramStr1, std::wstring& paramStr2) {
    if (c == 4) {
        paramStr1 = ExplorerPath;
        paramStr2 = L" /e,\"" + entry + L"\"";
    } else {
        paramStr1 = entry;
        paramStr2.clear();
    }
}

void ShowShortCutMaker(const std::wstring& paramStr1, const std::wstring& paramStr2) {
    // Created for this one use and released after it closes.
    auto* form = new TSCForm(gui::Application);
    SCForm = form;
    gui::RunModal(*form, {
        .Before = [&] {
            form->MParamStr1 = paramStr1;
            form->MParamStr2 = paramStr2;
            form->Initialize();
        },
        .After = [] {
            gui::TComponent::Free(SCForm);
            SCForm = nullptr;
        },
    });
}

TSCForm::TSCForm(gui::TComponent* owner) : TForm(owner, L"TSCForm"), ProgramFolder(::ProgramFolder()) {
    Name = L"SCForm";
    CreationCaption = L"Orvandel - 履歴(ショートカットの作成)";
    DialogKeys = true;
    BorderStyle = gui::TFormBorderStyle::bsDialog;
    Position = gui::TPosition::poScreenCenter;
    CreationClientWidth = kClientWidth;
    CreationClientHeight = kClientHeight;
}

void TSCForm::FormCreate() {
    Font().SetName(gui::Screen.MenuFont().Name());

    // The caption left of a field of the row at y; its "&" marks the field's accelerator.
    auto fieldLabel = [this](const wchar_t* caption, int y) {
        gui::NewControl<gui::TLabel>(this, {.Caption = caption, .Bounds = Bounds(8, y + 3, 124, 18)},
                                     {.ShowAccelChar = true});
    };
    // A field of the row at y; a change of its text updates the window.
    auto fieldEdit = [this](const wchar_t* name, int x, int y, int w) {
        auto* e = gui::NewControl<gui::TEdit>(this, {.Name = name, .Bounds = Bounds(x, y, w, 22)});
        e->OnChange = [this](gui::TEdit*) { EditChange(); };
        return e;
    };

    fieldLabel(L"プログラム／ファイル", 8);
    EditExe = gui::NewControl<gui::TEdit>(
        this, {.Name = L"EditExe", .Bounds = Bounds(136, 8, 416, 22), .Style = 0});
    EditExe->SetReadOnly(true);
    ::SetWindowLongW(EditExe->Handle(), GWL_STYLE, ::GetWindowLongW(EditExe->Handle(), GWL_STYLE) & ~WS_TABSTOP);
    EditExe->ShowHint = true;
    EditExe->OnChange = [this](gui::TEdit*) { EditChange(); };

    fieldLabel(L"オプション(&O)", 36);
    EditOpt = fieldEdit(L"EditOpt", 136, 36, 300);
    EditOpt->OnDblClick = [this](gui::TControl*) { EditOptDblClick(); };
    BtnOpt = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnOpt", .Caption = L"参照(&T)", .Bounds = Bounds(442, 35, 110, 24)});
    BtnGetCmd = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnGetCmd", .Caption = L"現在のオプションを取得(&B)", .Bounds = Bounds(136, 63, 200, 24)});
    BtnReadme = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnReadme", .Caption = L"&README", .Bounds = Bounds(342, 63, 100, 24)});
    BtnHelp = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnHelp", .Caption = L"&HELP", .Bounds = Bounds(452, 63, 100, 24)});

    fieldLabel(L"ショートカット名(&N)", 94);
    EditName = fieldEdit(L"EditName", 136, 94, 416);
    fieldLabel(L"作業フォルダ(&W)", 122);
    EditWork = fieldEdit(L"EditWork", 136, 122, 300);
    BtnWork = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnWork", .Caption = L"参照(&E)", .Bounds = Bounds(442, 121, 110, 24)});
    fieldLabel(L"実行時サイズ(&Z)", 150);
    ComboBoxSize = gui::NewControl<gui::TComboBox>(this, {.Name = L"ComboBoxSize", .Bounds = Bounds(136, 150, 120, 22)},
                                                   {.Style = gui::TComboBoxStyle::csDropDownList});
    for (const wchar_t* s : {L"通常", L"最大化", L"最小化"}) ComboBoxSize->Add(s);
    fieldLabel(L"説明(&C)", 178);
    EditComment = fieldEdit(L"EditComment", 136, 178, 416);
    EditComment->SetMaxLength(256);

    BtnIcon = gui::NewControl<gui::TImageButton>(
        this, {.Name = L"BtnIcon", .Caption = L"アイコンの変更(&I)", .Bounds = Bounds(136, 206, 200, 44)});
    BtnIconDef = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnIconDef", .Caption = L"デフォルト(&D)", .Bounds = Bounds(342, 216, 110, 24)});

    RGSC = gui::NewControl<gui::TRadioGroup>(
        this, {.Name = L"RGSC", .Caption = L"作成場所(&S)", .Bounds = Bounds(8, 258, 544, 92)}, {.Columns = 5});
    RGSC->SetItems({L"送る", L"マイドキュメント", L"デスクトップ", L"スタートアップ", L"スタートメニュー",
                    L"プログラム", L"クイックランチャ", L"デスクトップ（全）", L"スタートアップ（全）",
                    L"スタートメニュー（全）", L"プログラム（全）", L"元の場所", L"履歴"});
    RGSC->OnClick = [this](gui::TRadioGroup*) { RGSCClick(); };
    ListMRU = gui::NewControl<gui::TComboBox>(this, {.Name = L"ListMRU", .Bounds = Bounds(8, 358, 328, 22)},
                                              {.Style = gui::TComboBoxStyle::csDropDownList});
    ListMRU->OnChange = [this](gui::TComboBox*) { ListMRUChange(); };
    BtnRef = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnRef", .Caption = L"参照(&Y)", .Bounds = Bounds(342, 357, 100, 24)});
    BtnExp = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnExp", .Caption = L"エクスプローラ(&P)", .Bounds = Bounds(448, 357, 104, 24)});

    ButtonReSPDir = gui::NewControl<gui::TButton>(
        this, {.Name = L"ButtonReSPDir", .Caption = L"特殊フォルダ再取得(&G)", .Bounds = Bounds(8, 390, 190, 28)});
    ButtonReSPDir->Perform(BCM_SETSHIELD, 0, TRUE);
    BtnSC = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnSC", .Caption = L"ショートカットを作成(&M)", .Bounds = Bounds(236, 390, 196, 28)});
    BtnClose = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnClose", .Caption = L"閉じる(&X)", .Bounds = Bounds(442, 390, 110, 28)});
    BtnClose->SetCancel(true);
    StatusBar = gui::NewControl<gui::TStatusBar>(
        this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, kClientWidth, 20), .Align = gui::TAlign::alBottom});

    ODlg = new gui::TOpenDialog(this);
    ODlg->Name = L"ODlg";
    FolderDlg = new TFolderDlg(this);
    FolderDlg->Name = L"FolderDlg";
    MakeShortCuts = new TMakeShortCuts(this);
    MakeShortCuts->Name = L"MakeShortCuts";
    MakeShortCuts->SCSystemPath = tpBlank;

    BtnOpt->OnClick = [this](gui::TButton*) { BtnOptClick(); };
    BtnGetCmd->OnClick = [this](gui::TButton*) { BtnGetCmdClick(); };
    BtnReadme->OnClick = [this](gui::TButton*) { BtnReadmeClick(); };
    BtnHelp->OnClick = [this](gui::TButton*) { BtnHelpClick(); };
    BtnWork->OnClick = [this](gui::TButton*) { BtnWorkClick(); };
    BtnIcon->OnClick = [this](gui::TButton*) { BtnIconClick(); };
    BtnIconDef->OnClick = [this](gui::TButton*) { BtnIconDefClick(); };
    BtnRef->OnClick = [this](gui::TButton*) { BtnRefClick(); };
    BtnExp->OnClick = [this](gui::TButton*) { BtnExpClick(); };
    ButtonReSPDir->OnClick = [this](gui::TButton*) { ButtonReSPDirClick(); };
    BtnSC->OnClick = [this](gui::TButton*) { BtnSCClick(); };
    BtnClose->OnClick = [this](gui::TButton*) { Close(); };

    // The recent folders: those of "His.ini" [SCMRU] that still exist.
    const std::wstring hisIni = DataFolder + L"His.ini";
    if (FileExistsSafe(hisIni)) ConvertAnsiFileToUtf16(hisIni);
    std::vector<std::wstring> recent;
    gui::LoadIniTable(OpenUtf16IniFile(hisIni), RecentFoldersTable(recent));
    for (const std::wstring& dir : recent)
        if (DirectoryExistsNoRedirect(dir)) ListMRU->Add(dir);

    for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{
             EditExe, EditOpt, BtnOpt, BtnReadme, BtnHelp, EditName, EditWork, BtnWork, ComboBoxSize, EditComment,
             BtnIcon, BtnIconDef, RGSC, ListMRU, BtnRef, BtnExp, BtnSC})
        c->SetEnabled(false);
    RGSC->SetItemIndex(-1);
    ComboBoxSize->SetItemIndex(0);
    if (ListMRU->Count() > 0) ListMRU->SetItemIndex(0);
}

void TSCForm::FormShow() {
    if (FShown) return;
    FShown = true;
    if (!FileExistsSafe(ListFileName())) StartSibling(L"/sf");
    ForceForegroundWindow(Handle());
    MSC = FilePathOf(MParamStr1);
    MExeFile = MParamStr1;
    Proc_FillFromTarget();
}

std::wstring TSCForm::ListFileName() const { return DataFolder + kListFile; }

void TSCForm::StartSibling(const std::wstring& argument) {
    // The start's result is not looked at: a sibling that cannot start
    // shows as a shortcut that was not made.
    StartHidden(ProgramFolder + kSiblingExe, argument, ProgramFolder);
}

bool TSCForm::TargetExists() const { return ExistsNoRedirect(EditExe->Text()); }

void TSCForm::Proc_FillFromTarget() {
    int place = RGSC->ItemIndex();
    if (place < 0) place = kPlaceOwnFolder;
    RGSC->SetItemIndex(-1);
    if (MExeFile.empty()) return;

    if (LowerExt(MExeFile) == L".lnk") {
        MakeShortCuts->SCFileName = MExeFile;
        MakeShortCuts->SCLoad();
        EditExe->SetText(LongOf(Cut(MakeShortCuts->SCExecFile)));
        EditOpt->SetText(Cut(MakeShortCuts->SCArguments));
        std::wstring name;
        GetFileDescription(EditExe->Text(), name);
        if (name.empty()) ExtractBareFileName(LongOf(MExeFile), name);
        EditName->SetText(name);
        EditWork->SetText(Cut(MakeShortCuts->SCWorkDir));
        ComboBoxSize->SetItemIndex(static_cast<int>(MakeShortCuts->SCShowCmd));
        EditComment->SetText(Cut(MakeShortCuts->SCDescription));
        MIconFile = Cut(MakeShortCuts->SCIconFile);
        MIconIdx = MakeShortCuts->SCIconIdx;
        if (!FileExistsNoRedirect(MIconFile)) {
            MIconFile = EditExe->Text();
            MIconIdx = 0;
        }
    } else {
        EditExe->SetText(LongOf(MExeFile));
        EditOpt->SetText(MParamStr2);
        std::wstring name;
        GetFileDescription(MExeFile, name);
        if (name.empty()) ExtractBareFileName(LongOf(MExeFile), name);
        EditName->SetText(name);
        EditWork->SetText(LongOf(FileDirOf(MExeFile)));
        EditComment->SetText(name);
        MIconFile = EditExe->Text();
        MIconIdx = MExeFile == ExplorerPath ? 1 : 0;
    }

    const bool usable = TargetExists();
    IconGlyph.SetSize(0, 0);
    BtnIcon->ClearGlyph();
    if (usable) Proc_DrawIcon();

    RGSC->SetItemIndex(place);
    RGSCClick();

    for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{
             EditExe, EditOpt, EditName, EditWork, ComboBoxSize, BtnWork, BtnOpt, RGSC, EditComment, BtnIcon,
             BtnIconDef, BtnExp, BtnRef})
        c->SetEnabled(usable);
    EditExe->Hint = EditExe->Text();
    BtnGetCmd->SetEnabled(FindWindowByExe(EditExe->Text()) != nullptr);
    EditChange();

    if (!usable) Message(EditExe->Text() + L"は" + L"\r\n" + L"存在しません。", kWarning, MB_ICONERROR);
}

void TSCForm::RGSCClick() {
    ListMRU->SetEnabled(false);
    const int place = RGSC->ItemIndex();
    if (place >= 0 && place < kPlaceOwnFolder) {
        gui::TMemIniFile list(ListFileName());
        MSC = list.ReadString(L"SpecialFolder", std::to_wstring(place), L"");
    } else if (place == kPlaceOwnFolder) {
        MSC = LongOf(FilePathOf(MExeFile));
    } else if (place == kPlaceMRU) {
        ListMRU->SetEnabled(true);
        const int i = ListMRU->ItemIndex();
        MSC = i >= 0 ? ListMRU->Item(i) : L"";
        ListMRU->SetFocus();
    }
    Proc_SetSCFolder();
}

void TSCForm::ListMRUChange() {
    const int i = ListMRU->ItemIndex();
    if (i < 0) return;
    MSC = ListMRU->Item(i);
    Proc_SetSCFolder();
}

void TSCForm::Proc_SetSCFolder() {
    if (DirectoryExistsNoRedirect(MSC) && MSC.size() > 2) {
        if (MSC.back() == L'\\') MSC.pop_back();
    } else {
        MSC = FilePathOf(EditExe->Text());
    }
    if (!MSC.empty() && MSC.back() != L'\\') MSC += L'\\';
    std::wstring shown;
    StripTrailingBackslash(MSC, shown);
    gui::WindowDC dc(StatusBar->Handle());
    gui::SelectObjectScope font(dc.get(), StatusBar->Font().Handle());
    StatusBar->SetSimpleText(MinimizePath(shown, dc.get(), StatusBar->Width() / 4 * 3));
}

void TSCForm::Proc_AddMRU() {
    if (!DirectoryExistsNoRedirect(MSC)) return;
    const int i = static_cast<int>(ListMRU->Perform(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(MSC.c_str())));
    if (i >= 0) ListMRU->Perform(CB_DELETESTRING, i);
    ListMRU->Perform(CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(MSC.c_str()));
    ListMRU->SetItemIndex(0);
}

void TSCForm::BtnRefClick() {
    FolderDlg->Title = L"ショートカットを作成するフォルダを指定してください。";
    FolderDlg->Root = MSC;
    if (!FolderDlg->Execute()) return;
    MSC = FolderDlg->FolderName + L"\\";
    Proc_SetSCFolder();
    Proc_AddMRU();
}

void TSCForm::BtnExpClick() {
    std::wstring dir;
    StripTrailingBackslash(MSC, dir);
    if (!DirectoryExistsNoRedirect(MSC)) {
        Message(dir + L"は" + L"\r\n" + L"存在しません。", kWarning, MB_ICONERROR);
        return;
    }
    ShellExecuteOwned(Handle(), ExplorerPath, IsVistaOrLater() ? MSC : L" /e," + MSC, MSC, SW_SHOWNORMAL);
}

std::wstring TSCForm::ReadmeFile() const {
    const std::wstring file = FilePathOf(EditExe->Text()) + L"readme.txt";
    return !EditExe->Text().empty() && FileExistsSafe(file) ? file : L"";
}

std::wstring TSCForm::HelpFile() const {
    if (EditExe->Text().empty()) return L"";
    std::wstring bare;
    ExtractBareFileName(EditExe->Text(), bare);
    const std::wstring base = FilePathOf(EditExe->Text()) + bare;
    for (const wchar_t* ext : {L".hlp", L".chm"})
        if (FileExistsSafe(base + ext)) return base + ext;
    return L"";
}

void TSCForm::EditChange() {
    BtnSC->SetEnabled(TargetExists() && !EditName->Text().empty());
    BtnReadme->SetEnabled(!ReadmeFile().empty());
    BtnHelp->SetEnabled(!HelpFile().empty());
}

void TSCForm::EditOptDblClick() {
    const std::wstring text = EditOpt->Text();
    if (!text.empty() && FileExistsNoRedirect(text)) EditOpt->SetText(L"\"" + text + L"\"");
}

void TSCForm::BtnReadmeClick() {
    const std::wstring file = ReadmeFile();
    if (!file.empty()) ShellExecuteOwned(Handle(), file, L"", FilePathOf(file), SW_SHOWNORMAL);
}

void TSCForm::BtnHelpClick() {
    const std::wstring file = HelpFile();
    if (!file.empty()) ShellExecuteOwned(Handle(), file, L"", FilePathOf(file), SW_SHOWNORMAL);
}

void TSCForm::BtnOptClick() {
    ODlg->Title = L"ファイルの参照";
    ODlg->Filter = L"全てのファイル|*.*";
    ODlg->FileName.clear();
    ODlg->Options = gui::ofHideReadOnly | gui::ofPathMustExist | gui::ofFileMustExist | gui::ofEnableSizing;
    const std::wstring dir = FilePathOf(EditExe->Text());
    ODlg->InitialDir = DirectoryExistsNoRedirect(dir) ? dir : L"";
    if (ODlg->Execute()) EditOpt->SetText(ODlg->FileName);
}

void TSCForm::BtnWorkClick() {
    FolderDlg->Title = L"作業フォルダを指定してください。";
    FolderDlg->Root = DirectoryExistsNoRedirect(EditWork->Text()) ? EditWork->Text()
                                                                   : LongOf(FileDirOf(EditExe->Text()));
    if (FolderDlg->Execute()) EditWork->SetText(LongOf(FolderDlg->FolderName));
}

void TSCForm::BtnGetCmdClick() {
    const std::wstring options = GetCMDLineOptions(FindWindowByExe(EditExe->Text()), EditExe->Text());
    if (!options.empty()) EditOpt->SetText(options);
}

void TSCForm::BtnIconDefClick() {
    MIconFile = EditExe->Text();
    std::wstring bare;
    ExtractBareFileName(EditExe->Text(), bare);
    MIconIdx = UpperCase(bare) == L"EXPLORER" ? 1 : 0;
    Proc_DrawIcon();
}

void TSCForm::BtnIconClick() {
    const std::wstring target = EditExe->Text();
    std::wstring source = MIconFile;
    int index = MIconIdx;
    const bool folder = DirectoryExistsNoRedirect(target);
    if (source == target && index == 0 && UpperCase(LowerExt(target)) != L".EXE" && !folder)
        FindExecutableFor(target, source);
    // Index -1 asks for the number of icons: no icon to release.
    if (reinterpret_cast<INT_PTR>(ExtractFileIcon(source, -1)) == 0) {
        std::wstring system;
        GetSystemDir(system);
        const std::wstring ext = LowerExt(target);
        source = system + (ext == L".pif" || ext == L".bat" || ext == L".com" ? L"PIFMGR.DLL" : L"SHELL32.DLL");
        index = folder ? 3 : 0;
    }
    MNowIconFile = source;
    MNowIconIdx = index;
    // Created for this one use and released after it closes.
    auto* chooser = new TIconSelForm(gui::Application, *this);
    IconSelForm = chooser;
    const int result = gui::RunModal(*chooser, {
        .Before = [chooser] { chooser->Initialize(); },
        .After = [] {
            gui::TComponent::Free(IconSelForm);
            IconSelForm = nullptr;
        },
    });
    if (result == gui::mrOk) {
        MIconFile = MNowIconFile;
        MIconIdx = MNowIconIdx;
        Proc_DrawIcon();
    }
}

void TSCForm::Proc_DrawIcon() {
    HICON raw = MIconFile != EditExe->Text() || MIconIdx != 0
                    ? GetAssociatedIcon(MIconFile, static_cast<WORD>(MIconIdx))
                    : GetFileIconNoRedirect(MIconFile);
    gui::TIcon icon;
    icon.SetHandle(raw);  // released with the holder
    if (icon.Empty()) {
        IconGlyph.SetSize(0, 0);
        BtnIcon->ClearGlyph();
        return;
    }
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    IconGlyph.Canvas().Brush().SetColor(face);
    IconGlyph.SetSize(icon.Width(), icon.Height());
    IconGlyph.Canvas().FillRect(RECT{0, 0, icon.Width(), icon.Height()});
    IconGlyph.Canvas().Draw(0, 0, icon);
    IconGlyph.Canvas().SetPixel(0, icon.Height() - 1, face);
    BtnIcon->SetGlyph(IconGlyph, face);
}

void TSCForm::ButtonReSPDirClick() { StartSibling(L"/sf"); }

void TSCForm::BtnSCClick() {
    const std::wstring name = EditName->Text();
    if (!UsableFileName(name)) {
        Message(L"ファイル名には次の文字は使えません。\r\n\\ / : , ; * ? < > |", kWarning, MB_ICONERROR);
        return;
    }
    const std::wstring link = MSC + name + L".lnk";
    if (FileExistsNoRedirect(link) &&
        Message(link + L"は" + L"\r\n" + L"既に存在します。" + L"\r\n" + L"上書きしますか？", L"Orvandel - 確認",
                MB_YESNO | MB_ICONWARNING) == IDNO)
        return;
    if (!DirectoryExistsNoRedirect(MSC)) {
        std::wstring dir;
        StripTrailingBackslash(MSC, dir);
        Message(dir + L"は" + L"\r\n" + L"存在しません。" + L"\r\n" + L"他のフォルダを指定してください。", kWarning,
                MB_ICONERROR);
        return;
    }
    const bool made = MakeThroughSibling(link);
    StatusBar->SetSimpleText(link + (made ? L"を作成しました。" : L"の作成に失敗しました。"));
    // A failure stays on screen, so the user sees it and can try again.
    if (made) Close();
}

bool TSCForm::MakeThroughSibling(const std::wstring& link) {
    MakeShortCuts->SCFileName = link;
    MakeShortCuts->SCExecFile = EditExe->Text();
    MakeShortCuts->SCArguments = EditOpt->Text();
    MakeShortCuts->SCWorkDir = EditWork->Text();
    MakeShortCuts->SCSystemPath = tpBlank;
    MakeShortCuts->SCDescription = EditComment->Text();
    const int size = ComboBoxSize->ItemIndex();
    MakeShortCuts->SCShowCmd = size == 1 ? tsMax : size == 2 ? tsMin : tsNormal;
    MakeShortCuts->SCIconFile = MIconFile;
    MakeShortCuts->SCIconIdx = MIconIdx;

    const wchar_t* s = kRequestSection;
    gui::TMemIniFile list(ListFileName());
    // An old result must not stand for this run.
    list.DeleteKey(s, L"Make");
    int showCmd = static_cast<int>(MakeShortCuts->SCShowCmd);
    gui::SaveIniTable(list, ShortCutRequestTable(*MakeShortCuts, showCmd));
    FILETIME before{};
    const bool existed = LastWriteTime(link, before);
    if (!list.UpdateFile()) return false;

    gui::Handle process = StartHidden(ProgramFolder + kSiblingExe, L"/sc", ProgramFolder);
    if (!process) return false;

    // Wait for the sibling's answer with the dialog disabled, the program's
    // windows still painted and its timers running.
    HWND focus = ::GetFocus();
    ::EnableWindow(Handle(), FALSE);
    const ULONGLONG end = ::GetTickCount64() + SiblingTimeLimit;
    bool ended = false, answered = false, made = false;
    for (;;) {
        gui::TMemIniFile now(ListFileName());
        if (now.ValueExists(s, L"Make")) {
            answered = true;
            made = now.ReadInteger(s, L"Make", 0) != 0;
            break;
        }
        if (ended || ::GetTickCount64() >= end) break;
        HANDLE h = process.get();
        if (::MsgWaitForMultipleObjects(1, &h, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) ended = true;
        gui::Application->ProcessMessages();
        if (gui::Application->Terminated()) break;
    }
    ::EnableWindow(Handle(), TRUE);
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
    if (answered) return made;
    // No answer: made only when the link is there and new or rewritten.
    FILETIME after{};
    if (!LastWriteTime(link, after)) return false;
    return !existed || ::CompareFileTime(&before, &after) != 0;
}

void TSCForm::FormCloseQuery(bool& canClose) {
    gui::TMemIniFile ini = OpenUtf16IniFile(DataFolder + L"His.ini");
    std::vector<std::wstring> recent;
    for (int i = 0, n = ListMRU->Count(); i < n; ++i) recent.push_back(ListMRU->Item(i));
    gui::SaveIniTable(ini, RecentFoldersTable(recent));
    ini.UpdateFile();
    canClose = true;
}
