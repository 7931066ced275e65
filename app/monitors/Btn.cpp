#include "app/monitors/Btn.h"

#include <mmsystem.h>

#include <iterator>

#include "app/Globals.h"
#include "app/Tray.h"
#include "gui/Application.h"
#include "gui/Callback.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinShortCut.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/TextHelpers.h"

TBtnForm* BtnForm = nullptr;

namespace {

const wchar_t kDialogClass[] = L"#32770";
const wchar_t kLineBreak[] = L"{改行}";
const int kStopHotKey = 1;

// Window texts and class names as the scan compares them: read into
// 260-character buffers, cut at the first NUL, trailing blanks removed.
std::wstring ScanText(HWND wnd) {
    wchar_t buf[260] = {};
    ::GetWindowTextW(wnd, buf, 260);
    std::wstring s;
    CutAtNulTrimRight(buf, s);
    return s;
}

std::wstring ScanClass(HWND wnd) {
    wchar_t buf[260] = {};
    ::GetClassNameW(wnd, buf, 260);
    std::wstring s;
    CutAtNulTrimRight(buf, s);
    return s;
}

bool Contains(const std::wstring& s, const wchar_t* part) { return s.find(part) != std::wstring::npos; }

std::wstring OwnProgramName() {
    wchar_t buf[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return UpperCase(FileNameOfPath(buf));
}

std::wstring HandleText(HWND wnd) { return std::to_wstring(reinterpret_cast<UINT_PTR>(wnd)); }

HWND HandleFromText(const std::wstring& s) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(static_cast<unsigned>(StrToIntSafe(s))));
}

// The taskbar and the Start menu's host: the cursor feature leaves them alone.
bool IsShellWindow(HWND topLevel) {
    if (!topLevel) return false;
    // Only a window of either class can be one of them: its own class is one
    // question, where the lookups are two searches of all windows.
    wchar_t cls[32] = {};
    ::GetClassNameW(topLevel, cls, 32);
    if (::lstrcmpiW(cls, L"Shell_TrayWnd") != 0 && ::lstrcmpiW(cls, L"DV2ControlHost") != 0) return false;
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    HWND start = ::FindWindowW(L"DV2ControlHost", nullptr);
    return (tray && topLevel == tray) || (start && topLevel == start);
}

// A foreground window the cursor feature may work on.
bool IsCursorCandidate(HWND wnd) {
    return IsNormalAppWindow(wnd, true) && ::IsWindowEnabled(wnd) && ::IsWindowVisible(wnd);
}

const wchar_t* const kYesCaptions[] = {L"はい", L"OK", L"Yes"};
const wchar_t* const kNoCaptions[] = {L"いいえ", L"No", L"キャンセル", L"ｷｬﾝｾﾙ", L"Cancel",
                                      L"閉じる", L"Close", L"中止", L"Abort"};

}  // namespace

bool IsPushableButton(HWND wnd) {
    if (!wnd || !::IsWindowEnabled(wnd) || !::IsWindowVisible(wnd)) return false;
    const std::wstring cls = ScanClass(wnd);
    if (Contains(cls, L"Btn")) return true;
    if (!Contains(cls, L"Button")) return false;
    const LONG type = ::GetWindowLongW(wnd, GWL_STYLE) & 0x0F;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON;
}

// The state of one scan, handed to the enumeration callbacks.
struct TBtnForm::TScan {
    TBtnForm* self;
    std::wstring ownProgram;
    bool watching;  // registered buttons are pressed; else candidates are collected
    // The top-level window being scanned.
    std::wstring program, caption, className, height, width, message;
    // The registered entry that matched it (watch mode).
    size_t entry = 0;
    HWND dialog = nullptr;
};

struct TCursorSearch {
    const wchar_t* const* captions;  // nullptr: any caption
    size_t count;
    HWND found = nullptr;
};

TBtnForm::TBtnForm(gui::TComponent* owner) : TForm(owner, L"TBtnForm") {
    Name = L"BtnForm";
    CreationCaption = L"Orvandel - 自動的に押すボタンの設定";
    AppWindow = true;
    CreationWidth = 957;  // a client area of 941 x 447 at the least height of 500
    CreationHeight = 500;
    HookHotKey = new THookHotKey(this);
    HookHotKey->Name = L"HookHotKey";
    HookHotKey->Activate = false;
    HookHotKey->OnHotKey = [this](THookHotKey* sender, int index) { HookHotKeyHotKey(sender, index); };
}

void TBtnForm::FormCreate() {
    MinHeight = 500;
    MinWidth = 600;
    CreateControls();
    MMAXBtnData = 100;
    Proc_LoadIni();
    Proc_LoadList();
    RegisterStopHotKey();
}

