#include "app/TrayIME.h"

#include <imm.h>
#include <mmsystem.h>

#include <cstdint>
#include <cwctype>

#include "app/Tray.h"
#include "app/monitors/IMEExe.h"
#include "app/monitors/IMEIcon.h"
#include "gui/Screen.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"

using gui::TMenuItem;

namespace {

const WPARAM kIMCGetOpenStatus = 5;  // IMC_GETOPENSTATUS

std::wstring HandleText(HWND wnd) {
    return std::to_wstring(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(wnd)));
}

HWND HandleFromText(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoul(text.c_str(), nullptr, 10)));
}

// The Windows 11 shell hosts whose search and start windows take the IME
// without being programs the user works in.
bool IsShellHostProgram(const std::wstring& exe) {
    std::wstring name = LowerCase(exe.substr(exe.find_last_of(L'\\') + 1));
    return name == LowerCase(L"searchhost.exe") || name == LowerCase(L"StartMenuExperienceHost.exe");
}

bool AskIMEOpen(HWND focus) {
    HWND ime = ::ImmGetDefaultIMEWnd(focus);
    if (!ime) return false;
    // A hung program must not stop the heartbeat: it counts as not open.
    DWORD_PTR open = 0;
    if (!::SendMessageTimeoutW(ime, WM_IME_CONTROL, kIMCGetOpenStatus, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               1000, &open))
        return false;
    return open != 0;
}

void PlayWaveResource(const wchar_t* wave) {
    if (!wave) {
        ::PlaySoundW(nullptr, nullptr, SND_RESOURCE);
        return;
    }
    ::PlaySoundW(wave, ::GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC);
}

}  // namespace

TIMENotices::TIMENotices(TTrayForm& form)
    : IMEOpenSource(AskIMEOpen), IMESoundPlayer(PlayWaveResource), Form(form) {}

void TIMENotices::CreateHintWindow() {
    MIMEHintWindow = new gui::THintWindow(&Form);
    MIMEHintWindow->Name = L"MIMEHintWindow";
}

bool TIMENotices::Wanted() const { return MPPIMEC > 0 || MPPIMEWaveC > 0 || Form.PPIMEHint->Checked(); }

