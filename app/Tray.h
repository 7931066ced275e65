// TTrayForm: the program's hidden main form. It never shows a window of its
// own: it owns the CPU tray icon, both tray menus, the heartbeat timer and the
// pictures of the usage icons, creates every long-lived form, keeps
// "Config.ini" and runs the shutdown. Its menu items' check marks double as
// settings that the other forms read.
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <string>

#include "components/ExitWin32.h"
#include "components/MakeShortCut.h"
#include "components/TextTrayIcon.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/HintWindow.h"
#include "gui/ImageList.h"
#include "gui/Input.h"
#include "gui/Menus.h"
#include "gui/StringList.h"
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
    // Whether the input method is open for a focus window (never asked for
    // none); by default the window's IME window is asked.
    std::function<bool(HWND focus)> IMEOpenSource;
    // Plays the named wave resource of the program asynchronously, or stops
    // any sound for nullptr.
    std::function<void(const wchar_t* wave)> IMESoundPlayer;

    // --- components --------------------------------------------------------
    gui::TPopupMenu* PPRMenu = nullptr;
    gui::TPopupMenu* PPLMenu = nullptr;
    gui::TTimer* TimerMain = nullptr;
    gui::TTimer* TimerWClick = nullptr;
    gui::TTimer* TimerExitWin = nullptr;
    TTextTrayIcon* TrayIcon = nullptr;
    TMakeShortCut* MakeShortCut = nullptr;
    TExitWin* ExitWin = nullptr;
    gui::TImageList* ImageListNum = nullptr;
    gui::TImageList* ImageListCPU = nullptr;
    gui::TImageList* ImageListRAM = nullptr;
    gui::TImageList* ImageListLevel = nullptr;
    gui::TImageList* ImageListMirt = nullptr;
    gui::TIcon ImageMirtStop;
    gui::TIcon FormIcon;  // the form's own icon

    // --- menu items other forms read ---------------------------------------
    gui::TMenuItem *PPCPUStop = nullptr, *PPCPUDisp = nullptr, *PPCPUReset = nullptr;
    gui::TMenuItem *CPU100S1 = nullptr, *PPRAMStop = nullptr, *PPRAM = nullptr;
    gui::TMenuItem *PPHisStop = nullptr, *PPHis = nullptr, *PPRecentClear = nullptr;
    gui::TMenuItem *PPBtnStop = nullptr, *PPBtn = nullptr, *PPBtnCursor = nullptr;
    gui::TMenuItem *PPCaret = nullptr, *PPDrive = nullptr, *PPDRVExe = nullptr, *PPIME = nullptr;
    gui::TMenuItem *PPIMEIconDisp = nullptr, *PPIMEIconColor = nullptr, *PPIMEWave = nullptr;
    gui::TMenuItem *PPIMEHint = nullptr, *PPIMEEnable = nullptr, *PPIMEExe = nullptr;
    gui::TMenuItem *PPTaskman = nullptr, *PPTrash = nullptr, *PPTrashOpen = nullptr;
    gui::TMenuItem *PPTrashEmpty = nullptr, *PPTrashCheck = nullptr, *PPTrashTop = nullptr;
    gui::TMenuItem *PPWindows = nullptr, *PPSPDir = nullptr, *PPTrayPanel = nullptr;
    gui::TMenuItem *PPLaunch = nullptr, *PPStartDelay = nullptr, *PPStartUp = nullptr;
    gui::TMenuItem *PPVer = nullptr, *PPHelp = nullptr, *PPClose = nullptr, *PPMenuWide = nullptr;
    gui::TMenuItem *PPMenuNarrow = nullptr, *PPIconMenu = nullptr, *PPMenuFav = nullptr;
    gui::TMenuItem *PPWindow = nullptr;

    // --- fields --------------------------------------------------------------
    std::array<gui::TMenuItem*, 5> MPPIME{};
    int MPPIMEC = 0;
    std::array<gui::TMenuItem*, 4> MPPIMEWave{};
    int MPPIMEWaveC = 0;
    int MIMEHintDispC = 0;
    // The windows already told that their IME is on (decimal handles, newest first).
    gui::TStringList ListBoxIME;
    HWND MIMEActWin = nullptr;
    RECT MIMEActRect{};
    int MIMEActLeft = 0, MIMEActTop = 0;
    gui::THintWindow* MIMEHintWindow = nullptr;
    int MMinWinC = 0;
    int MExitWinC = 0, MExitWinM = 0;
    int MStartDelay = 0;
    std::wstring MTrashName;
    HWND MTrashWin = nullptr, MTrashDlg = nullptr;
    std::array<gui::TMenuItem*, 6> MPPStartDelay{};
    std::array<gui::TMenuItem*, 5> MPPExitWin{};
    std::array<gui::TMenuItem*, 5> MPPCPUDisp{};
    HWND MActWin = nullptr;
    int MTime1000C = 0;
    int MCPUStopC = 0, MCPUStopTime = 0;
    std::array<gui::TMenuItem*, 3> MPPTrayPanel{};
    std::array<gui::TMenuItem*, 6> MPPCPUs{};
    int MPPTrayPanelC = 0;
    int MCPUDisp = 0;
    int MCPU = 0;
    bool FPopUpL = false, FPopUpR = false;
    std::array<gui::TMenuItem*, 200> MPPList{};
    std::array<gui::TMenuItem*, 5> MPPTab{};
    std::array<gui::TMenuItem*, 5> MPPMenuSepa{};
    // The close query has run; read by the history window and the RAM form.
    bool FClose = false;

    // --- operations other forms and the error handler call -----------------
    void TimerMainTimer();
    // The IME-on notices' step of the heartbeat.
    void Proc_IMECheck();
    void Proc_TimerCPU();
    // The CPU icon's pictures by the display mode (none for the text mode).
    void SetCPUImageList();
    void Proc_CancelPopUpMenu();
    void Proc_ErrorLog(const std::wstring& message);
    void ApplicationEventsException(const std::exception_ptr& e);
    void ApplicationEventsDeactivate();
    // Applies the CPU icon's stopped or running look anew (also after a
    // memory cleaning has shown its busy picture there).
    void PPCPUStopClick();
    // Applies the panel mode MPPTrayPanelC to the icons and the usage panel.
    void ApplyTrayPanelMode();
    // The panel mode shows the usage panel and the panel is on screen.
    bool PanelShown() const;
    // Writes "Config.ini"; false when the file could not be written.
    bool WriteConfig();
    // Reads "Config.ini"; missing keys keep the items' current state.
    void ReadConfig();

    // Exit-Windows countdown: the menu click and the timer's one-second tick.
    void PPExitWinClick(gui::TMenuItem* item);
    void TimerExitWinTimer();
    // Recycle bin: the display name, the menu's open and empty, and the
    // delete-dialog watch of every heartbeat tick.
    void ReadTrashName();
    void PPTrashOpenClick();
    void PPTrashEmptyClick();
    void Proc_TrashCheck();

