// TTrayForm: the program's hidden main form. It never shows a window of its
// own: it owns the CPU tray icon, both tray menus, the heartbeat timer and the
// pictures of the usage icons, creates every long-lived form, keeps
// "Config.ini" and runs the shutdown. Its menu items' check marks double as
// settings that the other forms read. The IME-on notices, the recycle-bin
// watch, the exit countdown and the menus each keep their state in a class
// of their own that the form owns.
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <string>

#include "app/TrayExitWin.h"
#include "app/TrayIME.h"
#include "app/TrayMenus.h"
#include "app/TrayTrash.h"
#include "components/TextTrayIcon.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/ImageList.h"
#include "gui/Input.h"
#include "gui/Menus.h"
#include "gui/Timer.h"

class TTrayForm : public gui::TForm {
public:
    explicit TTrayForm(gui::TComponent* owner);

    // The work of one heartbeat tick, in its fixed order. Each step is bound
    // to its form at creation; a test may put recorders in their place.
    struct THeartbeatSteps {
        std::function<void()> IMECheck, TrashCheck, CheckHook, TimerCPU, TimerRAM, DispCPU, AutoMinimize;
        std::function<void(HWND foreground, bool changed)> TimerHis, TimerBtn;
        std::function<HWND()> CursorWin;  // the button form's MCursorWin
        std::function<bool()> PPLSet;     // the history window is rebuilding the menu
    };
    THeartbeatSteps Steps;
    // Where the CPU step reads the usage (the processor-time query by default).
    std::function<int()> CPUUsageSource;

    // The features the form owns, each with its state.
    TIMENotices& IMENotices() { return FIMENotices; }
    TTrashWatch& TrashWatch() { return FTrashWatch; }
    TExitCountdown& ExitCountdown() { return FExitCountdown; }
    TTrayMenus& Menus() { return FMenus; }

    // --- components --------------------------------------------------------
    gui::TPopupMenu* PPRMenu = nullptr;
    gui::TPopupMenu* PPLMenu = nullptr;
    gui::TTimer* TimerMain = nullptr;
    TTextTrayIcon* TrayIcon = nullptr;
    gui::TImageList* ImageListNum = nullptr;
    gui::TImageList* ImageListCPU = nullptr;
    gui::TImageList* ImageListRAM = nullptr;
    gui::TImageList* ImageListLevel = nullptr;
    gui::TIcon ImageMirtStop;
    gui::TIcon FormIcon;  // the form's own icon

    // --- menu items other forms read ---------------------------------------
    gui::TMenuItem *PPCPUStop = nullptr, *PPRAMStop = nullptr, *PPRAM = nullptr, *PPHisStop = nullptr;
    gui::TMenuItem *PPBtnStop = nullptr, *PPBtnCursor = nullptr, *PPCaret = nullptr, *PPDRVExe = nullptr;
    gui::TMenuItem *PPIMEIconColor = nullptr, *PPIMEEnable = nullptr, *PPLaunch = nullptr, *PPWindow = nullptr;
    gui::TMenuItem *PPMenuWide = nullptr, *PPMenuNarrow = nullptr, *PPIconMenu = nullptr, *PPMenuFav = nullptr;
    // Held by "Config.ini" and read by the IME notices and the recycle-bin watch.
    gui::TMenuItem *PPIMEHint = nullptr, *PPTrashCheck = nullptr, *PPTrashTop = nullptr;

    // --- fields --------------------------------------------------------------
    int MMinWinC = 0;
    int MStartDelay = 0;
    HWND MActWin = nullptr;
    int MTime1000C = 0;
    int MCPUStopC = 0, MCPUStopTime = 0;
    int MPPTrayPanelC = 0;
    int MCPUDisp = 0;
    int MCPU = 0;
    bool FPopUpL = false, FPopUpR = false;
    std::array<gui::TMenuItem*, 200> MPPList{};
    std::array<gui::TMenuItem*, 5> MPPTab{};
    // The close query has run; read by the history window and the RAM form.
    bool FClose = false;

    // --- operations other forms and the error handler call -----------------
    void TimerMainTimer();
    void Proc_TimerCPU();
    // The CPU icon's pictures by the display mode (none for the text mode).
    void SetCPUImageList();
    void Proc_CancelPopUpMenu();
    void ApplicationEventsException(const std::exception_ptr& e);
    void ApplicationEventsDeactivate();
    // Applies the CPU icon's stopped or running look anew (also after a
    // memory cleaning has shown its busy picture there).
    void PPCPUStopClick();
    // The panel mode shows the usage panel and the panel is on screen.
    bool PanelShown() const;
    // Writes "Config.ini"; false when the file could not be written.
    bool WriteConfig();
    // Reads "Config.ini"; missing keys keep the items' current state.
    void ReadConfig();

protected:
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;
    void FormShow() override;
    void FormDeactivate() override;
    void FormDestroy() override;

private:
    // The menus build into the form, bind their items to its handlers and
    // run its settings windows.
    friend class TTrayMenus;

    void CreateComponents();
    void BindHeartbeatSteps();
    // Writes an error to "Error.log" and goes on; a damaged history list
    // restarts the program instead.
    void Proc_ErrorLog(const std::wstring& message);
    // Applies the panel mode MPPTrayPanelC to the icons and the usage panel.
    void ApplyTrayPanelMode();
    void AutoMinimizeHistory();
    // The stopped or the running look of the CPU icon, as PPCPUStop says.
    void ApplyCPULook();
    void ApplyCPUStopLook();

    // The CPU display's menu handlers.
    void PPCPUResetClick();
    void PPCPUDispClick(gui::TMenuItem* item);
    void PPCPUsClick(gui::TMenuItem* item);
    // Runs a settings window modally with the icons and the heartbeat held.
    void ShowModalSettings(gui::TForm* form, bool taskbarButtons);

    TIMENotices FIMENotices{*this};
    TTrashWatch FTrashWatch{*this};
    TExitCountdown FExitCountdown{*this};
    TTrayMenus FMenus{*this};

    // The classic style's pictures, read by the CPU display alone.
    gui::TImageList* ImageListMirt = nullptr;

    // "Config.ini" existed but could not be read at start: never written over.
    bool FConfigReadable = true;
};

extern TTrayForm* TrayForm;
