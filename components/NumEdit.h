// TNumEdit: a custom-drawn numeric entry box. It keeps the value as plain
// text (Text: optional minus, digits, optional point and decimals) and
// paints a separately formatted display text (thousands commas, fixed
// decimals, marks) on one line, with its own caret and a selection that is
// either everything or nothing.
//
// Typing is append-only: the caret stands after the value's last typed
// character, new characters go to the end, Backspace and Delete take the
// last one away. Every accepted edit keeps a one-step undo copy (a second
// Undo redoes), sets Modified and raises OnChange; assigning Text raises
// nothing. While ReadOnly is set only selecting, copying and focus keys work.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "gui/Graphics.h"
#include "gui/StdCtrls.h"
#include "gui/WinControl.h"

enum class TVertAlignment { taTopJustify, taBottomJustify, taVCenter };
enum class TNumBorderStyle { bsNone, bsSingle };

class TNumEdit : public gui::TWinControl {
public:
    explicit TNumEdit(gui::TComponent* owner);

    // --- the value ------------------------------------------------------------
    const std::wstring& Text() const noexcept { return FText; }
    void SetText(const std::wstring& value);
    // What the box shows for the value.
    const std::wstring& DisplayText() const noexcept { return FValText; }
    bool Modified() const noexcept { return FModified; }

    // --- the format -------------------------------------------------------------
    bool Minus() const noexcept { return FMinus; }
    void SetMinus(bool value);
    int IntegerLength() const noexcept { return FIntegerLength; }
    void SetIntegerLength(int value);
    int DecimalLength() const noexcept { return FDecimalLength; }
    void SetDecimalLength(int value);
    bool DecimalFixed() const noexcept { return FDecimalFixed; }
    void SetDecimalFixed(bool value);
    bool Comma() const noexcept { return FComma; }
    void SetComma(bool value);
    const std::wstring& LeftMark() const noexcept { return FLeftMark; }
    void SetLeftMark(const std::wstring& value);
    const std::wstring& RightMark() const noexcept { return FRightMark; }
    void SetRightMark(const std::wstring& value);

    // --- the look -----------------------------------------------------------------
    gui::TAlignment Alignment() const noexcept { return FAlignment; }
    void SetAlignment(gui::TAlignment value);
    TVertAlignment VertAlignment() const noexcept { return FVertAlignment; }
    void SetVertAlignment(TVertAlignment value);
    int TopMargin() const noexcept { return FTopMargin; }
    int LeftMargin() const noexcept { return FLeftMargin; }
    int BottomMargin() const noexcept { return FBottomMargin; }
    int RightMargin() const noexcept { return FRightMargin; }
    void SetTopMargin(int value);
    void SetLeftMargin(int value);
    void SetBottomMargin(int value);
    void SetRightMargin(int value);
    bool AutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool value);
    TNumBorderStyle BorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TNumBorderStyle value);
    bool Ctl3D() const noexcept { return FCtl3D; }
    void SetCtl3D(bool value);
    gui::TColor Color() const noexcept { return FColor; }
    void SetColor(gui::TColor value);
    gui::TColor DisabledColor() const noexcept { return FDisabledColor; }
    void SetDisabledColor(gui::TColor value);
    bool AutoSelect() const noexcept { return FAutoSelect; }
    void SetAutoSelect(bool value);

    // --- behaviour ------------------------------------------------------------------
    bool ReadOnly = false;
    bool ErrorBeep = true;
    // Copy and cut put the display text on the clipboard, not the value.
    bool ImageCopy = false;
    bool HideSelection = true;
    // Enter moves to the next control; Up and Down to the previous and next.
    bool EnterFocusMove = false;
    bool ArrowFocusMove = false;

    // --- editing --------------------------------------------------------------------
    void SelectAll();
    void ClearSelect();
    bool HasSelection() const noexcept { return FSelLength > 0; }
    int SelStart() const noexcept { return FSelStart; }
    int SelLength() const noexcept { return FSelLength; }
    void Clear();
    void ClearSelection();
    void ClearUndo();
    void Undo();
    bool CanUndo() const noexcept { return FCanUndo; }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // The value filter: what of S may stand as a value under the current
    // lengths and minus setting.
    virtual std::wstring NormalizeText(const std::wstring& s) const;
    // The display text of a value under the current format.
    virtual std::wstring FormatDisplayText(const std::wstring& s) const;
    // Width in pixels of the display text of S.
    int DisplayWidth(const std::wstring& s);
    // Where the display text was last painted (client coordinates).
    const RECT& DrawRect() const noexcept { return FDrawRect; }
    // The text height of "M" in the box's font.
    int FontHeight() const noexcept { return FFontHeight; }
    // Paints the box (its background and the display text) into a DC.
    void PaintTo(HDC dc);

    std::function<void(TNumEdit* sender)> OnChange;
    std::function<void(TNumEdit* sender)> OnEnter;
    std::function<void(TNumEdit* sender)> OnExit;

