// Colours, fonts, brushes and icons of the GUI layer. Their GDI and USER
// objects are held by the counted owners of gui/Handles.h.
#pragma once

#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>

#include "gui/Handles.h"

namespace gui {

// The colour and mask bitmaps of an icon (GetIconInfo), owned and counted.
struct IconBitmaps {
    GdiObject Color;  // empty for monochrome icons
    GdiObject Mask;
    bool IsIcon = true;
    int Width = 0, Height = 0;
};
bool GetIconBitmaps(HICON icon, IconBitmaps& out);

// ---------------------------------------------------------------------------
// Colours

// An RGB value (0x00BBGGRR), a system colour (0x80000000 | COLOR_ index) or
// one of the two special values.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                 clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                 clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0,
                 clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;
// "No colour": nothing is painted with it and no pixel matches it as a mask.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor kSystemColorFlag = 0x80000000;
constexpr TColor SystemColor(int index) { return kSystemColorFlag | static_cast<TColor>(index); }
constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR),
                 clBackground = SystemColor(COLOR_BACKGROUND),
                 clMenu = SystemColor(COLOR_MENU), clWindow = SystemColor(COLOR_WINDOW),
                 clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                 clMenuText = SystemColor(COLOR_MENUTEXT),
                 clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT),
                 clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SystemColor(COLOR_BTNFACE), clBtnShadow = SystemColor(COLOR_BTNSHADOW),
                 clGrayText = SystemColor(COLOR_GRAYTEXT), clBtnText = SystemColor(COLOR_BTNTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT),
                 clInfoText = SystemColor(COLOR_INFOTEXT), clInfoBk = SystemColor(COLOR_INFOBK);

// System colours resolved to their current RGB value; RGB values unchanged.
// clNone and clDefault come back as they are: callers test for them first.
TColor ColorToRGB(TColor color) noexcept;

// ---------------------------------------------------------------------------
// Font

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A logical font. Height follows the class-library rule: negative is the
// character height in pixels, positive the cell height; Size is in points.
// The name is asked for as given; the font mapper picks what exists.
class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& other);  // everything but OnChange

    const std::wstring& Name() const noexcept { return name_; }
    void SetName(const std::wstring& name);
    int Height() const noexcept { return height_; }
    void SetHeight(int height);
    int Size() const noexcept;
    void SetSize(int points);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles style);
    BYTE Charset() const noexcept { return charset_; }
    void SetCharset(BYTE charset);

    // The font object, made on first use after a change; owned by the font.
    HFONT Handle() const;
    LOGFONTW LogFont() const;

    std::function<void(TFont* sender)> OnChange;

private:
    void Changed();

    std::wstring name_;
    int height_;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
    BYTE charset_ = DEFAULT_CHARSET;
    mutable GdiObject handle_;
};

// ---------------------------------------------------------------------------
// Brush

enum class TBrushStyle { bsSolid, bsClear };

// A fill. A brush of colour clNone, like bsClear, paints nothing.
class TBrush {
public:
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const noexcept { return style_; }
    void SetStyle(TBrushStyle style);
    bool PaintsNothing() const noexcept { return style_ == TBrushStyle::bsClear || color_ == clNone; }

    // The brush object (nullptr when it paints nothing); owned by the brush.
    HBRUSH Handle() const;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    mutable GdiObject handle_;
};

// ---------------------------------------------------------------------------
// Icon

// An icon image holding its own HICON. Every change raises OnChange, also
// changes made through Assign, SetHandle and Clear.
class TIcon {
public:
    TIcon() = default;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    HICON Handle() const noexcept { return handle_.get(); }
    bool Empty() const noexcept { return !handle_; }
    int Width() const;
    int Height() const;

    // Takes ownership of the icon handle.
    void SetHandle(HICON icon);
    // Gives the handle up to the caller, who destroys it.
    HICON ReleaseHandle();
    // Copies the other icon's image (an empty icon empties this one).
    void Assign(const TIcon& other);
    // Copies an icon handle that stays its owner's.
    void AssignHandle(HICON icon);
    void Clear();
    // An icon resource of the module at the given size (0: its own size).
    bool LoadFromResourceName(HINSTANCE module, const wchar_t* name, int size = 0);

    std::function<void(TIcon* sender)> OnChange;

private:
    void Changed();
    IconHandle handle_;
};

}  // namespace gui
