// Window classes and the system libraries the controls stand on.
// RegisterWindowClass registers a class once per process and checks that a
// class already known under that name runs the expected procedure, so two
// units can never silently share a name. The common controls are initialised
// once before any of their classes is used, and the rich edit library is
// loaded once and stays loaded for the life of the process.
#pragma once

#include <windows.h>

namespace gui {

// Registers wc (hInstance: this module when null); throws gui::Exception
// when the class cannot be registered or exists with another procedure.
void RegisterWindowClass(WNDCLASSEXW wc);

// InitCommonControlsEx for every class the layer uses; once.
void EnsureCommonControls();

// The rich edit window class name, with its library loaded; throws
// gui::Exception when no rich edit library can be loaded.
const wchar_t* RichEditClass();

}  // namespace gui