void TBtnForm::FormShow() {
    // The stop key would reach this window's hot-key edit no more.
    if (!Settings.EditHTKStop.empty()) HookHotKey->Delete(kStopHotKey);
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    if (!Settings.Normal) SetWindowState(gui::TWindowState::wsMaximized);
    TaskBarAddTab(Handle());
    MMonNo = GetWindowMonitorIndex(Handle());
    ShowCandidatesPage();
}

void TBtnForm::FormDestroy() { HookHotKey->Delete(kStopHotKey); }

void TBtnForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    if (HandleAllocated()) TaskBarDeleteTab(Handle());
    Proc_SaveIni();
    if (TrayForm && TrayForm->FClose) return;
    ForceForegroundWindow(::GetDesktopWindow());
    MButtonWin = nullptr;
    Proc_LoadList();  // edits that were not saved are dropped
    RegisterStopHotKey();
}

// --- files ----------------------------------------------------------------------

void TBtnForm::Proc_LoadIni() {
    if (DataFolder.empty()) return;
    RECT r = BoundsRect();
    Settings.Left = r.left;
    Settings.Top = r.top;
    Settings.Width = r.right - r.left;
    Settings.Height = r.bottom - r.top;
    LoadBtnIni(BtnIniFileName(DataFolder), Settings);
    if (HandleAllocated()) {
        SetBounds(Settings.Left, Settings.Top, Settings.Width, Settings.Height);
        EnsureWindowOnScreen(Handle());
    }
    ShowSettings();
}

bool TBtnForm::Proc_SaveIni() {
    if (DataFolder.empty()) return false;
    const gui::TFormPlacement placement = Placement();
    Settings.Normal = placement.Normal;
    Settings.Left = placement.Left;
    Settings.Top = placement.Top;
    Settings.Width = placement.Width;
    Settings.Height = placement.Height;
    return SaveBtnIni(BtnIniFileName(DataFolder), Settings);
}

void TBtnForm::Proc_LoadList() {
    if (DataFolder.empty()) return;
    LoadBtnList(BtnListFileName(DataFolder), ListList, Settings.TBMoveCursor);
    MListListC = static_cast<int>(ListList.size());
    ShowRegistered();
    if (TBMoveCursor) TBMoveCursor->SetDown(Settings.TBMoveCursor);
}

bool TBtnForm::Proc_SaveList() {
    if (DataFolder.empty()) return false;
    return SaveBtnList(BtnListFileName(DataFolder), ListList, Settings.TBMoveCursor);
}

// --- hot key --------------------------------------------------------------------

void TBtnForm::RegisterStopHotKey() {
    if (Settings.EditHTKStop.empty()) return;
    HookHotKey->Change(kStopHotKey, TextToShortCut(Settings.EditHTKStop));
}

void TBtnForm::HookHotKeyHotKey(THookHotKey*, int index) {
    if (index == kStopHotKey && TrayForm) TrayForm->PPBtnStop->Click();
}

// --- the handled-window list ------------------------------------------------------

bool TBtnForm::IsHandled(HWND wnd) const { return ListBoxCursor.IndexOf(HandleText(wnd)) >= 0; }

void TBtnForm::AddHandled(HWND wnd) {
    if (!IsHandled(wnd)) ListBoxCursor.Add(HandleText(wnd));
}

void TBtnForm::RemoveHandled(HWND wnd) {
    for (int i = ListBoxCursor.Count() - 1; i >= 0; --i)
        if (ListBoxCursor[i] == HandleText(wnd)) ListBoxCursor.Delete(i);
}

// --- the heartbeat step ---------------------------------------------------------

void TBtnForm::Proc_TimerBtn(HWND ForegroundWnd, bool Changed) {
    for (int i = ListBoxCursor.Count() - 1; i >= 0; --i)
        if (!::IsWindow(HandleFromText(ListBoxCursor[i]))) ListBoxCursor.Delete(i);

    // An entry presses again only once the dialog it pressed in has gone or
    // been hidden.
    for (size_t i = ListList.size(); i-- > 0;) {
        TBtnEntry& e = ListList[i];
        if (e[bfPressedIn].empty()) continue;
        HWND pressedIn = HandleFromText(e[bfPressedIn]);
        if (!::IsWindow(pressedIn) || !::IsWindowVisible(pressedIn)) {
            e[bfPressedIn].clear();
            e[bfPressed].clear();
        }
    }

    const bool stopped = TrayForm && TrayForm->PPBtnStop->Checked();
    const bool ownForeground = TrayForm && ForegroundWnd == TrayForm->Handle();
    // With no entry to watch for, a scan would find nothing: the cursor,
    // which is costly to ask, is then not asked, and the next entry scans.
    if (!stopped && !Visible() && !ownForeground && ListList.empty()) MButtonWin = nullptr;
    if (!stopped && !Visible() && !ownForeground && !ListList.empty()) {
        HWND under = GetWindowUnderCursor();
        if (Changed || under != MButtonWin) {
            MButtonWin = under;
            ScanWindows();
        }
    }

    const bool cursorFeature = TrayForm && TrayForm->PPBtnCursor->Checked();
    const bool candidate = IsCursorCandidate(ForegroundWnd);
    // The shell windows are looked up only when the answer counts: this
    // runs four times a second.
    auto shell = [&] { return IsShellWindow(GetTopLevelWindow(ForegroundWnd)); };
    if (cursorFeature && Changed && candidate && !shell()) CursorStep(ForegroundWnd);

    if (!cursorFeature || IsHandled(ForegroundWnd) || shell()) MCursorWin = ForegroundWnd;
    if (!candidate) {
        MCursorWin = nullptr;
        RemoveHandled(ForegroundWnd);
    }
}

