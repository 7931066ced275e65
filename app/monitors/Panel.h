// TPanelForm: the floating usage panel, a small borderless tool window that
// shows the CPU usage and the RAM load side by side as large digit pictures.
// The main form decides when it shows and feeds the CPU half, the RAM
// monitor feeds the RAM half. It can be dragged by its bare strip, kept on
// top, made translucent, sized in seven steps, and its halves exchanged or
// moved to the left; clicks on the halves act like clicks on the tray icons.
// It keeps its place and look in "Panel.ini".
#pragma once

#include <windows.h>

#include <array>

#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/Menus.h"

// A picture that fills its control: the icon stretched to the control's
// size and centred, on the colour of its half.
class TPanelImage : public gui::TWinControl {
public:
    explicit TPanelImage(gui::TComponent* owner) : TWinControl(owner) {}
    // The image keeps its own copy.
    void SetPicture(const gui::TIcon& icon);
    const gui::TIcon& Picture() const noexcept { return icon_; }
    gui::TColor Color() const noexcept { return color_; }
    void SetColor(gui::TColor color);

protected:
    void CreateParams(gui::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    gui::TIcon icon_;
    gui::TColor color_ = gui::clBlack;
};

class TPanelForm : public gui::TForm {
public:
    explicit TPanelForm(gui::TComponent* owner);

    // --- controls ------------------------------------------------------------
    gui::TPanel* Panel = nullptr;  // holds the halves and the edge strip
    gui::TPanel *PanelCPU = nullptr, *PanelRAM = nullptr, *PanelEdge = nullptr;
    TPanelImage *ImageCPU = nullptr, *ImageRAM = nullptr;
    // The stop picture, and the one for the CPU display's classic style.
    gui::TIcon ImageStop;

    gui::TPopupMenu* PPMenu = nullptr;
    gui::TMenuItem *PPSize = nullptr, *PPTop = nullptr, *PPTrans = nullptr, *PPCPURAM = nullptr,
                   *PPLeft = nullptr;

    // --- fields --------------------------------------------------------------
    int MPPSizeC = 1;  // size index 0 to 6
    std::array<gui::TMenuItem*, 7> MPPSize{};
    int MPPTransC = 10;  // opacity in tenths, 2 to 10
    // PPTrans10 .. PPTrans2 (tags 10 down to 2).
    std::array<gui::TMenuItem*, 9> MPPTrans{};
    // A double click arrived while a single click waited (left, right, middle).
    std::array<bool, 3> MDoubleClickOccurred{};

    // Shows Value (0 to 100) on the CPU half (IsCPU) or the RAM half.
    void Proc_DispCPURAM(bool IsCPU, int Value);
    // Shows a stop (Kind 0 CPU, 1 RAM) or busy picture (2 CPU, 3 RAM; these
    // wait a second so the picture can be seen).
    void Proc_StopCPURAM(int Kind);
    // The picture size in pixels for a size index.
    static int PictureSize(int sizeIndex);
    // Hides the window and shows it again, which lays it out anew.
    void Relayout();

    void PPSizeClick(gui::TMenuItem* item);
    void PPTopClick();
    void PPTransClick(gui::TMenuItem* item);
    void PPCPURAMClick();
    void PPLeftClick();
    void ImageCPUMouseDown(gui::TMouseButton button, gui::TShiftState shift);
    void ImageRAMDblClick();

    // "Panel.ini": false when it could not be written.
    bool SaveIni();
    void LoadIni();

    // How long the busy pictures stay before the cleaning goes on (ms).
    DWORD BusyPause = 1000;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateMenu();
    void ApplyTop();
    void ApplyTrans();
    void LayOut();
    void MiddleClick();
    gui::TColor FBackground = gui::clBlack;
    // "Panel.ini" existed but could not be read: it is never written over.
    bool FIniUnreadable = false;
};

extern TPanelForm* PanelForm;
