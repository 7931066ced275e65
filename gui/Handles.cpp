#include "gui/Handles.h"

#include <commctrl.h>

namespace gui {

void ImageListTraits::close(HIMAGELIST h) { ImageList_Destroy(h); }

}  // namespace gui