// --- the scan -------------------------------------------------------------------

void TBtnForm::ScanWindows() {
    // While watching, a window matters only through an entry it matches.
    if (!Visible() && ListList.empty()) return;
    TScan scan{this, OwnProgramName(), /*watching=*/!Visible()};
    ::EnumWindows(ScanWindowProc, reinterpret_cast<LPARAM>(&scan));
}

void TBtnForm::Proc_SearchButtons(bool activeOnly) {
    ListAdd.clear();
    FActiveOnly = activeOnly;
    TScan scan{this, OwnProgramName(), /*watching=*/false};
    ::EnumWindows(ScanWindowProc, reinterpret_cast<LPARAM>(&scan));
    FActiveOnly = false;
}

BOOL CALLBACK TBtnForm::ScanWindowProc(HWND wnd, LPARAM data) {
    auto& scan = *reinterpret_cast<TScan*>(data);
    gui::GuardCallback([&] { scan.self->ScanWindow(scan, wnd); });
    return TRUE;
}

void TBtnForm::ScanWindow(TScan& scan, HWND wnd) {
    if (!IsNormalAppWindow(wnd, true)) return;
    std::wstring path;
    GetWindowExePath(wnd, path);
    scan.program = UpperCase(FileNameOfPath(path));
    if (scan.program == scan.ownProgram) return;
    int x = 0, y = 0, w = 0, h = 0;
    if (!GetWindowBounds(wnd, x, y, w, h)) return;
    scan.caption = ScanText(wnd);
    scan.className = ScanClass(wnd);
    scan.height = std::to_wstring(h);
    scan.width = std::to_wstring(w);
    scan.message.clear();
    const bool dialog = scan.className == kDialogClass;
    if (dialog) ::EnumChildWindows(wnd, MessageChildProc, reinterpret_cast<LPARAM>(&scan));

    if (scan.watching) {
        for (size_t i = 0; i < ListList.size(); ++i) {
            const TBtnEntry& e = ListList[i];
            const bool anySize = e[bfHeight].empty();
            const std::wstring& eh = anySize ? scan.height : e[bfHeight];
            const std::wstring& ew = anySize ? scan.width : e[bfWidth];
            if (e[bfProgram] != scan.program || e[bfCaption] != scan.caption ||
                e[bfClass] != scan.className || eh != scan.height || ew != scan.width)
                continue;
            if (dialog && !e[bfMessage].empty() && !Contains(scan.message, e[bfMessage].c_str())) continue;
            scan.entry = i;
            scan.dialog = wnd;
            ::EnumChildWindows(wnd, VisitChildProc, reinterpret_cast<LPARAM>(&scan));
        }
    } else if (!FActiveOnly || wnd == GetNextVisibleWindow(Handle())) {
        ::EnumChildWindows(wnd, VisitChildProc, reinterpret_cast<LPARAM>(&scan));
    }
}

BOOL CALLBACK TBtnForm::MessageChildProc(HWND wnd, LPARAM data) {
    auto& scan = *reinterpret_cast<TScan*>(data);
    gui::GuardCallback([&] {
        // Only the last child counts: in a message box it is the message text.
        scan.message.clear();
        if (ScanClass(wnd) != L"Static") return;
        std::wstring text = ScanText(wnd);
        text = ReplaceAll(std::move(text), L"\r\n", kLineBreak);
        text = ReplaceAll(std::move(text), L"\r", kLineBreak);
        scan.message = ReplaceAll(std::move(text), L"\n", kLineBreak);
    });
    return TRUE;
}

BOOL CALLBACK TBtnForm::VisitChildProc(HWND wnd, LPARAM data) {
    auto& scan = *reinterpret_cast<TScan*>(data);
    gui::GuardCallback([&] { scan.self->VisitChild(scan, wnd); });
    return TRUE;
}