protected:
    void CreateParams(gui::TCreateParams& params) override;
    void CreateWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    virtual void CreateEditCaret();
    virtual void SetEditCaretPos();
    virtual void DestroyEditCaret();
    virtual void AdjustHeight();

    void KeyDown(WORD key);
    void KeyPress(wchar_t ch);
    void DoEnter();
    void DoExit();
    void MouseDown(bool left, bool dbl);
    void DblClick();
    void MouseMove(int x, bool leftDown);

private:
    void Changed();  // OnChange when assigned
    void Repaint(bool now = false);
    void ReFormat() { FValText = FormatDisplayText(FText); }
    void FontChangedMessage();
    void ApplyBorderStyles();
    void Refuse();
    void Accept(const std::wstring& value);
    void TypeDigit(wchar_t c);
    void TypePoint();
    void TypeMinus();
    void DeleteLastChar();
    void StoreUndo();
    void SwapUndo();
    bool TextFits(const std::wstring& s);
    int AvailableWidth() const;
    int CaretOffset(const std::wstring& s);
    int CalcWidth(const std::wstring& s);
    int LeftEdge(int width) const;
    int TopEdge() const;
    void MoveFocus(bool previous);

    std::wstring FText = L"0";
    std::wstring FValText;
    gui::TAlignment FAlignment = gui::TAlignment::taRightJustify;
    TVertAlignment FVertAlignment = TVertAlignment::taVCenter;
    int FTopMargin = 2, FLeftMargin = 2, FBottomMargin = 2, FRightMargin = 2;
    bool FMinus = true;
    int FIntegerLength = 9;
    int FDecimalLength = 3;
    bool FDecimalFixed = false;
    bool FComma = true;
    std::wstring FLeftMark, FRightMark;
    gui::TColor FColor = gui::clWindow;
    gui::TColor FDisabledColor = gui::clGrayText;
    bool FAutoSelect = true;
    bool FAutoSize = true;
    TNumBorderStyle FBorderStyle = TNumBorderStyle::bsSingle;
    bool FCtl3D = true;
    bool FModified = false;
    int FSelStart = 0, FSelLength = 0;
    int FFontHeight = 0;
    std::wstring UndoBuffer;
    bool FCanUndo = false;
    int CaretWidth = 1;
    bool DblClickFlag = false;
    bool NowInit = true;
    RECT FDrawRect{0, 0, 0, 0};
};

// Sets an edit up as the program's numeric displays are: read-only, silent,
// fixed size, no border, on the button face, whole numbers without grouping
// or minus, at most `integerLength` digits.
void MakeReadOnlyDisplay(TNumEdit& edit, int integerLength);

// What is left of a value text without its leading zeros: 007 is 7, 000 is
// 0, -00.5 is -0.5, .5 is 0.5; an empty text stays empty.
std::wstring StripLeadingZeros(const std::wstring& s);
