#include "ui/frame_layout.h"

#include <algorithm>

namespace ui {

ToolBarRows WrapToolBar(const std::vector<uint16_t>& items, int32_t buttonWidth,
                        int32_t separatorWidth, int32_t width) {
  ToolBarRows r;
  r.wrapAfter.assign(items.size(), false);
  r.hidden.assign(items.size(), false);
  if (items.empty()) return r;
  r.rows = 1;
  int32_t x = 0;
  size_t rowSeparator = items.size();  // the row's last separator, none yet
  auto endRowBefore = [&](size_t i) {  // the last shown button before i ends its row
    for (size_t j = i; j-- > 0;) {
      if (items[j] != 0 && !r.hidden[j]) {
        r.wrapAfter[j] = true;
        break;
      }
    }
    ++r.rows;
  };
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == 0) {
      if (x == 0) {
        r.hidden[i] = true;
      } else {
        rowSeparator = i;
        x += separatorWidth;
      }
      continue;
    }
    if (x > 0 && x + buttonWidth > width) {
      if (rowSeparator < i) {
        // The group after the separator moves down whole.
        r.hidden[rowSeparator] = true;
        endRowBefore(rowSeparator);
        x = static_cast<int32_t>(i - rowSeparator - 1) * buttonWidth;
        if (x > 0 && x + buttonWidth > width) {
          endRowBefore(i);
          x = 0;
        }
      } else {
        endRowBefore(i);
        x = 0;
      }
      rowSeparator = items.size();
    }
    x += buttonWidth;
  }
  return r;
}

app::Rect CentredDialog(const app::Rect& mainWindow, int32_t w, int32_t h, const app::Areas& areas) {
  const app::Rect& a = app::AreaFor(mainWindow.left, mainWindow.top, mainWindow.Width(),
                                    mainWindow.Height(), areas);
  auto place = [](int64_t centre, int32_t size, int32_t lo, int32_t hi) {
    int64_t pos = centre - size / 2;
    pos = std::min<int64_t>(pos, int64_t{hi} - size);
    return static_cast<int32_t>(std::max<int64_t>(pos, lo));
  };
  const int32_t x = place((int64_t{mainWindow.left} + mainWindow.right) / 2, w, a.left, a.right);
  const int32_t y = place((int64_t{mainWindow.top} + mainWindow.bottom) / 2, h, a.top, a.bottom);
  return app::Rect{x, y, x + w, y + h};
}

}  // namespace ui
