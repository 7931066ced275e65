#include "app/ControlFont.h"

#include "gui/Screen.h"

void SetControlsFont(gui::TWinControl& root, const std::wstring& name, int size) {
    if (!name.empty()) root.Font().SetName(name);
    if (size > 0) root.Font().SetSize(size);
    for (int i = 0; i < root.ControlCount(); ++i)
        if (auto* child = dynamic_cast<gui::TWinControl*>(root.Controls(i))) SetControlsFont(*child, name, size);
}

std::wstring IconTitleFontName() {
    return gui::Screen.IconFont().Name();
}
