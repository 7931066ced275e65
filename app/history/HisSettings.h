// THisSettings: every value the history window keeps in "His.ini", as plain
// values under the names of the controls they belong to. The window and its
// rules read the settings page's values here; the tool buttons hold their
// own state and write it here before the settings are saved.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "gui/StringList.h"

// History categories: 0 clipboard text, 1 document file, 2 program, 3 folder,
// 4 Explorer folder (hidden from Vista on, but still recorded and saved).
constexpr int kHisCategories = 5;

// The history lengths the settings offer (10 to 100 in steps of 10); a
// hand-edited length is held to 0..100 when it is read.
constexpr int kHisLengthDefault = 100;
constexpr int kHisLengthMax = 100;

// Colours are kept as the stored colour values: an RGB value, or a system
// colour as 0xFF000000 plus its COLOR_ index.
constexpr int kColorWindowText = static_cast<int>(0xFF000000u | COLOR_WINDOWTEXT);

struct THisSettings {
    // [Window]: bounds default to the window's current ones, so the window
    // fills them in before loading.
    int Top = 0, Left = 0, Height = 0, Width = 0;
    bool Normal = true;            // false when the window was maximised
    int CBAutoMin = 0;             // auto-minimise choice: 0 off, n = n seconds (0..60)
    bool CHKAutoMin = false;       // close instead of minimising
    int TrackBarTrans = 100;       // opacity percent, 20..100
    bool TBExeClose = false;       // close the window after acting on an entry
    bool TBCPUCore = false;        // per-core CPU usage in the title
    int RadioGroupStart = 1;       // 0 hidden at start, 1 shown
    bool TBSort = false;           // lists shown sorted by name
    int Tab = 0;                   // current category tab
    std::wstring MDir;             // folder last used by the folder choosers
    bool CHKTooBarList = true;     // tool-bar captions right of the icons

    // [History]
    std::array<int, kHisCategories> MHisListNum{100, 100, 100, 100, 100};
    std::array<bool, kHisCategories> MCHKHisMenuItem{true, true, true, true, true};
    bool CHKAutoDel = false;       // drop entries whose file or folder is gone
    bool CHKNoSave = false;        // do not keep the histories over a close
    bool CHKHookDesktop = false;   // middle click on the desktop opens the history menu
    int ComboBoxHook = 0;          // 0 no modifier, 1 +Ctrl, 2 +Shift

    bool CHKIconList = false;      // [Icon] List: icons in the lists

    // [HotKey]: hot-key texts, empty for none.
    std::wstring EditHTKShow, EditHTKMenu, EditHTKLaunch;

    int CBPasteDir = 0;            // [Address] Timing: folder-jump step delay, 0..4

    // [Font]: the lists' font.
    std::wstring FontName;
    int FontSize = 9;              // points
    int FontStyle = 0;             // 1 bold, 2 italic, 4 underline, 8 strike-out
    int FontColor = kColorWindowText;

    bool TBFav = false;            // [Fav] Visible: favourites pane shown
    int MFavH = 25;                // [Fav] Height: its height in percent
    bool TBEdit = false;           // [Edit] Visible: memo pane shown
    int MEditW = 25;               // [Edit] Width: its width in percent

    // [Drive], [Folder], [ExecuteFile]: the exclusions of the pruning.
    gui::TStringList ListBoxNoDrive;  // excluded drive roots such as "D:\"
    bool ChkNetwork = false;          // network paths are kept only while set
    gui::TStringList ListBoxDir;      // excluded folder texts (substrings)
    gui::TStringList ListBoxExe;      // excluded program texts (substrings)

    // [Clip]
    int UDWait = 300;              // ms before pasting, 0..1000
    int UDMaxClip = 32;            // clipboard size limit in 1024 characters, 8..256
    int RadioGroupPaste = 0;       // 0 Ctrl+V, 1 Shift+Insert
    bool CHKWave = false;          // play a sound when a clipboard text is recorded
    std::wstring EditWave;         // the .wav file

    bool FLaunchVisible = false;   // [Launch] Visible: the launcher was shown
};

// The design-time defaults with the system's parts filled in: the icon
// font's name and size, and the user's "Personal" folder for MDir.
THisSettings DefaultHisSettings();

// The item height of a list drawn in the font: Round(size * 2.4) for
// "メイリオ", Round(size * 2.2) otherwise, halves rounded to even.
int HisListItemHeight(const std::wstring& fontName, int fontSize);
