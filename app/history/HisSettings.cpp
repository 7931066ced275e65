#include "app/history/HisSettings.h"

#include <cmath>

#include "gui/Handles.h"
#include "toolkit/QuorvinFiles.h"

namespace {

const int kPersonalShellFolder = 4;  // "Personal" in ShellFolderNames

}  // namespace

THisSettings DefaultHisSettings() {
    THisSettings s;
    ICONMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(metrics), &metrics, 0)) {
        s.FontName = metrics.lfFont.lfFaceName;
        gui::WindowDC screen(nullptr);
        int ppi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        if (ppi <= 0) ppi = 96;
        int height = metrics.lfFont.lfHeight;
        if (height != 0) s.FontSize = ::MulDiv(height < 0 ? -height : height, 72, ppi);
    }
    GetShellFolderPath(kPersonalShellFolder, s.MDir);
    return s;
}

int HisListItemHeight(const std::wstring& fontName, int fontSize) {
    double factor = fontName == L"メイリオ" ? 2.4 : 2.2;
    return static_cast<int>(std::nearbyint(fontSize * factor));
}
