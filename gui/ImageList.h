// TImageList: a list of same-sized images (16 x 16 by default, 32 x 32 for
// the large ones) with masks and 32-bit alpha, used for icons, menu and
// tool-bar pictures. Images are added from bitmaps (with a mask bitmap, a
// mask colour, or their own alpha) or from icons, replaced, deleted, drawn,
// and taken out again as icons or bitmaps. A list can be given the drawing
// of its images, run once when the list is first used.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <functional>

#include "gui/Canvas.h"
#include "gui/Component.h"
#include "gui/Graphics.h"

namespace gui {

enum class TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // A new size or depth empties the list.
    void SetSize(int width, int height);
    TColorDepth ColorDepth() const noexcept { return depth_; }
    void SetColorDepth(TColorDepth depth);

    // Draws the list's images when it is first used (its handle, its count,
    // or any image taken from it), not before: pictures nothing shows yet
    // cost neither time nor memory.
    void SetFiller(std::function<void(TImageList& list)> filler);

    HIMAGELIST Handle();
    int Count();

    // Adds the image; returns its index, -1 on failure. The mask bitmap
    // marks transparent pixels white; without one the image's own alpha
    // decides (a bitmap without alpha is opaque).
    int Add(TBitmap& image, TBitmap* mask = nullptr);
    // Pixels of maskColor become transparent; clNone leaves every pixel
    // opaque. The image's alpha is ignored.
    int AddMasked(TBitmap& image, TColor maskColor);
    int AddIcon(const TIcon& icon);

    bool Replace(int index, TBitmap& image, TBitmap* mask = nullptr);
    bool ReplaceMasked(int index, TBitmap& image, TColor maskColor);
    bool ReplaceIcon(int index, const TIcon& icon);
    bool Delete(int index);
    void Clear();

    // Image `index` as an icon; false (icon unchanged) for a bad index.
    bool GetIcon(int index, TIcon& icon);
    // Image `index` drawn over `image` at the list's size; where the image
    // is transparent, the bitmap keeps what it had (a new bitmap: its
    // canvas brush colour).
    bool GetBitmap(int index, TBitmap& image);
    // Draws image `index` with its transparency.
    void Draw(TCanvas& canvas, int x, int y, int index);

    std::function<void(TImageList* sender)> OnChange;

private:
    struct Prepared;
    bool Prepare(TBitmap& image, TBitmap* mask, TColor maskColor, bool byColor, Prepared& out);
    int AddPrepared(int replaceIndex, TBitmap& image, TBitmap* mask, TColor maskColor, bool byColor);
    void Changed();
    void Fill();

    int width_, height_;
    TColorDepth depth_ = TColorDepth::cd32Bit;
    ImageListHandle handle_;
    std::function<void(TImageList& list)> filler_;
};

}  // namespace gui
