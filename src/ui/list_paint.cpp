#include "ui/list_paint.h"

namespace ui {

namespace {

DrawOp Fill(const Rect& r, uint32_t color) {
  DrawOp op;
  op.kind = OpKind::kFill;
  op.rect = r;
  op.color = color;
  return op;
}

DrawOp Frame(const Rect& r, uint32_t color) {
  DrawOp op = Fill(r, color);
  op.kind = OpKind::kFrame;
  return op;
}

DrawOp Text(const Rect& r, uint32_t color, std::string s, bool right = false) {
  DrawOp op = Fill(r, color);
  op.kind = OpKind::kText;
  op.text = std::move(s);
  op.alignRight = right;
  return op;
}

DrawOp Bitmap(int32_t id, const Rect& src, const Rect& dst, bool masked) {
  DrawOp op;
  op.kind = OpKind::kBitmap;
  op.bitmap = id;
  op.src = src;
  op.rect = dst;
  op.masked = masked;
  return op;
}

constexpr int32_t kDriveImageWidth = 27, kDriveImageHeight = 14;

}  // namespace

uint32_t ListPainter::Background(const ListLayout& L, const PaintSettings& s) const {
  if (list_.Count() == 0 || L.header) return s.colors.WithHeader();
  return s.colors.WithoutHeader();
}

void ListPainter::Full(const ListLayout& L, const PaintSettings& s, DrawList* out) const {
  out->push_back(Fill(Rect{0, 0, L.width, L.height}, Background(L, s)));
  if (list_.Count() == 0) return;
  if (L.header) Header(L, s, out);
  if (L.grid) {
    const int32_t cells = L.rows * L.drawnColumns;
    for (int32_t k = 0; k < cells; ++k) {
      int32_t pos = L.firstVisible + k;
      if (pos >= list_.Count()) break;
      Rect r;
      if (L.CellRect(pos, &r)) Cell(L, s, pos, r, out);
    }
  } else {
    Rect r;
    if (L.CellRect(L.firstColumn, &r)) Cell(L, s, L.firstColumn, r, out);
  }
}

void ListPainter::Cells(const ListLayout& L, const PaintSettings& s, const int32_t* pos, int n,
                        DrawList* out) const {
  if (list_.Count() == 0) return;
  const uint32_t bg = Background(L, s);
  if (L.header) {
    out->push_back(Fill(Rect{0, 0, L.width, L.m.rowHeight}, bg));
    Header(L, s, out);
  }
  for (int i = 0; i < n; ++i) {
    Rect r;
    if (!L.CellRect(pos[i], &r)) continue;
    out->push_back(Fill(r, bg));
    Cell(L, s, pos[i], r, out);
  }
}

void ListPainter::Header(const ListLayout& L, const PaintSettings& s, DrawList* out) const {
  const int32_t cur = list_.Current();
  if (cur < 0 || cur >= list_.Count()) return;
  HeaderContent h = MakeHeader(list_.PathAt(cur), list_.SnfName(), list_.Tied(), s.caseMode,
                               s.charset, drives_);
  const int32_t cw = L.m.CharWidth(), rh = L.m.rowHeight;
  const Rect row{0, 0, L.width, rh};
  auto textAt = [&](int32_t x, const std::string& t) {
    out->push_back(Text(Rect{x, row.top, row.right, row.bottom}, kText, t));
  };

  out->push_back(Bitmap(kDriveImages,
                        Rect{kDriveImageWidth * h.driveImage, 0,
                             kDriveImageWidth * (h.driveImage + 1), kDriveImageHeight},
                        Rect{cw / 2, rh / 7, 4 * cw, 6 * rh / 7}, false));
  const Rect iconRows{0, rh / 10, 0, 9 * rh / 10};
  int32_t dirX;
  if (h.cd) {
    dirX = 5 * cw;
  } else {
    const int32_t driveLen = static_cast<int32_t>(h.driveText.size());
    textAt(5 * cw, h.driveText);
    const int32_t folderX = (driveLen + 7) * cw;
    out->push_back(Bitmap(kHeaderIcons, Rect{0, 0, 16, 15},
                          Rect{folderX, iconRows.top, folderX + 2 * cw, iconRows.bottom}, true));
    dirX = 5 * cw + (driveLen + 5) * cw;
  }
  textAt(dirX, h.dirText);
  if (h.snf) {
    const int32_t x = dirX + cw * (static_cast<int32_t>(h.dirText.size()) + 2);
    out->push_back(Bitmap(kHeaderIcons, Rect{16, 0, 32, 15},
                          Rect{x, iconRows.top, x + 2 * cw, iconRows.bottom}, true));
    textAt(x + 3 * cw, h.snfText);
  }
}

void ListPainter::Cell(const ListLayout& L, const PaintSettings& s, int32_t pos, const Rect& r,
                       DrawList* out) const {
  const CellLook look = LookOf(list_, L, pos);
  const ListMetrics& m = L.m;
  if (look.filled) out->push_back(Fill(r, look.fill));

  const int32_t numberEnd = r.left + m.w4 + 2;
  out->push_back(Text(Rect{r.left, r.top, numberEnd, r.bottom}, look.text, CellNumber(pos), true));
  const char* path = list_.PathAt(pos);
  out->push_back(Text(Rect{numberEnd - m.Overhang() + 1, r.top, r.right, r.bottom}, look.text,
                      CellName(path, s.charNum, s.caseMode)));

  if (int32_t icon = KindIcon(path)) {
    const int32_t cw = m.CharWidth();
    const int32_t right = r.left + m.colWidth;
    out->push_back(Bitmap(icon, Rect{0, 0, 15, 15},
                          Rect{right - 2 * cw - 1, r.top + 2, right - 2, r.top + m.rowHeight - 3},
                          true));
  }

  switch (look.frame) {
    case CellFrame::kFocus: out->push_back(Frame(r, kFocusFrame)); break;
    case CellFrame::kPlain: out->push_back(Frame(r, kCellFrame)); break;
    case CellFrame::kSunken: {
      const uint32_t dark = s.colors.Dark(), light = s.colors.Light();
      out->push_back(Fill(Rect{r.left, r.top, r.right, r.top + 1}, dark));
      out->push_back(Fill(Rect{r.left, r.top, r.left + 1, r.bottom}, dark));
      out->push_back(Fill(Rect{r.left + 1, r.bottom - 1, r.right, r.bottom}, light));
      out->push_back(Fill(Rect{r.right - 1, r.top + 1, r.right, r.bottom}, light));
      break;
    }
  }
}

}  // namespace ui
