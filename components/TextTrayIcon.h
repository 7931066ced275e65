// TTextTrayIcon: a tray icon whose image is a short text (a percentage)
// drawn into 16 x 16 pixels in a font and colours, with an optional frame,
// offsets, line distance and a background icon. Every change of what it
// shows renders the image again and hands it to the shell.
#pragma once

#include <functional>
#include <string>

#include "components/NotifyTrayIcon.h"
#include "gui/Canvas.h"
#include "gui/Graphics.h"

// Where the text stands: shifts in pixels and extra space between lines.
class TOffsetOptions {
public:
    virtual ~TOffsetOptions() = default;

    int OffsetX() const noexcept { return FOffsetX; }
    void SetOffsetX(int value);
    int OffsetY() const noexcept { return FOffsetY; }
    void SetOffsetY(int value);
    int LineDistance() const noexcept { return FLineDistance; }
    void SetLineDistance(int value);
    // Copies the three values, with one change notification.
    void Assign(const TOffsetOptions& other);

    std::function<void(TOffsetOptions* sender)> OnChange;

protected:
    virtual void Change();

private:
    int FOffsetX = 0, FOffsetY = 0, FLineDistance = 0;
};

class TTextTrayIcon : public TNotifyTrayIcon {
public:
    explicit TTextTrayIcon(gui::TComponent* owner);
    ~TTextTrayIcon() override;

    const gui::TIcon& BackgroundIcon() const noexcept { return FBackgroundIcon; }
    // An empty icon takes the background away.
    void SetBackgroundIcon(const gui::TIcon& value);
    const std::wstring& Text() const noexcept { return FText; }
    // Lines are separated by carriage returns.
    void SetText(const std::wstring& value);
    // Changing the font through the returned object renders again too.
    gui::TFont& Font() noexcept { return FFont; }
    void SetFont(const gui::TFont& value);
    // clNone: a transparent background.
    gui::TColor Color() const noexcept { return FColor; }
    void SetColor(gui::TColor value);
    bool Border() const noexcept { return FBorder; }
    void SetBorder(bool value);
    gui::TColor BorderColor() const noexcept { return FBorderColor; }
    void SetBorderColor(gui::TColor value);
    TOffsetOptions& Options() noexcept { return FOffsetOptions; }
    void SetOptions(const TOffsetOptions& value);

    // Renders the image and installs it as the icon.
    void Draw();
    // The last render of the text (and frame) before it became the icon.
    gui::TBitmap& TextBitmap() noexcept { return FTextBitmap; }

protected:
    // Renders FTextBitmap; a descendant may draw other content.
    virtual void PaintText();

private:
    gui::TFont FFont;
    gui::TColor FColor = gui::clBtnFace;
    gui::TColor FInvertTextColor = gui::clNone;
    bool FBorder = false;
    gui::TColor FBorderColor = gui::clBlack;
    std::wstring FText;
    gui::TBitmap FTextBitmap;
    TOffsetOptions FOffsetOptions;
    gui::TIcon FBackgroundIcon;
};
