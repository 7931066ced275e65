// The captions of the tray history menu's entries: clipboard texts on one
// line cut to a number of characters, paths shortened to fit a width by
// dropping leading folders, and "&" kept from acting as an accelerator.
#pragma once

#include <functional>
#include <string>

// Width in pixels of a text in the menu's font.
using TTextWidthFn = std::function<int(const std::wstring&)>;

// A clipboard text on one line: every TAB becomes "＞", every LF and every
// CR "･"; then its first `chars` characters (a character pair that stands
// for one character is not split).
std::wstring ClipMenuText(const std::wstring& text, int chars);

// The path shortened until it is at most maxWidth wide: one leading folder
// after the other is replaced by "...", then the drive goes, then the
// "...\" too, so C:\a\b\name.txt becomes C:\...\b\name.txt, C:\...\name.txt,
// ...\name.txt and name.txt. The last part (a file name, or the last
// folder of a path ending in "\") is kept even when it is still too wide.
std::wstring MinimizePathName(const std::wstring& path, int maxWidth, const TTextWidthFn& textWidth);

// The caption of entry s of category c in a menu g characters wide whose
// font has fontSize points: a clipboard text cut to g characters, or a path
// shortened to g * Trunc(fontSize * 1.2) pixels; every "&" then becomes
// "&&," so it shows as "&,".
std::wstring HisMenuCaption(int c, const std::wstring& s, int g, int fontSize, const TTextWidthFn& textWidth);
