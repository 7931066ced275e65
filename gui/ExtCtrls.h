// Panel, splitter and image. A panel holds other controls (as their parent)
// and draws a bevel and a centred caption (a kHolderPanel draws neither); a
// splitter, aligned beside the control it resizes, changes that control's
// size as it is dragged, keeping both that control and what remains for the
// others at least MinSize wide.
#pragma once

#include <functional>
#include <string>

#include "gui/Graphics.h"
#include "gui/WinControl.h"

namespace gui {

enum class TBevelCut { bvNone, bvLowered, bvRaised };

struct TPanelArgs {
    TBevelCut BevelOuter = TBevelCut::bvRaised;
    // Whether the caption is drawn.
    bool ShowCaption = true;
};

// A panel used only as a holder of other controls: no bevel, no caption.
inline constexpr TPanelArgs kHolderPanel{.BevelOuter = TBevelCut::bvNone, .ShowCaption = false};

class TPanel : public TWinControl {
public:
    using TKindArgs = TPanelArgs;
    explicit TPanel(TComponent* owner, const TPanelArgs& panel = {}) : TWinControl(owner), panel_(panel) {}
    // The colour the panel is filled with; a new colour repaints it.
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    RECT AlignRect() const override;

private:
    TPanelArgs panel_;
    TColor color_ = clBtnFace;
};

class TSplitter : public TWinControl {
public:
    explicit TSplitter(TComponent* owner) : TWinControl(owner) {}
    int MinSize = 30;
    // The control the splitter resizes (found when the drag starts).
    TControl* ResizeControl() const;
    std::function<void(TSplitter* sender)> OnMoved;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool Horizontal() const { return Align() == TAlign::alTop || Align() == TAlign::alBottom; }
    TControl* ClientControl() const;
    TControl* resizing_ = nullptr;
    int startPos_ = 0, startSize_ = 0, maxSize_ = 0;
};

// A picture: an icon or a bitmap, on the control's colour. At its own size
// it sits centred (Center) or at the top left; with Stretch it fills the
// control, keeping its shape when Proportional (then centred or at the top
// left as Center says). A change of these repaints the control.
class TImage : public TWinControl {
public:
    explicit TImage(TComponent* owner) : TWinControl(owner) {}
    // The image keeps its own copy; setting one clears the other.
    void SetIcon(HICON icon);
    void SetBitmap(HBITMAP bitmap);
    bool Empty() const noexcept { return icon_.Empty() && !bitmap_; }

    bool Stretch() const noexcept { return stretch_; }
    void SetStretch(bool on);
    bool Proportional() const noexcept { return proportional_; }
    void SetProportional(bool on);
    bool Center() const noexcept { return center_; }
    void SetCenter(bool on);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);

    // Where the picture is drawn, in client coordinates (empty: none).
    RECT PictureRect() const;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint(HDC dc);
    void Changed();
    SIZE PictureSize() const;
    TIcon icon_;
    GdiObject bitmap_;
    bool stretch_ = false;
    bool proportional_ = false;
    bool center_ = true;
    TColor color_ = clBtnFace;
};

}  // namespace gui