protected:
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;
    void FormShow() override;
    void FormDeactivate() override;
    void FormDestroy() override;

private:
    void CreateComponents();
    void CreateMenus();
    void BuildHistoryEntries();
    void FreeHistoryEntries();
    void BindHeartbeatSteps();
    void AutoMinimizeHistory();
    // The stopped or the running look of the CPU icon, as PPCPUStop says.
    void ApplyCPULook();
    void ApplyCPUStopLook();

    // Tray icon clicks.
    void TrayIconMouseDown(gui::TMouseButton button);
    void TrayIconMouseUp();
    void TrayIconDblClick();
    void TimerWClickTimer();
    void PPLMenuPopup();
    void PPRMenuPopup();

    // Menu handlers.
    void PPListClick(gui::TMenuItem* item);
    void PPWindowClick();
    void PPIconMenuClick();
    void PPMenuFavClick();
    void PPMenuNarrowClick();
    void PPMenuWideClick();
    void ShowModalSettings(gui::TForm* form, bool taskbarButtons);
    void PPHisClick();
    void PPBtnStopClick();
    void PPBtnCursorClick();
    void PPRAMStopClick();
    void PPRecentClearClick();
    void PPTaskmanClick();
    void PPTrayPanelClick(gui::TMenuItem* item);
    void PPLaunchClick();
    void PPStartDelayClick(gui::TMenuItem* item);
    void PPStartUpClick();
    void PPVerClick();
    void PPHelpClick();
    void PPCloseClick();
    void PPCPUResetClick();
    void PPCPUDispClick(gui::TMenuItem* item);
    void PPCPUsClick(gui::TMenuItem* item);
    void PPIMEClick(gui::TMenuItem* item);
    void PPIMEWaveClick(gui::TMenuItem* item);
    void PPIMEExeClick();

    void BindIMESources();
    // The parts of an IME-on notice.
    void IMENotifySound();
    void IMEShowIcon();
    void IMEShowHint();
    void IMEHideHint();
    void IMEHideIcon();

    // "Config.ini" existed but could not be read at start: never written over.
    bool FConfigReadable = true;
};

extern TTrayForm* TrayForm;

// The exit countdown's caption for the seconds left.
std::wstring ExitWinCaption(int seconds);
// The exit countdown's question for an action 0-4.
std::wstring ExitWinQuestion(int action);

// Whether the recycle bin of all drives holds an item.
bool RecycleBinHasItems();
