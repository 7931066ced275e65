#include "app/monitors/Panel.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/monitors/RAM.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/ImageList.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"

TPanelForm* PanelForm = nullptr;

using gui::TMenuItem;

namespace {

const int kSizes[7] = {32, 48, 64, 96, 128, 192, 256};

// The stop picture: two grey bars on dark grey, 32 x 32.
void DrawStopPicture(gui::TIcon& icon) {
    gui::TBitmap bmp(32, 32);
    gui::TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(RGB(48, 48, 48));
    c.FillRect(RECT{0, 0, 32, 32});
    c.Brush().SetColor(RGB(160, 160, 160));
    c.FillRect(RECT{6, 13, 14, 19});
    c.FillRect(RECT{18, 13, 26, 19});
    gui::TImageList list(nullptr, 32, 32);
    list.AddMasked(bmp, gui::clNone);
    list.GetIcon(0, icon);
}

int ButtonIndex(gui::TMouseButton b) {
    return b == gui::TMouseButton::mbLeft ? 0 : b == gui::TMouseButton::mbRight ? 1 : 2;
}

}  // namespace

// --- the picture ----------------------------------------------------------------------------

void TPanelImage::CreateParams(gui::TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TPanelImage";
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    params.Background = nullptr;
}

void TPanelImage::SetPicture(const gui::TIcon& icon) {
    icon_.Assign(icon);
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TPanelImage::SetColor(gui::TColor color) {
    if (color == color_) return;
    color_ = color;
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TPanelImage::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return DefaultHandler(msg, wp, lp);
    PAINTSTRUCT ps{};
    HDC dc = msg == WM_PAINT ? ::BeginPaint(Handle(), &ps) : reinterpret_cast<HDC>(wp);
    RECT r = ClientRect();
    gui::GdiObject brush(::CreateSolidBrush(gui::ColorToRGB(color_)));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    if (!icon_.Empty()) {
        // Stretched to the control, keeping its shape, and centred.
        const int s = std::min(r.right, r.bottom);
        ::DrawIconEx(dc, (r.right - s) / 2, (r.bottom - s) / 2, icon_.Handle(), s, s, 0, nullptr, DI_NORMAL);
    }
    if (msg == WM_PAINT) ::EndPaint(Handle(), &ps);
    return 0;
}

// --- the form --------------------------------------------------------------------------------

TPanelForm::TPanelForm(gui::TComponent* owner) : TForm(owner, L"TPanelForm") {
    Name = L"PanelForm";
    CreationCaption = L"Orvandel";
    ToolWindow = true;
    CreationLeft = CreationTop = 0;
    CreationWidth = CreationHeight = 32;
    BorderStyle = gui::TFormBorderStyle::bsNone;
    ScreenSnap = true;
}

void TPanelForm::CreateMenu() {
    PPMenu = new gui::TPopupMenu(this);
    PPMenu->Name = L"PPMenu";
    TMenuItem* root = PPMenu->Items();
    PPSize = gui::NewMenuItem(this, root, {.Name = L"PPSize", .Caption = L"大きさ"});
    for (int i = 0; i < 7; ++i)
        MPPSize[i] = gui::NewMenuItem(this, PPSize,
                                      {.Name = L"PPSize" + std::to_wstring(i), .Caption = std::to_wstring(kSizes[i]),
                                       .Tag = i, .RadioGroup = 1,
                                       .OnClick = [this](TMenuItem* sender) { PPSizeClick(sender); }});
    PPTop = gui::NewMenuItem(this, root, {.Name = L"PPTop", .Caption = L"常に最前面表示", .AutoCheck = true,
                                          .OnClick = [this](TMenuItem*) { PPTopClick(); }});
    PPTrans = gui::NewMenuItem(this, root, {.Name = L"PPTrans", .Caption = L"半透明度"});
    for (int t = 10; t >= 2; --t)
        MPPTrans[10 - t] = gui::NewMenuItem(
            this, PPTrans,
            {.Name = L"PPTrans" + std::to_wstring(t), .Caption = std::to_wstring(t * 10) + L"%", .Tag = t,
             .RadioGroup = 2, .OnClick = [this](TMenuItem* sender) { PPTransClick(sender); }});
    PPCPURAM = gui::NewMenuItem(this, root, {.Name = L"PPCPURAM", .Caption = L"CPU/RAM位置替え", .AutoCheck = true,
                                             .OnClick = [this](TMenuItem*) { PPCPURAMClick(); }});
    PPLeft = gui::NewMenuItem(this, root, {.Name = L"PPLeft", .Caption = L"CPU/RAM左寄せ", .AutoCheck = true,
                                           .OnClick = [this](TMenuItem*) { PPLeftClick(); }});
    PopupMenu = PPMenu;
}

void TPanelForm::FormCreate() {
    SetToolWindowStyle(Handle());
    CreateMenu();
    DrawStopPicture(ImageStop);

    // The black holders of the panel's pictures, all of one size.
    auto blackPanel = [this](gui::TWinControl* parent, const wchar_t* name) {
        auto* p = gui::NewControl<gui::TPanel>(
            this, {.Parent = parent, .Name = name, .Bounds = gui::Bounds(0, 0, 52, 48)}, gui::kHolderPanel);
        p->SetColor(gui::clBlack);
        return p;
    };
    Panel = blackPanel(this, L"Panel");
    PanelCPU = blackPanel(Panel, L"PanelCPU");
    PanelRAM = blackPanel(Panel, L"PanelRAM");
    PanelEdge = blackPanel(Panel, L"PanelEdge");
    auto picture = [this](gui::TPanel* half, const wchar_t* name) {
        auto* p = gui::NewControl<TPanelImage>(this, {.Parent = half, .Name = name, .Bounds = gui::Bounds(2, 0, 48, 48)});
        p->ShowHint = true;
        return p;
    };
    ImageCPU = picture(PanelCPU, L"ImageCPU");
    ImageRAM = picture(PanelRAM, L"ImageRAM");
    if (TrayForm) ImageCPU->PopupMenu = TrayForm->PPRMenu;
    if (RAMForm) ImageRAM->PopupMenu = RAMForm->PPMenu;
    ImageCPU->OnMouseDown = [this](gui::TControl*, gui::TMouseButton b, gui::TShiftState s, int, int) {
        if (b == gui::TMouseButton::mbMiddle) MiddleClick();
        else ImageCPUMouseDown(b, s);
    };
    ImageRAM->OnMouseDown = [this](gui::TControl*, gui::TMouseButton b, gui::TShiftState, int, int) {
        if (b == gui::TMouseButton::mbMiddle) MiddleClick();
    };
    ImageRAM->OnDblClick = [this](gui::TControl*) { ImageRAMDblClick(); };

    LoadIni();
}

// --- Panel.ini ---------------------------------------------------------------------------------

namespace {

// The values "Panel.ini" holds; each starts at the value a missing key gives.
struct TPanelIni {
    gui::TBounds Bounds;  // a missing key keeps the panel's own
    int Size = 1;         // kept as read: a size no menu item has checks none
    bool Top = false, Position = false, Left = false;
    int Trans = 10;

    // Every key, in the order a new file holds them. An opacity outside the
    // menu's steps would make the panel invisible or no step at all: it is
    // taken as opaque.
    gui::TIniTable Table() {
        return {
            gui::IniBounds(L"Window", Bounds, gui::TBoundsKeys::Position),
            gui::IniInt(L"Disp", L"Size", Size, Size),
            gui::IniBool(L"Disp", L"Top", Top, Top),
            gui::IniBool(L"Disp", L"Position", Position, Position),
            gui::IniBool(L"Disp", L"Left", Left, Left),
            gui::IniInt(L"Disp", L"Trans", Trans, Trans, {2, 10, gui::TOutOfRange::Default}),
        };
    }
};

}  // namespace

void TPanelForm::LoadIni() {
    gui::TMemIniFile ini(DataFolder + L"Panel.ini");
    FIniUnreadable = ini.Unreadable();
    TPanelIni v;
    v.Bounds = gui::BoundsOf(BoundsRect());
    gui::LoadIniTable(ini, v.Table());
    ::SetWindowPos(Handle(), nullptr, v.Bounds.Left, v.Bounds.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MPPSizeC = v.Size;
    PPTop->SetChecked(v.Top);
    PPCPURAM->SetChecked(v.Position);
    PPLeft->SetChecked(v.Left);
    MPPTransC = v.Trans;
    if (MPPSizeC >= 0 && MPPSizeC <= 6) MPPSize[MPPSizeC]->SetChecked(true);
    MPPTrans[10 - MPPTransC]->SetChecked(true);
    ApplyTrans();
    EnsureWindowOnScreen(Handle());
}

bool TPanelForm::SaveIni() {
    if (FIniUnreadable) return false;
    gui::TMemIniFile ini(DataFolder + L"Panel.ini");
    if (ini.Unreadable()) return false;
    TPanelIni v{gui::BoundsOf(BoundsRect()), MPPSizeC, PPTop->Checked(), PPCPURAM->Checked(), PPLeft->Checked(),
                MPPTransC};
    gui::SaveIniTable(ini, v.Table());
    return ini.UpdateFile();
}

void TPanelForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    SaveIni();
}

// --- showing and layout ----------------------------------------------------------------------------

int TPanelForm::PictureSize(int sizeIndex) { return sizeIndex >= 0 && sizeIndex <= 6 ? kSizes[sizeIndex] : 48; }

void TPanelForm::ApplyTop() {
    SetWindowTopMost(Handle(), PPTop->Checked());
    FBackground = PPTop->Checked() ? gui::clBlack : gui::clBtnFace;
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TPanelForm::ApplyTrans() {
    const BYTE alpha = static_cast<BYTE>(std::trunc(MPPTransC * 10 / 100.0 * 255));
    SetAlphaBlend(MPPTransC < 10, alpha);
}

void TPanelForm::FormShow() {
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    ApplyTop();
    if (RAMForm && !RAMForm->FMemWork) ImageRAM->PopupMenu = RAMForm->PPMenu;
    if (TrayForm && TrayForm->PPCPUStop->Checked()) Proc_StopCPURAM(0);
    if ((TrayForm && TrayForm->PPRAMStop->Checked()) || (RAMForm && RAMForm->PPStop->Checked()))
        Proc_StopCPURAM(1);
    LayOut();
}

void TPanelForm::LayOut() {
    const int s = PictureSize(MPPSizeC);
    const int half = s + 4;
    const bool ramShown = !(TrayForm && TrayForm->PPRAMStop->Checked());
    ImageCPU->SetBounds(2, 0, s, s);
    ImageRAM->SetBounds(2, 0, s, s);
    PanelRAM->SetVisible(ramShown);
    const int inner = ramShown ? 2 * half : half;
    const int width = inner + 20;  // the bare strip beside the halves is the grip
    RECT r = BoundsRect();
    ::SetWindowPos(Handle(), nullptr, r.left, r.top, width, s, SWP_NOZORDER | SWP_NOACTIVATE);
    const bool left = PPLeft->Checked();
    Panel->SetBounds(left ? 0 : width - inner, 0, inner, s);
    // CPU then RAM from the left, or RAM then CPU.
    gui::TPanel* first = ramShown && PPCPURAM->Checked() ? PanelRAM : PanelCPU;
    gui::TPanel* second = first == PanelCPU ? PanelRAM : PanelCPU;
    first->SetBounds(0, 0, half, s);
    second->SetBounds(half, 0, half, s);
    PanelEdge->SetColor(FBackground);
    PanelEdge->SetBounds(left ? 0 : inner - 2, 0, 2, s);
    ::SetWindowPos(PanelEdge->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A larger size must not push the panel off the screen.
    EnsureWindowOnScreen(Handle());
}

void TPanelForm::Relayout() {
    Hide();
    Show();
}

// --- values ----------------------------------------------------------------------------------------

void TPanelForm::Proc_DispCPURAM(bool IsCPU, int Value) {
    if (Value < 0) Value = 0;
    if (Value > 100) Value = 100;
    gui::TPanel* half = IsCPU ? PanelCPU : PanelRAM;
    TPanelImage* image = IsCPU ? ImageCPU : ImageRAM;
    if (IsCPU && TrayForm) image->Hint = TrayForm->TrayIcon->Hint();
    if (!IsCPU && RAMForm) image->Hint = RAMForm->TrayIcon->Hint();
    const gui::TColor back = Value == 100 ? gui::clRed : gui::clBlack;
    half->SetColor(back);
    image->SetColor(back);
    if (TrayForm) {
        gui::TIcon icon;
        if (TrayForm->ImageListNum->GetIcon(Value, icon)) image->SetPicture(icon);
    }
}

void TPanelForm::Proc_StopCPURAM(int Kind) {
    const bool cpu = Kind == 0 || Kind == 2;
    gui::TPanel* half = cpu ? PanelCPU : PanelRAM;
    TPanelImage* image = cpu ? ImageCPU : ImageRAM;
    half->SetColor(gui::clBlack);
    image->SetColor(gui::clBlack);
    const bool classic = TrayForm && TrayForm->MCPUDisp == 4 && TrayForm->PPCPUStop->Checked() && cpu;
    image->SetPicture(classic ? TrayForm->ImageMirtStop : ImageStop);
    if (Kind >= 2) {
        ::UpdateWindow(image->Handle());
        ::Sleep(BusyPause);
    }
}

// --- menu --------------------------------------------------------------------------------------------

void TPanelForm::PPSizeClick(TMenuItem* item) {
    Hide();
    MPPSizeC = item->Tag;
    item->SetChecked(true);
    Show();
}

void TPanelForm::PPTopClick() {
    ApplyTop();
    PanelCPU->SetColor(FBackground);
    PanelRAM->SetColor(FBackground);
    ImageCPU->SetColor(FBackground);
    ImageRAM->SetColor(FBackground);
    PanelEdge->SetColor(FBackground);
}

void TPanelForm::PPTransClick(TMenuItem* item) {
    MPPTransC = item->Tag;
    item->SetChecked(true);
    ApplyTrans();
}

void TPanelForm::PPCPURAMClick() { Relayout(); }

void TPanelForm::PPLeftClick() { Relayout(); }

// --- mouse ---------------------------------------------------------------------------------------------

void TPanelForm::MiddleClick() {
    PPTop->SetChecked(!PPTop->Checked());
    PPTopClick();
}

void TPanelForm::ImageCPUMouseDown(gui::TMouseButton button, gui::TShiftState shift) {
    const int b = ButtonIndex(button);
    const bool dbl = (shift & gui::ssDouble) != 0;
    if (dbl) {
        MDoubleClickOccurred[b] = true;
    } else {
        MDoubleClickOccurred[b] = false;
        // A second press within the double-click time makes this a double click.
        const ULONGLONG end = ::GetTickCount64() + ::GetDoubleClickTime();
        auto alive = AliveToken();
        while (::GetTickCount64() < end && !MDoubleClickOccurred[b]) {
            gui::Application->ProcessMessages();
            if (!*alive) return;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        if (MDoubleClickOccurred[b]) return;
    }
    if (button != gui::TMouseButton::mbLeft || !TrayForm) return;
    if (dbl) {
        TrayForm->PPWindow->Click();
    } else if (TrayForm->FPopUpL) {
        TrayForm->Proc_CancelPopUpMenu();
        TrayForm->FPopUpL = false;
    } else {
        TrayForm->FPopUpL = true;
        POINT pt{};
        ::GetCursorPos(&pt);
        TrayForm->PPLMenu->Popup(pt.x, pt.y, TrayForm->Handle());
    }
}

void TPanelForm::ImageRAMDblClick() {
    if (!RAMForm) return;
    if (RAMForm->RGTrayWClick == 1) {
        RAMForm->PPRAMCleanClick();
    } else if (RAMForm->RGTrayWClick == 2) {
        RAMForm->PPStop->SetChecked(!RAMForm->PPStop->Checked());
        RAMForm->PPStopClick();
    }
}

LRESULT TPanelForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r = ClientRect();
            gui::GdiObject brush(::CreateSolidBrush(gui::ColorToRGB(FBackground)));
            ::FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(brush.get()));
            return 1;
        }
        case WM_LBUTTONDOWN:
            // Moved as by its title bar; the new place is kept at once.
            BeginMoveByBody();
            SaveIni();
            return 0;
        case WM_MBUTTONDOWN:
            MiddleClick();
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) == Handle() && LOWORD(lp) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return TForm::WndProc(msg, wp, lp);
}
