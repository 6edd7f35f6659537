// Cell contents, header line, drawing lists and the caption and time texts.
#include <cstring>
#include <gtest/gtest.h>

#include <map>

#include "list_marks.h"
#include "playback/medium.h"
#include "songlist_fixture.h"
#include "ui/font_settings.h"
#include "ui/list_cells.h"
#include "ui/list_paint.h"
#include "ui/list_view.h"
#include "ui/status_text.h"

using ui::DrawOp;
using ui::OpKind;
using ui::PlayState;
using ui::Rect;

namespace {

struct FakeDrives : ui::DriveInfo {
  std::map<std::string, int32_t> types;
  uint32_t sector = 512;
  int32_t Type(const std::string& root) override {
    auto it = types.find(root);
    return it == types.end() ? 3 : it->second;
  }
  uint32_t SectorSize(const std::string&) override { return sector; }
};

struct UiPaintTest : SongListTest {
  FakeDrives drives;
  ui::ListView view{list, drives};
  ui::DrawList ops;

  UiPaintTest() {
    view.SetMetrics(ui::MakeMetrics(96, 16, 8, 29));  // 100 x 20, cw 7, overhang 1
    view.SetClient(400, 200, false, 17);
  }
  std::vector<DrawOp> OpsIn(const Rect& cell) const {
    std::vector<DrawOp> v;
    for (const DrawOp& op : ops) {
      if (op.rect.left >= cell.left && op.rect.top >= cell.top && op.rect.left < cell.right &&
          op.rect.top < cell.bottom && !(op.kind == OpKind::kFill && op.rect.Width() > 100))
        v.push_back(op);
    }
    return v;
  }
  const DrawOp* Find(const std::vector<DrawOp>& v, OpKind k) const {
    for (const DrawOp& op : v)
      if (op.kind == k) return &op;
    return nullptr;
  }
  std::vector<std::string> HeaderTexts() const {
    std::vector<std::string> v;
    for (const DrawOp& op : ops)
      if (op.kind == OpKind::kText && op.rect.top == 0) v.push_back(op.text);
    return v;
  }
};

}  // namespace

TEST(UiCells, NameCutNeverSplitsADoubleByteCharacter) {
  // Three double-byte characters, name length 3: only the first fits whole.
  EXPECT_EQ(ui::CellName("c:\\m\\曲名歌.mid", 3, 0), "曲");
  EXPECT_EQ(ui::CellName("c:\\m\\曲名歌.mid", 4, 0), "曲名");
  EXPECT_EQ(ui::CellName("c:\\m\\abcdefghij.mid", 8, 0), "abcdefgh");
}

TEST(UiCells, CaseModesOfNames) {
  EXPECT_EQ(ui::CellName("c:\\m\\it's a.MID", 8, 2), "It's A");
  EXPECT_EQ(ui::CaptionText(false, "c:\\m\\it's a.MID", PlayState::kStopped, false, 2),
            "It's A.mid (停止中)");
  EXPECT_EQ(ui::CellName("C:\\M\\Song.Mid", 8, 0), "song");
  EXPECT_EQ(ui::CellName("c:\\m\\song.mid", 8, 1), "SONG");
}

TEST(UiCells, CdTitleDollarRules) {
  EXPECT_EQ(ui::CellName("d:\\Band  <Disc>\\Track 1$001.acd", 20, 2), "Track 1");
  EXPECT_EQ(ui::CellName("d:\\x\\ab$$cd$001.acd", 20, 0), "ab$cd");
  EXPECT_EQ(ui::CellName("d:\\x\\a$$$b.acd", 20, 0), "a$$b");
  // Only ".acd" names get the rule.
  EXPECT_EQ(ui::CellName("d:\\x\\ab$cd.cda", 20, 0), "ab$cd");
  EXPECT_EQ(ui::CdTitle("曲$$名$001"), "曲$名");
}

TEST(UiCells, NumbersAndIcons) {
  EXPECT_EQ(ui::CellNumber(0), "  1.");
  EXPECT_EQ(ui::CellNumber(998), "999.");
  EXPECT_EQ(ui::KindIcon("a.MID"), ui::kIconMid);
  EXPECT_EQ(ui::KindIcon("a.dat"), ui::kIconMpg);
  EXPECT_EQ(ui::KindIcon("a.Mp2"), ui::kIconMpegAudio);
  EXPECT_EQ(ui::KindIcon("d:\\track01.cda"), ui::kIconCd);
  EXPECT_EQ(ui::KindIcon("a.txt"), 0);
  EXPECT_EQ(ui::KindIcon("noext"), 0);
  EXPECT_EQ(ui::BackgroundColor(255, 300, -1), ui::Rgb(255, 255, 232));
}

