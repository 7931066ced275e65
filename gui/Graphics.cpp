#include "gui/Graphics.h"

#include <cwchar>

namespace gui {

namespace {

volatile LONG gLiveGdi = 0;
volatile LONG gLiveUser = 0;

int ScreenPixelsPerInch() {
    WindowDC screen(nullptr);
    return screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
}

// The face of the system's default GUI font, the name a new font starts with.
std::wstring DefaultFontName() {
    LOGFONTW lf{};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf) && lf.lfFaceName[0])
        return lf.lfFaceName;
    return L"MS Shell Dlg";
}

}  // namespace

// ---------------------------------------------------------------------------

long LiveGuiObjects(TGuiObjectKind kind) noexcept {
    return kind == TGuiObjectKind::Gdi ? gLiveGdi : gLiveUser;
}

void detail::CountGuiObject(TGuiObjectKind kind, long delta) noexcept {
    ::InterlockedExchangeAdd(kind == TGuiObjectKind::Gdi ? &gLiveGdi : &gLiveUser, delta);
}

bool GetIconBitmaps(HICON icon, IconBitmaps& out) {
    out = IconBitmaps{};
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return false;
    out.Color.reset(info.hbmColor);
    out.Mask.reset(info.hbmMask);
    out.IsIcon = info.fIcon != FALSE;
    BITMAP bm{};
    if (out.Color && ::GetObjectW(out.Color.get(), sizeof(bm), &bm)) {
        out.Width = bm.bmWidth;
        out.Height = bm.bmHeight;
    } else if (out.Mask && ::GetObjectW(out.Mask.get(), sizeof(bm), &bm)) {
        // A monochrome icon keeps its AND and XOR masks one above the other.
        out.Width = bm.bmWidth;
        out.Height = bm.bmHeight / 2;
    }
    return true;
}

TColor ColorToRGB(TColor color) noexcept {
    if ((color & 0xFF000000) == kSystemColorFlag) return ::GetSysColor(color & 0xFF);
    return color;
}

// ---------------------------------------------------------------------------
// TFont

TFont::TFont() : name_(DefaultFontName()), height_(-::MulDiv(8, ScreenPixelsPerInch(), 72)) {}

TFont::TFont(const TFont& other)
    : name_(other.name_),
      height_(other.height_),
      color_(other.color_),
      style_(other.style_),
      charset_(other.charset_) {}

void TFont::Assign(const TFont& other) {
    if (&other == this) return;
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    style_ = other.style_;
    charset_ = other.charset_;
    Changed();
}

void TFont::SetName(const std::wstring& name) {
    if (name == name_ || name.empty()) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

int TFont::Size() const noexcept { return -::MulDiv(height_, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    // The colour is not part of the font object; only the listeners care.
    if (OnChange) OnChange(this);
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetCharset(BYTE charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::Changed() {
    handle_.reset();
    if (OnChange) OnChange(this);
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    wcsncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTW lf = LogFont();
        handle_.reset(::CreateFontIndirectW(&lf));
    }
    return static_cast<HFONT>(handle_.get());
}

// ---------------------------------------------------------------------------
// TBrush

void TBrush::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    handle_.reset();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    handle_.reset();
}

HBRUSH TBrush::Handle() const {
    if (PaintsNothing()) return nullptr;
    if (!handle_) handle_.reset(::CreateSolidBrush(ColorToRGB(color_)));
    return static_cast<HBRUSH>(handle_.get());
}

// ---------------------------------------------------------------------------
// TIcon

int TIcon::Width() const {
    IconBitmaps bits;
    return GetIconBitmaps(Handle(), bits) ? bits.Width : 0;
}

int TIcon::Height() const {
    IconBitmaps bits;
    return GetIconBitmaps(Handle(), bits) ? bits.Height : 0;
}

void TIcon::SetHandle(HICON icon) {
    handle_.reset(icon);
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON h = handle_.release();
    Changed();
    return h;
}

void TIcon::Assign(const TIcon& other) {
    if (&other == this) return;
    AssignHandle(other.Handle());
}

void TIcon::AssignHandle(HICON icon) {
    handle_.reset(icon ? ::CopyIcon(icon) : nullptr);
    Changed();
}

void TIcon::Clear() {
    if (!handle_) return;
    handle_.reset();
    Changed();
}

bool TIcon::LoadFromResourceName(HINSTANCE module, const wchar_t* name, int size) {
    HANDLE h = ::LoadImageW(module, name, IMAGE_ICON, size, size, 0);
    if (!h) return false;
    SetHandle(static_cast<HICON>(h));
    return true;
}

void TIcon::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace gui
