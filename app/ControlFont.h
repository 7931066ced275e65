// Gives a window and every control on it (however deep in group boxes and
// panels) one font name and size, as a form whose font is set at creation
// shows it.
#pragma once

#include <string>

#include "gui/WinControl.h"

void SetControlsFont(gui::TWinControl& root, const std::wstring& name, int size);

// The name of the system's icon-title font.
std::wstring IconTitleFontName();
