// What the CPU and the RAM tray icons share: their design look (a 9-pixel
// "Small Fonts" text in lime on black with an aqua frame, one pixel lower
// than centred) and the percent shown as text, coloured by the load.
#pragma once

#include <string>

#include "components/TextTrayIcon.h"

namespace usage_icon {

// The percent 0-100 as three characters, right-aligned with blanks.
std::wstring PercentText(int percent);
// The design values both usage icons start with.
void SetUpTextIcon(TTextTrayIcon& icon);
// The percent as the icon's text: lime up to 50, yellow up to 79, red up to
// 99, black on red at 100. Only what changed is set again, since each change
// renders the icon anew and tells the shell.
void ShowPercentText(TTextTrayIcon& icon, int percent);

}  // namespace usage_icon
