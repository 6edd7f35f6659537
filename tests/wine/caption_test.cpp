// The frame's caption buttons draw their symbols (minimise bar, maximise box,
// close cross), not the letters of a stand-in font, in this Wine prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "player.h"

using namespace wt;

namespace {

struct Glyph {
  int width = 0, height = 0;
  std::vector<bool> dark;  // row by row, within the glyph's bounding box
  bool At(int x, int y) const { return dark[static_cast<size_t>(y * width + x)]; }
  int Count() const {
    int n = 0;
    for (bool d : dark) n += d;
    return n;
  }
};

// Reads the caption band of the frame from the screen and cuts out the glyph
// of each button: buttons are the runs of columns showing the button face; a
// glyph is what is not face inside a button (it is drawn smoothed, and grey
// when the button is disabled). map gets the band for failure messages.
std::vector<Glyph> CaptionGlyphs(HWND frame, std::string* map) {
  RECT wr;
  GetWindowRect(frame, &wr);
  int bx = GetSystemMetrics(SM_CXFRAME), by = GetSystemMetrics(SM_CYFRAME);
  int cap = GetSystemMetrics(SM_CYCAPTION);
  int width = 3 * GetSystemMetrics(SM_CXSIZE) + 8;
  int left = wr.right - bx - width, top = wr.top + by;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, cap);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, cap, screen, left, top, SRCCOPY);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::vector<std::vector<COLORREF>> px(static_cast<size_t>(cap),
                                        std::vector<COLORREF>(static_cast<size_t>(width)));
  for (int y = 0; y < cap; ++y)
    for (int x = 0; x < width; ++x) px[y][x] = GetPixel(mem, x, y);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  auto dark = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 112; };

  for (int y = 0; y < cap; ++y, *map += '\n')
    for (int c = 0; c < width; ++c) *map += px[y][c] == face ? 'f' : dark(px[y][c]) ? '#' : '.';
  std::vector<Glyph> glyphs;
  // The band's last row may already be the menu bar, which is face too.
  const int rows = cap - 1;
  auto faceIn = [&](int col) {
    for (int y = 0; y < rows; ++y)
      if (px[y][col] == face) return true;
    return false;
  };
  int x = 0;
  while (x < width) {
    if (!faceIn(x)) {
      ++x;
      continue;
    }
    int x0 = x;
    while (x < width && faceIn(x)) ++x;
    int x1 = x - 1;
    // The face's extent is the button's inside; what is not face there is the symbol.
    int top = rows, bottom = -1;
    for (int y = 0; y < rows; ++y)
      for (int c = x0; c <= x1; ++c)
        if (px[y][c] == face) top = std::min(top, y), bottom = std::max(bottom, y);
    int minX = width, maxX = -1, minY = cap, maxY = -1;
    std::vector<std::pair<int, int>> points;
    for (int y = top; y <= bottom; ++y) {
      for (int c = x0; c <= x1; ++c) {
        if (px[y][c] == face) continue;
        points.push_back({c, y});
        minX = std::min(minX, c), maxX = std::max(maxX, c);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
    }
    if (points.empty()) continue;
    Glyph g;
    g.width = maxX - minX + 1;
    g.height = maxY - minY + 1;
    g.dark.assign(static_cast<size_t>(g.width * g.height), false);
    for (auto [c, y] : points) g.dark[static_cast<size_t>((y - minY) * g.width + c - minX)] = true;
    glyphs.push_back(g);
  }
  return glyphs;
}

}  // namespace

TEST(Caption, ButtonsShowTheirSymbols) {
  // The font the caption buttons are drawn with is really there.
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0,
                           L"Marlett");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  EXPECT_STREQ(face, L"Marlett");

  CleanSettings();
  std::wstring dir = FreshDir(L"CaptionButtons");
  Player p;
  ASSERT_TRUE(p.Start(L"", dir));
  ASSERT_TRUE(p.WaitFrame());
  SetForegroundWindow(p.Frame());
  RedrawWindow(p.Frame(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  p.Sync();
  Sleep(300);
  std::string shapes;
  std::vector<Glyph> g = CaptionGlyphs(p.Frame(), &shapes);  // shown with any failure below
  for (const Glyph& one : g) {
    for (int y = 0; y < one.height; ++y, shapes += '\n')
      for (int c = 0; c < one.width; ++c) shapes += one.At(c, y) ? '#' : '.';
    shapes += '\n';
  }
  SCOPED_TRACE(shapes);
  ASSERT_EQ(g.size(), 3u);
  // Minimise: a flat bar, where a stand-in "0" is as tall as a letter.
  EXPECT_GE(g[0].width, 4);
  EXPECT_LE(g[0].height, 3);
  // Maximise: a hollow box, where a "1" is a narrow stroke.
  EXPECT_GE(g[1].width, 6);
  EXPECT_GE(g[1].height, 6);
  EXPECT_FALSE(g[1].At(g[1].width / 2, g[1].height / 2));
  EXPECT_TRUE(g[1].At(0, g[1].height / 2) && g[1].At(g[1].width - 1, g[1].height / 2));
  // Close: a cross, the same mirrored left to right, where an "r" is not.
  const Glyph& x = g[2];
  int mirrored = 0;
  for (int y = 0; y < x.height; ++y)
    for (int c = 0; c < x.width; ++c) mirrored += x.At(c, y) && x.At(x.width - 1 - c, y);
  EXPECT_GE(x.Count(), 8);
  EXPECT_GE(mirrored * 10, x.Count() * 9);
  EXPECT_TRUE(x.At(0, 0) && x.At(x.width - 1, 0) && x.At(0, x.height - 1));
  ASSERT_TRUE(p.Close());
}