TEST(UiCells, CaptionForEveryState) {
  const char* p = "c:\\music\\song.mid";
  EXPECT_EQ(ui::CaptionText(false, p, PlayState::kStopped, false, 0), "song.mid (停止中)");
  EXPECT_EQ(ui::CaptionText(false, p, PlayState::kPlaying, false, 0), "song.mid (演奏中)");
  EXPECT_EQ(ui::CaptionText(false, p, PlayState::kPaused, false, 0), "song.mid (ポーズ)");
  EXPECT_EQ(ui::CaptionText(false, p, PlayState::kStopped, true, 0), "song.mid (待機中)");
  EXPECT_EQ(ui::CaptionText(false, p, PlayState::kPlaying, false, 1), "SONG.MID (演奏中)");
  EXPECT_EQ(ui::CaptionText(true, "", PlayState::kStopped, false, 0), "corvella");
  EXPECT_EQ(ui::CaptionText(true, "", PlayState::kStopped, false, 1), "CORVELLA");
  EXPECT_EQ(ui::CaptionText(true, "", PlayState::kStopped, false, 2), "Corvella");
  // ".acd" loses its extension and the "$" part; ".cda" keeps its extension.
  EXPECT_EQ(ui::CaptionText(false, "d:\\B  <D>\\Intro$001.acd", PlayState::kPlaying, false, 2),
            "Intro (演奏中)");
  EXPECT_EQ(ui::CaptionText(false, "d:\\track02.cda", PlayState::kStopped, false, 0),
            "track02.cda (停止中)");
}

TEST(UiCells, TrackTextFollowsListFontAndCase) {
  EXPECT_EQ(playback::CdTrackText(7, 0, 128), "ﾄﾗｯｸ <007>");
  EXPECT_EQ(playback::CdTrackText(7, 1, 128), "ﾄﾗｯｸ <007>");
  EXPECT_EQ(playback::CdTrackText(7, 0, 0), "track <007>");
  EXPECT_EQ(playback::CdTrackText(12, 1, 0), "TRACK <012>");
  EXPECT_EQ(playback::CdTrackText(123, 2, 0), "Track <123>");
}

TEST(UiCells, SliderStripAndRouting) {
  ui::SliderPlacement p = ui::PlaceSlider(true, 300, 100);
  EXPECT_TRUE(p.shown);
  EXPECT_EQ(p.slider, (Rect{0, 80, 300, 100}));
  EXPECT_EQ(p.line, (Rect{0, 79, 300, 80}));
  EXPECT_FALSE(ui::PlaceSlider(true, 300, 20).shown);
  EXPECT_FALSE(ui::PlaceSlider(false, 300, 100).shown);

  struct Target : ui::SliderTarget {
    int focus = 0;
    bool still = false;
    std::vector<int> seeks;
    void FocusMainWindow() override { ++focus; }
    bool StillPictureOpen() override { return still; }
    void SeekTo(int32_t v) override { seeks.push_back(v); }
  } t;
  ui::SliderControl s;
  s.OnNotify(t, ui::kSbLineRight, 5);
  s.OnNotify(t, ui::kSbThumbTrack, 6);
  s.OnNotify(t, ui::kSbEndScroll, 7);
  t.still = true;
  s.OnNotify(t, ui::kSbPageLeft, 8);
  EXPECT_EQ(t.focus, 4);  // every notification takes the focus, even when ignored
  EXPECT_EQ(t.seeks, (std::vector<int>{6, 7}));

}

TEST(UiCells, TimeFieldHoldsTheLongestTextClearOfTheGrip) {
  // 7-pixel half-width cells: each Shift-JIS byte is one cell, 21 in all.
  const int32_t text = 7 * static_cast<int32_t>(std::strlen(ui::kLongestTimeText));
  ASSERT_EQ(text, 7 * 21);
  const ui::StatusParts p = ui::StatusBarParts(492, text, 3, 16);
  EXPECT_EQ(p.timeRight, 492 - 16);
  EXPECT_EQ(p.timeRight - p.messageRight, text + 2 * 3);
  // Too narrow for both: the message area gives way first.
  EXPECT_EQ(ui::StatusBarParts(100, text, 3, 16).messageRight, 0);
}

