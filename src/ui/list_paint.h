// The drawing of the song list as a list of primitive operations. The core
// decides every rectangle, colour, text and bitmap; the window only executes
// the list into an off-screen bitmap and copies it to the screen in one go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "songlist/model.h"
#include "ui/list_cells.h"
#include "ui/list_layout.h"

namespace ui {

enum class OpKind : uint8_t {
  kFill,    // rect filled with color
  kFrame,   // one-pixel frame just inside rect in color
  kText,    // text, single line, vertically centred in rect, no prefix processing
  kBitmap,  // src part of bitmap resource stretched into rect
};

struct DrawOp {
  OpKind kind = OpKind::kFill;
  Rect rect;
  uint32_t color = 0;
  std::string text;
  bool alignRight = false;  // text: ends at rect.right instead of starting at rect.left
  int32_t bitmap = 0;
  Rect src;
  bool masked = false;  // mask lies 16 rows below src: SRCAND the mask, then SRCPAINT the picture
};

using DrawList = std::vector<DrawOp>;

// Everything the drawing reads besides the list and the layout.
struct PaintSettings {
  int32_t charNum = 8;
  int32_t caseMode = 0;
  int32_t charset = kShiftJisCharset;
  ListColors colors;
};

class ListPainter {
 public:
  ListPainter(const songlist::SongList& list, DriveInfo& drives) : list_(list), drives_(drives) {}

  // Background colour of the whole view for this layout (also the window's own background).
  uint32_t Background(const ListLayout& L, const PaintSettings& s) const;
  // Full repaint: background, header line, every drawn cell.
  void Full(const ListLayout& L, const PaintSettings& s, DrawList* out) const;
  // Header line and the given cells only (each first cleared with the background).
  void Cells(const ListLayout& L, const PaintSettings& s, const int32_t* pos, int n,
             DrawList* out) const;

  void Header(const ListLayout& L, const PaintSettings& s, DrawList* out) const;
  void Cell(const ListLayout& L, const PaintSettings& s, int32_t pos, const Rect& r,
            DrawList* out) const;

 private:
  const songlist::SongList& list_;
  DriveInfo& drives_;
};

}  // namespace ui
