// Where the frame's pieces go: the tool bar's rows at the frame's width, and
// the dialogs over the main window.
#pragma once

#include <cstdint>
#include <vector>

#include "app/frame_rules.h"

namespace ui {

// The tool bar folded into rows no wider than `width`. Items are command ids
// from left to right, 0 a separator. A row that overflows breaks at its last
// separator, so a button group stays whole where it can, and between buttons
// otherwise; the separator it breaks at, or one that would start a row, is
// left out.
struct ToolBarRows {
  std::vector<bool> wrapAfter;  // the item is a button that ends its row
  std::vector<bool> hidden;     // the item is a separator left out
  int32_t rows = 0;
};
ToolBarRows WrapToolBar(const std::vector<uint16_t>& items, int32_t buttonWidth,
                        int32_t separatorWidth, int32_t width);

// The dialog's rectangle for its size (w x h) and the main window's
// rectangle: centred on the window, within the work area of its monitor. A
// dialog larger than the work area keeps its top-left corner on it, so its
// caption and first controls can be reached.
app::Rect CentredDialog(const app::Rect& mainWindow, int32_t w, int32_t h, const app::Areas& areas);

}  // namespace ui
