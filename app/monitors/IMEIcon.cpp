#include "app/monitors/IMEIcon.h"

#include <imm.h>

#include "app/Tray.h"
#include "gui/Application.h"
#include "gui/Handles.h"

TIMEIconForm* IMEIconForm = nullptr;

TIMEIconForm::TIMEIconForm(gui::TComponent* owner) : TForm(owner, L"TIMEIconForm") {
    Name = L"IMEIconForm";
    BorderStyle = gui::TFormBorderStyle::bsNone;
    ToolWindow = true;
    StayOnTop = true;
    CreationLeft = CreationTop = 0;
    CreationWidth = CreationHeight = Size;
}

void TIMEIconForm::FormCreate() {
    // The window owns the region once it is set.
    ::SetWindowRgn(Handle(), ::CreateEllipticRgn(0, 0, Size, Size), FALSE);
}

void TIMEIconForm::SetOwnIMEOpen(bool open) {
    HIMC imc = ::ImmGetContext(Handle());
    if (!imc) return;
    ::ImmSetOpenStatus(imc, open ? TRUE : FALSE);
    ::ImmReleaseContext(Handle(), imc);
}

void TIMEIconForm::FormShow() {
    white_ = TrayForm && TrayForm->PPIMEIconColor->Checked();
    ::InvalidateRect(Handle(), nullptr, TRUE);
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    SetOwnIMEOpen(true);
}

void TIMEIconForm::FormHide() { SetOwnIMEOpen(false); }

void TIMEIconForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    SetOwnIMEOpen(false);
}

void TIMEIconForm::Paint(HDC dc) {
    // A disc with "あ" on it: black with a white sign, or the other way round.
    const COLORREF face = white_ ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const COLORREF sign = white_ ? RGB(0, 0, 0) : RGB(255, 255, 255);
    RECT r{0, 0, Size, Size};
    gui::GdiObject back(::CreateSolidBrush(face));
    ::FillRect(dc, &r, static_cast<HBRUSH>(back.get()));
    gui::GdiObject font(::CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                           DEFAULT_PITCH, L"MS UI Gothic"));
    gui::SelectObjectScope select(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, sign);
    ::DrawTextW(dc, L"あ", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT TIMEIconForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Handle(), &ps);
            Paint(dc);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
            Close();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            break;
    }
    return TForm::WndProc(msg, wp, lp);
}