void TIMENotices::RaiseIcon() {
    if (IMEIconForm && IMEIconForm->Visible())
        ::SetWindowPos(IMEIconForm->Handle(), HWND_TOPMOST, MIMEActLeft, MIMEActTop, 0, 0,
                       SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TIMENotices::Proc_IMECheck() {
    if (Form.PPIMEHint->Checked()) {
        if (MIMEHintDispC >= 1)
            --MIMEHintDispC;
        else
            HideHint();
    }
    for (int i = ListBoxIME.Count() - 1; i >= 0; --i)
        if (!::IsWindow(HandleFromText(ListBoxIME[i]))) ListBoxIME.Delete(i);

    HWND fg = ::GetForegroundWindow();
    std::wstring exe;
    GetWindowExePath(fg, exe);

    bool skipped;
    if (Form.PPIMEEnable->Checked())
        skipped = IMEExeForm && !IMEExeForm->ListBoxEnable.Empty() &&
                  !TIMEExeForm::Contains(IMEExeForm->ListBoxEnable, exe);
    else
        skipped = IMEExeForm && TIMEExeForm::Contains(IMEExeForm->ListBoxDisable, exe);
    if (!skipped && IsWindows11() && IsShellHostProgram(exe)) skipped = true;
    if (skipped) {
        HideIcon();
        MIMEActWin = fg;
        return;
    }

    RECT r{};
    wchar_t cls[260] = {};
    if (fg) ::GetClassNameW(fg, cls, 260);
    const std::wstring className = cls;
    if (!fg || !::IsWindowEnabled(fg) || !::IsWindowVisible(fg) || ::IsIconic(fg) ||
        !GetWindowRectUnlessMinimized(fg, r) || className == L"Shell_SecondaryTrayWnd" ||
        className == L"Shell_TrayWnd") {
        MIMEActWin = nullptr;
        MIMEActLeft = MIMEActTop = 0;
        MIMEActRect = RECT{};
        if (Form.PPIMEHint->Checked()) HideHint();
        if (IMEIconForm && IMEIconForm->Visible()) IMEIconForm->Close();
        return;
    }

    const bool rectChanged = !::EqualRect(&r, &MIMEActRect);
    MIMEActRect = r;
    int b = 0;
    ::SystemParametersInfoW(SPI_GETBORDER, 0, &b, 0);
    const int cx = r.left + (r.right - r.left) / 2;
    switch (MPPIMEC) {
        case 1: MIMEActLeft = r.left + 4; MIMEActTop = r.top + 4; break;
        case 2: MIMEActLeft = cx; MIMEActTop = r.top + 4; break;
        case 3: MIMEActLeft = r.left + 4; MIMEActTop = r.bottom - 32 - b; break;
        case 4: MIMEActLeft = cx; MIMEActTop = r.bottom - 32 - b; break;
        default: break;
    }
    if (fg == DesktopViewHostWnd && fg) {
        MIMEActLeft = cx;
        MIMEActTop = r.top + (r.bottom - r.top) / 2;
    }

    const std::wstring key = HandleText(fg);
    const int e = ListBoxIME.IndexOf(key);
    // With no focus window the query would ask this program's own thread.
    HWND focus = GetForegroundFocusWindow();
    const bool open = focus && IMEOpenSource(focus);

    if (fg != MIMEActWin) {
        HideIcon();
        MIMEActWin = fg;
        if (open) {
            if (e >= 0) ListBoxIME.Delete(e);
            ListBoxIME.Insert(0, key);
            NotifySound();
            ShowIcon();
            ShowHint();
        }
        return;
    }
    if (rectChanged) HideIcon();
    if (open) {
        ShowIcon();
        if (e == -1) {
            ListBoxIME.Insert(0, key);
            NotifySound();
            ShowHint();
        }
    } else {
        if (e >= 0) ListBoxIME.Delete(e);
        HideIcon();
        if (Form.PPIMEHint->Checked()) HideHint();
    }
}

void TIMENotices::NotifySound() {
    static const wchar_t* const waves[4] = {nullptr, L"nya", L"kachi", L"pi"};
    IMESoundPlayer(nullptr);
    if (MPPIMEWaveC >= 1 && MPPIMEWaveC <= 3) IMESoundPlayer(waves[MPPIMEWaveC]);
}

void TIMENotices::ShowIcon() {
    if (MPPIMEC <= 0 || !IMEIconForm || IMEIconForm->Visible()) return;
    HWND w = IMEIconForm->Handle();
    ::ShowWindow(w, SW_SHOWNOACTIVATE);
    ::SetWindowPos(w, HWND_TOPMOST, MIMEActLeft, MIMEActTop, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TIMENotices::HideIcon() {
    if (IMEIconForm && IMEIconForm->Visible()) IMEIconForm->Hide();
}

void TIMENotices::ShowHint() {
    if (!Form.PPIMEHint->Checked() || MIMEHintDispC >= 1 || !MIMEHintWindow) return;
    const std::wstring text = L"IME ON";
    RECT r = MIMEHintWindow->CalcHintRect(gui::Screen.Width(), text);
    POINT pt{};
    ::GetCursorPos(&pt);
    ::OffsetRect(&r, pt.x + 16, pt.y + 16);
    r.right += 6;
    r.bottom += 2;
    MIMEHintWindow->ActivateHint(r, text);
    MIMEHintDispC = 2000 / static_cast<int>(Form.TimerMain->Interval());
}

void TIMENotices::HideHint() {
    if (MIMEHintWindow) MIMEHintWindow->ReleaseHint();
}

// --- menu handlers -----------------------------------------------------------

void TIMENotices::PPIMEClick(TMenuItem* item) {
    Form.FPopUpR = false;
    item->SetChecked(true);
    MPPIMEC = item->Tag;
    if (MPPIMEC == 0 && IMEIconForm) IMEIconForm->Close();
    Form.PPIMEIconColor->SetEnabled(MPPIMEC > 0);
}

void TIMENotices::PPIMEWaveClick(TMenuItem* item) {
    Form.FPopUpR = false;
    item->SetChecked(true);
    MPPIMEWaveC = item->Tag;
}
