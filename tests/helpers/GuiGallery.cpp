// Shows the gallery form of the GUI layer until it is closed (for a look
// at every control with its Japanese captions). Argument "page N" shows
// tab sheet N.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "gui/Application.h"
#include "tests/support/Gallery.h"

namespace {
TGalleryForm* GalleryForm = nullptr;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    gui::TApplication app;
    app.Initialize();
    app.SetTitle(L"GuiGallery");
    app.CreateForm(GalleryForm);
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc >= 3 && std::wstring(argv[1]) == L"page") GalleryForm->PageMain->SetActivePageIndex(_wtoi(argv[2]));
    ::LocalFree(argv);
    app.Run();
    return 0;
}