TEST_F(UiPaintTest, EmptyListDrawsOnlyTheBackground) {
  view.FullRepaint(&ops);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].kind, OpKind::kFill);
  EXPECT_EQ(ops[0].rect, (Rect{0, 0, 400, 200}));
  EXPECT_EQ(ops[0].color, ui::Rgb(255, 255, 232));
}

TEST_F(UiPaintTest, CellColoursAndFrames) {
  Fill({"c:\\m\\a.mid", "c:\\m\\b.wav", "c:\\m\\c.mp3", "c:\\m\\d.txt", "c:\\m\\e.mid"});
  list.SetSelected(0, true);
  list.SetCurrent(1);
  SetMarkAt(list, 2, songlist::kMarkSkipped);
  list.SetFocus(3);
  SetMarkAt(list, 4, songlist::kMarkSkipped);
  view.FullRepaint(&ops);
  ASSERT_EQ(ops[0].color, ui::Rgb(255, 255, 232));

  auto cell = [](int pos) { return Rect{0, 20 + pos * 20, 100, 40 + pos * 20}; };
  auto c0 = OpsIn(cell(0));
  ASSERT_NE(Find(c0, OpKind::kFill), nullptr);
  EXPECT_EQ(Find(c0, OpKind::kFill)->color, ui::kSelectedFill);
  EXPECT_EQ(Find(c0, OpKind::kText)->color, ui::kText);
  EXPECT_EQ(Find(c0, OpKind::kFrame)->color, ui::kCellFrame);

  auto c1 = OpsIn(cell(1));
  EXPECT_EQ(Find(c1, OpKind::kFill)->color, ui::kCurrentFill);

  auto c2 = OpsIn(cell(2));
  EXPECT_EQ(Find(c2, OpKind::kFill), nullptr);
  EXPECT_EQ(Find(c2, OpKind::kText)->color, ui::kSkippedText);

  auto c3 = OpsIn(cell(3));
  EXPECT_EQ(Find(c3, OpKind::kFrame)->color, ui::kFocusFrame);
  EXPECT_EQ(Find(c3, OpKind::kBitmap), nullptr);  // no icon for ".txt"

  // Selected current, and selected current marked skipped.
  list.SetSelected(1, true);
  list.SetSelected(4, true);
  ops.clear();
  view.FullRepaint(&ops);
  c1 = OpsIn(cell(1));
  EXPECT_EQ(Find(c1, OpKind::kFill)->color, ui::kSelectedCurrentFill);
  EXPECT_EQ(Find(c1, OpKind::kText)->color, ui::kSelectedCurrentText);
  list.SetCurrent(4);
  ops.clear();
  view.FullRepaint(&ops);
  auto c4 = OpsIn(cell(4));
  EXPECT_EQ(Find(c4, OpKind::kFill)->color, ui::kSelectedCurrentFill);
  EXPECT_EQ(Find(c4, OpKind::kText)->color, ui::kSelectedCurrentSkippedText);
}

TEST_F(UiPaintTest, CellTextAndIconPlacement) {
  Fill({"c:\\m\\a.mid", "c:\\m\\b.mid"});
  view.FullRepaint(&ops);
  auto c1 = OpsIn(Rect{0, 40, 100, 60});  // not current: no fill
  ASSERT_GE(c1.size(), 4u);
  EXPECT_EQ(c1[0].text, "  2.");
  EXPECT_TRUE(c1[0].alignRight);
  EXPECT_EQ(c1[0].rect, (Rect{0, 40, 31, 60}));  // ends at w4 + 2
  EXPECT_EQ(c1[1].text, "b");
  EXPECT_EQ(c1[1].rect, (Rect{31, 40, 100, 60}));  // end of number - overhang + 1
  EXPECT_EQ(c1[2].kind, OpKind::kBitmap);
  EXPECT_EQ(c1[2].bitmap, ui::kIconMid);
  EXPECT_TRUE(c1[2].masked);
  EXPECT_EQ(c1[2].rect, (Rect{85, 42, 98, 57}));
}

