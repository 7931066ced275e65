#include "app/UsageIcon.h"

#include <cwchar>

namespace usage_icon {

std::wstring PercentText(int v) {
    wchar_t buf[8];
    ::swprintf(buf, 8, L"%3d", v < 0 ? 0 : v > 100 ? 100 : v);
    return buf;
}

void SetUpTextIcon(TTextTrayIcon& icon) {
    // The font and the offsets go in whole: each change of a text icon
    // renders it again and tells the shell, and nobody sees the steps.
    gui::TFont font;
    font.Assign(icon.Font());
    font.SetName(L"Small Fonts");
    font.SetHeight(-9);
    font.SetColor(gui::clLime);
    icon.SetFont(font);
    icon.SetColor(gui::clBlack);
    icon.SetBorder(true);
    icon.SetBorderColor(gui::clAqua);
    TOffsetOptions options;
    options.SetOffsetX(0);
    options.SetOffsetY(1);
    options.SetLineDistance(0);
    icon.SetOptions(options);
}

void ShowPercentText(TTextTrayIcon& icon, int v) {
    const gui::TColor fore = v <= 50 ? gui::clLime : v < 80 ? gui::clYellow : v < 100 ? gui::clRed : gui::clBlack;
    const gui::TColor back = v >= 100 ? gui::clRed : gui::clBlack;
    if (icon.Font().Color() != fore) icon.Font().SetColor(fore);
    if (icon.Color() != back) icon.SetColor(back);
    const std::wstring t = PercentText(v);
    if (icon.Text() != t) icon.SetText(t);
}

}  // namespace usage_icon
