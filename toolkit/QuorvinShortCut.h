// Shortcut values and their text notation, as hot-key edits show them and the
// settings files store them: the modifier names "Shift+", "Ctrl+", "Alt+" in
// that order, then the key's name ("Ctrl+Alt+F5", "Shift+Ctrl+H").
#pragma once

#include <windows.h>
#include <string>

#include "gui/Input.h"

// A shortcut value: the virtual key in the low byte, modifier bits above it.
using TShortCut = WORD;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

// Held modifier keys and mouse buttons, as key and mouse events report them:
// the GUI layer's shift state.
using gui::TShiftState;
using gui::ssShift, gui::ssAlt, gui::ssCtrl, gui::ssLeft, gui::ssRight, gui::ssMiddle, gui::ssDouble;

// The value of key with the held modifiers; 0 for a key above 255.
TShortCut ShortCut(WORD key, TShiftState shift);
// The modifier names followed by the key's name; a key without a name gives
// the modifier names alone (so the text ends with "+"), 0 gives ''.
std::wstring ShortCutToText(TShortCut shortCut);
// The value written by ShortCutToText (names compared without case); 0 for a
// text that names no key.
TShortCut TextToShortCut(const std::wstring& text);
