#include "gui/ImageList.h"

#include <cstring>
#include <utility>
#include <vector>

namespace gui {

namespace {

UINT DepthFlags(TColorDepth depth) {
    switch (depth) {
        case TColorDepth::cdDeviceDependent: return ILC_COLORDDB;
        case TColorDepth::cd4Bit: return ILC_COLOR4;
        case TColorDepth::cd8Bit: return ILC_COLOR8;
        case TColorDepth::cd16Bit: return ILC_COLOR16;
        case TColorDepth::cd24Bit: return ILC_COLOR24;
        case TColorDepth::cd32Bit: return ILC_COLOR32;
    }
    return ILC_COLOR32;
}

// A monochrome bitmap whose set bits (white) mark transparent pixels.
GdiObject MakeMask(int width, int height, const std::vector<bool>& transparent) {
    int stride = ((width + 15) / 16) * 2;  // rows of monochrome bitmaps are WORD-aligned
    std::vector<BYTE> bits(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (transparent[static_cast<size_t>(y) * width + x])
                bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    return GdiObject(::CreateBitmap(width, height, 1, 1, bits.data()));
}

}  // namespace

struct TImageList::Prepared {
    GdiObject Color;
    GdiObject Mask;  // empty: no mask (alpha or opaque)
};

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {}

void TImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    handle_.reset();
    Changed();
}

void TImageList::SetColorDepth(TColorDepth depth) {
    if (depth == depth_) return;
    depth_ = depth;
    handle_.reset();
    Changed();
}

void TImageList::SetFiller(std::function<void(TImageList& list)> filler) { filler_ = std::move(filler); }

void TImageList::Fill() {
    // Taken out first: the filler's own adds come back here.
    if (auto filler = std::move(filler_)) {
        filler_ = nullptr;
        filler(*this);
    }
}

HIMAGELIST TImageList::Handle() {
    Fill();
    if (!handle_) {
        handle_.reset(ImageList_Create(width_, height_, DepthFlags(depth_) | ILC_MASK, 4, 4));
        if (handle_) ImageList_SetBkColor(handle_.get(), CLR_NONE);  // draw through the mask
    }
    return handle_.get();
}

int TImageList::Count() {
    Fill();
    return handle_ ? ImageList_GetImageCount(handle_.get()) : 0;
}

void TImageList::Changed() {
    if (OnChange) OnChange(this);
}

bool TImageList::Prepare(TBitmap& image, TBitmap* mask, TColor maskColor, bool byColor,
                         Prepared& out) {
    if (image.Empty()) return false;
    int w = image.Width(), h = image.Height();
    void* bits = nullptr;
    out.Color = CreateDib32(w, h, &bits);
    if (!out.Color) return false;
    auto* dst = static_cast<DWORD*>(bits);
    for (int y = 0; y < h; ++y) std::memcpy(dst + static_cast<size_t>(y) * w, image.ScanLine(y), w * 4u);

    std::vector<bool> transparent(static_cast<size_t>(w) * h, false);
    bool anyMask = false;
    if (byColor) {
        // A colour mask means no alpha: the mask alone decides, and masked
        // pixels are black so they add nothing when drawn.
        DWORD key = maskColor == clNone ? 0 : ColorToPixel(ColorToRGB(maskColor));
        for (size_t i = 0; i < transparent.size(); ++i) {
            DWORD p = dst[i] & 0x00FFFFFF;
            if (maskColor != clNone && p == key) {
                transparent[i] = true;
                p = 0;
            }
            dst[i] = p;
        }
        anyMask = true;
    } else if (mask && !mask->Empty()) {
        for (int y = 0; y < h && y < mask->Height(); ++y) {
            DWORD* row = mask->ScanLine(y);
            for (int x = 0; x < w && x < mask->Width(); ++x)
                if ((row[x] & 0x00FFFFFF) == 0x00FFFFFF) {
                    transparent[static_cast<size_t>(y) * w + x] = true;
                    dst[static_cast<size_t>(y) * w + x] = 0;
                }
        }
        anyMask = true;
    }
    if (anyMask) {
        out.Mask = MakeMask(w, h, transparent);
        if (!out.Mask) return false;
    }
    ::GdiFlush();
    return true;
}

int TImageList::AddPrepared(int replaceIndex, TBitmap& image, TBitmap* mask, TColor maskColor,
                            bool byColor) {
    HIMAGELIST list = Handle();
    if (!list) return -1;
    if (replaceIndex >= 0 && replaceIndex >= Count()) return -1;
    Prepared p;
    if (!Prepare(image, mask, maskColor, byColor, p)) return -1;
    auto color = static_cast<HBITMAP>(p.Color.get());
    auto maskBits = static_cast<HBITMAP>(p.Mask.get());
    int result;
    if (replaceIndex >= 0)
        result = ImageList_Replace(list, replaceIndex, color, maskBits) ? replaceIndex : -1;
    else
        result = ImageList_Add(list, color, maskBits);
    if (result >= 0) Changed();
    return result;
}

int TImageList::Add(TBitmap& image, TBitmap* mask) { return AddPrepared(-1, image, mask, clNone, false); }

int TImageList::AddMasked(TBitmap& image, TColor maskColor) {
    return AddPrepared(-1, image, nullptr, maskColor, true);
}

int TImageList::AddIcon(const TIcon& icon) {
    HIMAGELIST list = Handle();
    if (!list || icon.Empty()) return -1;
    int r = ImageList_ReplaceIcon(list, -1, icon.Handle());
    if (r >= 0) Changed();
    return r;
}

bool TImageList::Replace(int index, TBitmap& image, TBitmap* mask) {
    if (index < 0) return false;
    return AddPrepared(index, image, mask, clNone, false) >= 0;
}

bool TImageList::ReplaceMasked(int index, TBitmap& image, TColor maskColor) {
    if (index < 0) return false;
    return AddPrepared(index, image, nullptr, maskColor, true) >= 0;
}

bool TImageList::ReplaceIcon(int index, const TIcon& icon) {
    if (index < 0 || index >= Count() || icon.Empty()) return false;
    if (ImageList_ReplaceIcon(Handle(), index, icon.Handle()) < 0) return false;
    Changed();
    return true;
}

bool TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return false;
    if (!ImageList_Remove(handle_.get(), index)) return false;
    Changed();
    return true;
}

void TImageList::Clear() {
    if (Count() == 0) return;
    ImageList_Remove(handle_.get(), -1);
    Changed();
}

bool TImageList::GetIcon(int index, TIcon& icon) {
    if (index < 0 || index >= Count()) return false;
    HICON h = ImageList_GetIcon(handle_.get(), index, ILD_NORMAL);
    if (!h) return false;
    icon.SetHandle(h);
    return true;
}

bool TImageList::GetBitmap(int index, TBitmap& image) {
    if (index < 0 || index >= Count()) return false;
    image.SetSize(width_, height_);
    HDC dc = image.Canvas().Handle();
    if (!dc) return false;
    bool ok = ImageList_Draw(handle_.get(), index, dc, 0, 0, ILD_NORMAL) != FALSE;
    ::GdiFlush();
    return ok;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) {
    if (index < 0 || index >= Count()) return;
    if (HDC dc = canvas.Handle()) ImageList_Draw(handle_.get(), index, dc, x, y, ILD_NORMAL);
}

}  // namespace gui
