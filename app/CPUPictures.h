// The program's own pictures for the CPU and RAM tray icons, drawn into the
// main form's image lists: the digital percent (101 images of 32 x 32), the
// number icons (0-100 plus a busy picture at 101, 16 x 16), the level meter
// (tenths 0-10, 32 x 32), the classic animation (4 frames of 32 x 32) and its
// still picture.
#pragma once

#include "gui/Graphics.h"
#include "gui/ImageList.h"

namespace cpu_pictures {

// The busy picture's index in the number-icon lists.
constexpr int kBusyImage = 101;

void FillDigital(gui::TImageList& list);                         // 101 images
void FillNumbers(gui::TImageList& list, gui::TColor digitColor);  // 102 images
void FillLevel(gui::TImageList& list);                           // 11 images
void FillClassic(gui::TImageList& list);                         // 4 frames
void DrawClassicStill(gui::TIcon& icon);

}  // namespace cpu_pictures