void TBtnForm::VisitChild(TScan& scan, HWND child) {
    const std::wstring caption = ScanText(child);
    const std::wstring cls = ScanClass(child);
    if (!Contains(cls, L"Button") && !Contains(cls, L"BitBtn")) return;

    if (!scan.watching) {
        // The program's own message boxes.
        if (Contains(scan.caption, L" / Quorvin") && caption == L"OK") return;
        if (scan.caption.empty() || scan.className.empty() || caption.empty() || cls.empty()) return;
        TBtnEntry row;
        row[bfProgram] = scan.program;
        row[bfCaption] = scan.caption;
        row[bfClass] = scan.className;
        row[bfHeight] = scan.height;
        row[bfWidth] = scan.width;
        row[bfButtonCaption] = caption;
        row[bfButtonClass] = cls;
        row[bfMessage] = scan.message;
        ListAdd.push_back(std::move(row));
        return;
    }

    TBtnEntry& e = ListList[scan.entry];
    if (caption != e[bfButtonCaption] || cls != e[bfButtonClass] || !e[bfPressed].empty()) return;
    ::SetWindowPos(scan.dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ForceForegroundWindow(scan.dialog);
    int x = 0, y = 0, w = 0, h = 0;
    if (GetWindowBounds(child, x, y, w, h) && Settings.TBMoveCursor) ::SetCursorPos(x + w / 2, y + h / 2);
    // A disabled button is tried again at the next scan.
    if (!::IsWindowEnabled(scan.dialog) || !::IsWindowEnabled(child)) return;
    if (Settings.CHKWav) PlayPressSound();
    ::PostMessageW(child, BM_CLICK, 0, 0);
    e[bfPressedIn] = HandleText(scan.dialog);
    e[bfPressed] = L"OK";
}

void TBtnForm::PlayPressSound() {
    if (Settings.CHKWavRes) {
        HMODULE self = ::GetModuleHandleW(nullptr);
        ::PlaySoundW(nullptr, self, SND_RESOURCE);  // stops a sound still playing
        ::PlaySoundW(L"NYA", self, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    } else {
        PlayWaveFile(Settings.EditWav);
    }
}

// --- the cursor feature ---------------------------------------------------------

BOOL CALLBACK TBtnForm::CursorChildProc(HWND wnd, LPARAM data) {
    auto& search = *reinterpret_cast<TCursorSearch*>(data);
    return gui::GuardCallback(FALSE, [&]() -> BOOL {
        if (!IsPushableButton(wnd)) return TRUE;
        if (search.captions) {
            const std::wstring caption = ScanText(wnd);
            bool hit = false;
            for (size_t i = 0; i < search.count && !hit; ++i) hit = Contains(caption, search.captions[i]);
            if (!hit) return TRUE;
        }
        search.found = wnd;
        return FALSE;
    });
}

void TBtnForm::CursorStep(HWND wnd) {
    if (!IsHandled(wnd) && TrayForm && TrayForm->PPCaret->Checked()) {
        if (HWND focus = GetForegroundFocusWindow()) {
            std::wstring cls = ScanClass(focus);
            if (!cls.empty()) ::CharUpperBuffW(cls.data(), static_cast<DWORD>(cls.size()));
            POINT pt{};
            if ((Contains(cls, L"EDIT") || Contains(cls, L"TEXT")) && GetForegroundCaretPos(pt)) {
                ::SetCursorPos(pt.x, pt.y);
                AddHandled(::GetForegroundWindow());
            }
        }
    }
    if (!IsHandled(wnd)) {
        HWND ok = ::GetDlgItem(wnd, IDOK);
        if (IsPushableButton(ok)) MoveCursorToControl(ok);
    }
    if (!IsHandled(wnd)) {
        HWND focus = GetForegroundFocusWindow();
        if (IsPushableButton(focus)) MoveCursorToControl(focus);
    }
    TCursorSearch searches[] = {{kYesCaptions, std::size(kYesCaptions)},
                                {kNoCaptions, std::size(kNoCaptions)},
                                {nullptr, 0}};
    for (TCursorSearch& search : searches) {
        if (IsHandled(wnd)) break;
        ::EnumChildWindows(wnd, CursorChildProc, reinterpret_cast<LPARAM>(&search));
        if (search.found) MoveCursorToControl(search.found);
    }
    AddHandled(wnd);
}

void TBtnForm::MoveCursorToControl(HWND control) {
    if (!::IsWindowEnabled(control) || !::IsWindowVisible(control)) return;
    RECT r{};
    if (!::GetWindowRect(control, &r)) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 8 || h <= 8) return;
    if (HandleAllocated()) ::SetCapture(Handle());
    for (int i = 0; i < 10; ++i) {
        ::SetCursorPos(r.left + w / 2, r.top + h / 2);
        if (GetWindowUnderCursor() == control) break;
        ::Sleep(1);
        if (gui::Application) gui::Application->ProcessMessages();
    }
    ::ReleaseCapture();
    AddHandled(::GetForegroundWindow());
}
