// The button watch's two files in the settings folder. "Btn.ini" (system
// code page) holds the registration window's placement, the stop/resume hot
// key and the press sound; "Btn.lst" (ini format, UTF-16LE with mark) holds
// the registered buttons and the cursor-on-press option. Both are opened on
// the existing file and written back whole, so keys this code does not know
// survive; numbered entries store the index of the last one in "Count".
#pragma once

#include <array>
#include <string>
#include <vector>

// The fields of one registered button, in the registered list's column
// order: the program, then the list row's sub-items 0 to 8. The first eight
// are stored in "Btn.lst" under the keys "0" to "7"; the last two exist
// only while the program runs.
enum TBtnField {
    bfProgram,        // program file name without folder, upper case
    bfCaption,        // window caption
    bfClass,          // window class
    bfHeight,         // window height, decimal; empty = any size
    bfWidth,          // window width, decimal; empty together with the height
    bfButtonCaption,  // button caption, "&" marks included
    bfButtonClass,    // button class
    bfMessage,        // text the dialog's message must hold, line breaks as "{改行}"
    bfPressedIn,      // handle of the dialog the button was pressed in, decimal
    bfPressed,        // "OK" after a press
    kBtnFieldCount
};
constexpr int kBtnStoredFields = bfPressedIn;
using TBtnEntry = std::array<std::wstring, kBtnFieldCount>;

// Every value of "Btn.ini" and the [Cursor] option of "Btn.lst".
struct TBtnSettings {
    // [Window]: the bounds default to the window's current ones.
    bool Normal = true;  // false when the window was maximised
    int Top = 0, Left = 0, Height = 0, Width = 0;
    std::wstring EditHTKStop = L"Shift+Ctrl+B";  // [HotKey] Stop, shortcut text
    bool CHKWav = false;                         // [Sound] Enabled: play the press sound
    bool CHKWavRes = false;                      // [Sound] Resource: the built-in sound
    std::wstring EditWav;                        // [Sound] File: a .wav file
    bool TBMoveCursor = true;                    // "Btn.lst" [Cursor] Move
};

std::wstring BtnIniFileName(const std::wstring& folder);
std::wstring BtnListFileName(const std::wstring& folder);

// Reads "Btn.ini"; a missing key keeps what s holds for the bounds and
// gives the default for the rest.
void LoadBtnIni(const std::wstring& fileName, TBtnSettings& s);
// Writes "Btn.ini"; the four bounds only when s.Normal, so a maximised
// window keeps the bounds it had. False when it could not be written.
bool SaveBtnIni(const std::wstring& fileName, const TBtnSettings& s);

// Converts a "Btn.lst" found in the system code page to UTF-16LE once, then
// reads the entries (runtime fields empty) and [Cursor] Move into
// moveCursor (default true). A missing file gives an empty list.
void LoadBtnList(const std::wstring& fileName, std::vector<TBtnEntry>& entries, bool& moveCursor);
// Writes "Btn.lst" as UTF-16LE; false when it could not be written.
bool SaveBtnList(const std::wstring& fileName, const std::vector<TBtnEntry>& entries, bool moveCursor);
