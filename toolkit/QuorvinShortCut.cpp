#include "toolkit/QuorvinShortCut.h"

#include <cwchar>

namespace {

struct ModifierName {
    TShortCut bit;
    const wchar_t* name;
};
const ModifierName kModifiers[] = {{scShift, L"Shift+"}, {scCtrl, L"Ctrl+"}, {scAlt, L"Alt+"}};

std::wstring KeyName(BYTE key) {
    switch (key) {
        case VK_BACK: return L"BkSp";
        case VK_TAB: return L"Tab";
        case VK_RETURN: return L"Enter";
        case VK_ESCAPE: return L"Esc";
        case VK_SPACE: return L"Space";
        case VK_PRIOR: return L"PgUp";
        case VK_NEXT: return L"PgDn";
        case VK_END: return L"End";
        case VK_HOME: return L"Home";
        case VK_LEFT: return L"Left";
        case VK_UP: return L"Up";
        case VK_RIGHT: return L"Right";
        case VK_DOWN: return L"Down";
        case VK_INSERT: return L"Ins";
        case VK_DELETE: return L"Del";
        default: break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, key);
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    // Every other key by the keyboard layout's name for it; none without a scan code.
    UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (scan == 0) return L"";
    wchar_t buf[64] = {};
    if (::GetKeyNameTextW(static_cast<LONG>(scan << 16), buf, 64) <= 0) return L"";
    return buf;
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
    if (key > 0xFF) return 0;
    TShortCut value = key;
    if (shift & ssShift) value |= scShift;
    if (shift & ssCtrl) value |= scCtrl;
    if (shift & ssAlt) value |= scAlt;
    return value;
}

std::wstring ShortCutToText(TShortCut shortCut) {
    if (shortCut == 0) return L"";
    std::wstring text;
    for (const auto& m : kModifiers)
        if (shortCut & m.bit) text += m.name;
    return text + KeyName(static_cast<BYTE>(shortCut & 0xFF));
}

TShortCut TextToShortCut(const std::wstring& text) {
    TShortCut modifiers = 0;
    size_t pos = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& m : kModifiers) {
            size_t len = std::wcslen(m.name);
            // "Ctrl++" is Ctrl with the key named "+": a name is never empty.
            if (text.size() - pos > len && ::_wcsnicmp(text.c_str() + pos, m.name, len) == 0) {
                modifiers |= m.bit;
                pos += len;
                found = true;
            }
        }
    }
    std::wstring name = text.substr(pos);
    if (name.empty()) return 0;
    for (int key = 1; key <= 0xFF; ++key) {
        std::wstring keyName = KeyName(static_cast<BYTE>(key));
        if (!keyName.empty() && ::_wcsicmp(keyName.c_str(), name.c_str()) == 0)
            return static_cast<TShortCut>(key | modifiers);
    }
    return 0;
}