TEST_F(UiPaintTest, HeaderLineOfAFileAndASongNameFile) {
  Fill({"c:\\my music\\a.mid"});
  list.SetSnfName("\\\\srv\\lists\\fav.snf");
  list.SetTied(true);
  view.FullRepaint(&ops);
  EXPECT_EQ(HeaderTexts(), (std::vector<std::string>{"c:", "my music", "srv\\lists\\fav.snf"}));
  // Drive image 2 (fixed disk), stretched between cw/2 and 4 cw.
  EXPECT_EQ(ops[1].bitmap, ui::kDriveImages);
  EXPECT_EQ(ops[1].src, (Rect{54, 0, 81, 14}));
  EXPECT_EQ(ops[1].rect, (Rect{3, 2, 28, 17}));
  // Drive text at 5 cw, folder at (2 + 7) cw, directory at 5 cw + (2 + 5) cw,
  // song-name icon at 84 + (8 + 2) cw, its path 3 cw further.
  EXPECT_EQ(ops[2].rect.left, 35);
  EXPECT_EQ(ops[3].rect, (Rect{63, 2, 77, 18}));
  EXPECT_EQ(ops[4].rect.left, 84);
  EXPECT_EQ(ops[5].src, (Rect{16, 0, 32, 15}));
  EXPECT_EQ(ops[5].rect.left, 154);
  EXPECT_EQ(ops[6].rect.left, 175);
}

TEST(UiHeader, DrivesNetworkPathsAndCds) {
  FakeDrives d;
  d.types["E:\\"] = 5;  // the path is case-converted before the drive is asked
  ui::HeaderContent h = ui::MakeHeader("e:\\a\\b\\x.mid", "", false, 1, 128, d);
  EXPECT_EQ(h.driveImage, 4);
  EXPECT_EQ(h.driveText, "E:");
  EXPECT_EQ(h.dirText, "A\\B");
  d.sector = 2048;  // a fixed disk with odd sectors counts as a RAM disk
  EXPECT_EQ(ui::MakeHeader("c:\\x.mid", "", false, 0, 128, d).driveImage, 5);
  EXPECT_EQ(ui::MakeHeader("c:\\x.mid", "", false, 0, 128, d).dirText, "\\");

  h = ui::MakeHeader("\\\\server\\share\\dir\\x.mid", "", false, 0, 128, d);
  EXPECT_EQ(h.driveImage, 3);
  EXPECT_EQ(h.driveText, "server");
  EXPECT_EQ(h.dirText, "share\\dir");

  h = ui::MakeHeader("d:\\Band  <Disc>\\Intro$001.acd", "", false, 0, 128, d);
  EXPECT_TRUE(h.cd);
  EXPECT_EQ(h.driveImage, 4);
  EXPECT_EQ(h.dirText, "band  <disc>");
  EXPECT_EQ(ui::MakeHeader("d:\\track001.acd", "", false, 0, 128, d).dirText, "オーディオＣＤ");
  EXPECT_EQ(ui::MakeHeader("d:\\track001.acd", "", false, 0, 0, d).dirText, "audio CD");
  EXPECT_EQ(ui::MakeHeader("d:\\track001.acd", "", false, 1, 0, d).dirText, "AUDIO CD");
  EXPECT_EQ(ui::MakeHeader("d:\\track001.acd", "", false, 2, 0, d).dirText, "Audio CD");
}

TEST_F(UiPaintTest, NoHeaderBackgroundAndSunkenEdges) {
  FillNumbered(3);
  view.SetClient(400, 30, false, 17);  // single-entry mode
  view.FullRepaint(&ops);
  EXPECT_EQ(ops[0].color, ui::kGrey);
  EXPECT_TRUE(HeaderTexts().empty());
  int dark = 0, light = 0, frames = 0;
  for (const DrawOp& op : ops) {
    if (op.kind == OpKind::kFrame) ++frames;
    if (op.kind == OpKind::kFill && op.color == ui::kShadow) ++dark;
    if (op.kind == OpKind::kFill && op.color == ui::kHighlight) ++light;
  }
  EXPECT_EQ(frames, 0);  // no focus frame outside grid mode
  EXPECT_EQ(dark, 2);
  EXPECT_EQ(light, 2);
  // The current entry is not filled in single-entry mode.
  for (const DrawOp& op : ops) EXPECT_NE(op.color, ui::kCurrentFill);
}

TEST_F(UiPaintTest, PartialRepaintDrawsHeaderAndNamedCells) {
  FillNumbered(10);
  view.FullRepaint(&ops);
  ops.clear();
  int32_t cells[] = {2, 7, 40};
  view.PartialRepaint(cells, 3, &ops);
  int numbers = 0;
  for (const DrawOp& op : ops)
    if (op.kind == OpKind::kText && op.alignRight) ++numbers;
  EXPECT_EQ(numbers, 2);
  EXPECT_EQ(ops[0].rect, (Rect{0, 0, 400, 20}));  // header row cleared first
}

TEST(UiPaintGuard, WarnsOnceWhileShownAndAgainAtTheNextRepaint) {
  // A repaint under the box runs out of memory again.
  struct Repainting : FakeNotifier {
    ui::PaintGuard* guard = nullptr;
    int MessageBox(const std::string& text, const std::string& caption, unsigned style,
                   bool owned) override {
      int r = FakeNotifier::MessageBox(text, caption, style, owned);
      if (boxes.size() == 1) guard->OnOutOfMemory(*this);
      return r;
    }
  } n;
  ui::PaintGuard g;
  n.guard = &g;
  g.OnOutOfMemory(n);
  ASSERT_EQ(n.boxes.size(), 1u);
  EXPECT_EQ(n.boxes[0].caption, "メモリ不足の警告");
  g.OnOutOfMemory(n);
  EXPECT_EQ(n.boxes.size(), 2u);
}

TEST(UiFont, NameLengthFieldAndCaseRadios) {
  EXPECT_EQ(ui::ReadCharNum("0"), 1);
  EXPECT_EQ(ui::ReadCharNum("-5"), 1);
  EXPECT_EQ(ui::ReadCharNum(""), 1);
  EXPECT_EQ(ui::ReadCharNum("abc"), 1);
  EXPECT_EQ(ui::ReadCharNum("999"), 250);
  EXPECT_EQ(ui::ReadCharNum("12"), 12);
  EXPECT_EQ(ui::ReadCharNum("00123456"), 12);  // only four characters are read
  EXPECT_EQ(ui::CharNumText(8), "8");
  for (int mode = 0; mode < 3; ++mode) EXPECT_EQ(ui::CaseModeOfRadio(ui::CaseRadio(mode)), mode);
  EXPECT_EQ(ui::CaseRadio(7), ui::kIdcCaseLower);
}

TEST(UiFont, DialogStartsFromTheDrawnFaceAndOkUnchangedKeepsTheKeys) {
  app::Settings s;  // FixedSys 14, which this system lacks
  const ui::FontChoice started = ui::StartingFont(s, "IPAGothic");
  EXPECT_EQ(started.faceName, "IPAGothic");
  EXPECT_EQ(started.pointSizeTenths, 140);
  EXPECT_EQ(ui::StartingFont(s, "").faceName, "FixedSys");

  ui::StoreFontChoice(started, started, 20, 1, &s);
  EXPECT_EQ(s.faceName, "FixedSys");
  EXPECT_EQ(s.fontSize, 14);
  EXPECT_EQ(s.charNum, 20);  // the dialog's own fields are still stored
  EXPECT_EQ(s.strupr, 1);

  EXPECT_TRUE(ui::IsVerticalFace("@IPAGothic"));
  EXPECT_FALSE(ui::IsVerticalFace("IPAGothic"));
}

TEST(UiFont, ChoiceStoredAndNonShiftJisWarned) {
  app::Settings s;
  ui::FontChoice f;
  f.faceName = "Courier New";
  f.pointSizeTenths = 105;
  f.weight = 700;
  f.italic = true;
  f.charset = 0;
  ui::StoreFontChoice(f, ui::StartingFont(s, ""), 12, 2, &s);
  EXPECT_EQ(s.faceName, "Courier New");
  EXPECT_EQ(s.fontSize, 10);
  EXPECT_EQ(s.bold, 700);
  EXPECT_TRUE(s.italic);
  EXPECT_EQ(s.charset, 0);
  EXPECT_EQ(s.charNum, 12);
  EXPECT_EQ(s.strupr, 2);

  FakeNotifier n;
  ui::WarnIfNotShiftJis(128, n);
  EXPECT_TRUE(n.boxes.empty());
  ui::WarnIfNotShiftJis(0, n);
  ASSERT_EQ(n.boxes.size(), 1u);
  EXPECT_EQ(n.boxes[0].text, "このフォントを使用すると、漢字の表示ができなくなります。");
  EXPECT_EQ(n.boxes[0].caption, "使用上の注意");
  EXPECT_EQ(n.boxes[0].style, platform::kMbIconExclamation);
  EXPECT_EQ(n.beeps, (std::vector<unsigned>{platform::kBeepWarning}));
}
