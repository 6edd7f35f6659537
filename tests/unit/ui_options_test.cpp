#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "app/commands.h"
#include "fakes/fake_notifier.h"
#include "ui/frame_layout.h"
#include "ui/option_dialogs.h"

using namespace ui;

TEST(UiOptions, WindowRelayoutFollowsWhatChanged) {
  WindowOptions a, b;
  b.slider = false;
  WindowRelayout r = WindowRelayoutAfter(a, b, true, false, false);
  EXPECT_TRUE(r.resizeVideoToClient);
  EXPECT_TRUE(r.repaintWindow);
  r = WindowRelayoutAfter(a, b, false, false, false);
  EXPECT_FALSE(r.resizeVideoToClient);
  EXPECT_TRUE(r.repaintWindow);

  // System colours: the list is repainted unless a fitted video covers it.
  WindowOptions c;
  c.systemColor = true;
  r = WindowRelayoutAfter(a, c, false, false, false);
  EXPECT_TRUE(r.repaintList);
  EXPECT_FALSE(r.repaintWindow);
  r = WindowRelayoutAfter(a, c, true, true, false);
  EXPECT_TRUE(r.fitVideo);
  EXPECT_FALSE(r.repaintList);
  r = WindowRelayoutAfter(a, c, true, false, true);
  EXPECT_TRUE(r.fitVideo);
  r = WindowRelayoutAfter(a, a, false, true, true);  // no video: nothing to fit
  EXPECT_FALSE(r.fitVideo || r.repaintList || r.repaintWindow);
}

TEST(UiOptions, ToolBarChecksMapToTheirGroups) {
  app::Settings s;
  bool checks[kToolBarChecks];
  for (bool& c : checks) c = true;
  EXPECT_FALSE(StoreToolBarGroups(checks, &s));  // OK without a change: no rebuild

  // Box 511 is the copy group and 512 the video save, not the file's order.
  checks[10] = false;
  EXPECT_TRUE(StoreToolBarGroups(checks, &s));
  EXPECT_FALSE(s.buttons[app::kBtCopy]);
  EXPECT_TRUE(s.buttons[app::kBtUndo]);

  for (bool& c : checks) c = false;
  checks[1] = true;  // only the audio CD
  EXPECT_TRUE(StoreToolBarGroups(checks, &s));
  EXPECT_EQ(app::ToolBarLayout(s.buttons),
            (std::vector<uint16_t>{137, 0, 203, 204, 103, 120, 119, 0}));
  checks[1] = false;
  StoreToolBarGroups(checks, &s);
  EXPECT_EQ(app::ToolBarLayout(s.buttons), (std::vector<uint16_t>{203, 204, 103, 120, 119, 0}));
}

TEST(UiOptions, SongFileTextByLength) {
  EXPECT_EQ(InitLoadFileText("", 0), "なし");
  std::string p30 = "c:\\abcdefghij\\klmnopqrstuv.snf";  // 30 bytes
  ASSERT_EQ(p30.size(), 30u);
  EXPECT_EQ(InitLoadFileText(p30, 0), "ファイル：" + p30);
  std::string p31 = "c:\\abcdefghijk\\klmnopqrstuv.snf";
  EXPECT_EQ(InitLoadFileText(p31, 0), "ファイル：klmnopqrstuv.snf");
  // Shown with the name case mode.
  EXPECT_EQ(InitLoadFileText("C:\\A.SNF", 0), "ファイル：c:\\a.snf");

  std::string n26(26, 'a'), n27(27, 'b'), n36(36, 'c');
  EXPECT_EQ(InitLoadFileText("c:\\dirdirdirdir\\" + n26 + ".snf", 0), "ファイル：" + n26 + ".snf");
  EXPECT_EQ(InitLoadFileText("c:\\" + n27 + ".snf", 0), n27 + ".snf");
  EXPECT_EQ(InitLoadFileText("c:\\" + n36 + ".snf", 0), n36 + ".snf");
  // A long name is cut without splitting a double-byte character.
  std::string kana;
  for (int i = 0; i < 20; ++i) kana += "あ";  // 40 bytes
  EXPECT_EQ(InitLoadFileText("c:\\" + std::string("x") + kana + ".snf", 0),
            "x" + kana.substr(0, 34) + "~.snf");
}

TEST(UiOptions, SongFileChoiceNeedsSnfExtension) {
  SnfChoice c = CheckSnfChoice("C:\\Lists\\My.SNF", 0);
  EXPECT_TRUE(c.accepted);
  EXPECT_EQ(c.path, "c:\\lists\\my.snf");
  c = CheckSnfChoice("c:\\lists\\my.txt", 0);
  EXPECT_FALSE(c.accepted);
  EXPECT_EQ(c.message, "my.txtは、拡張子が違うため設定できません。");
  EXPECT_FALSE(CheckSnfChoice("c:\\lists\\snf", 0).accepted);
  c = CheckSnfChoice("C:\\Lists\\M?torhead.snf", 0);
  EXPECT_FALSE(c.accepted);
  EXPECT_EQ(c.message, "C:\\Lists\\M?torhead.snfは、ファイル名にこのプログラムで扱えない文字が含まれているため設定できません。");
}

namespace {
struct ScriptedDialog : platform::FileDialog {
  bool answer = true;
  std::string buffer;
  platform::FileDialogRequest asked;
  bool Run(const platform::FileDialogRequest& r, platform::FileDialogResult* out) override {
    asked = r;
    out->buffer = buffer;
    return answer;
  }
};
}  // namespace

TEST(UiOptions, ChoosingTheSongFileKeepsTheOldOneOnRefusal) {
  ScriptedDialog d;
  FakeNotifier n;
  std::string file = "c:\\old.snf";
  d.buffer = std::string("C:\\NEW.TXT\0\0", 12);
  EXPECT_FALSE(ChooseInitLoadFile(d, n, 0, true, &file));
  EXPECT_EQ(file, "c:\\old.snf");
  ASSERT_EQ(n.boxes.size(), 1u);
  EXPECT_EQ(n.boxes[0].caption, "エラーメッセージ");
  EXPECT_EQ(d.asked.title, "曲名ファイルの選択");
  EXPECT_EQ(d.asked.defaultExt, "snf");

  d.buffer = std::string("C:\\NEW.SNF\0\0", 12);
  EXPECT_TRUE(ChooseInitLoadFile(d, n, 0, true, &file));
  EXPECT_EQ(file, "c:\\new.snf");
  d.answer = false;
  EXPECT_FALSE(ChooseInitLoadFile(d, n, 0, true, &file));
  EXPECT_EQ(file, "c:\\new.snf");
}

TEST(UiOptions, AlarmFieldsAndSteps) {
  AlarmFields f = AlarmFieldsOf(19, 5);
  EXPECT_TRUE(f.pm);
  EXPECT_EQ(f.hour, 7);
  f = AlarmFieldsOf(11, 59);
  EXPECT_FALSE(f.pm);
  EXPECT_EQ(f.hour, 11);
  EXPECT_EQ(StepHour(11, true), 0);
  EXPECT_EQ(StepHour(0, false), 11);
  EXPECT_EQ(StepMinute(59, true), 0);
  EXPECT_EQ(StepMinute(0, false), 59);
  EXPECT_EQ(StepMinute(30, true), 31);
  // A typed value out of range steps back into range rather than past it.
  EXPECT_EQ(StepHour(40, true), 0);
  EXPECT_EQ(StepMinute(99, false), 59);
  EXPECT_EQ(ReadAlarmField("1234"), 123);
  EXPECT_EQ(ReadAlarmField("x"), 0);
}

TEST(UiOptions, AutoPlayStoresStartupEvenWithABadAlarm) {
  FakeNotifier n;
  app::Settings s;
  AutoPlayInput in;
  in.initLoad = true;
  in.initPlay = true;
  in.initLoadFile = "c:\\a.snf";
  in.alarmSet = true;
  in.hourText = "12";
  in.minuteText = "0";
  StoreAutoPlay(in, n, &s);
  EXPECT_TRUE(s.initLoad && s.initPlay);
  EXPECT_EQ(s.initLoadFile, "c:\\a.snf");
  EXPECT_FALSE(s.alarmSet);
  EXPECT_EQ(s.alarmHour, 7);
  ASSERT_EQ(n.boxes.size(), 1u);
  EXPECT_EQ(n.boxes[0].text, "１１時よりも大きな時刻は設定できません。\n目覚し時刻の設定は行われません。");
  EXPECT_EQ(n.boxes[0].caption, "設定エラー");
  EXPECT_EQ(n.beeps, std::vector<unsigned>{platform::kBeepWarning});

  // The first failing check is the one reported.
  FakeNotifier n2;
  in.hourText = "-1";
  in.minuteText = "60";
  StoreAutoPlay(in, n2, &s);
  EXPECT_EQ(n2.boxes.at(0).text, "０時よりも小さな時刻は設定できません。\n目覚し時刻の設定は行われません。");
  FakeNotifier n3;
  in.hourText = "3";
  StoreAutoPlay(in, n3, &s);
  EXPECT_EQ(n3.boxes.at(0).text, "５９分よりも大きな時刻は設定できません。\n目覚し時刻の設定は行われません。");

  FakeNotifier ok;
  in.pm = true;
  in.minuteText = "45";
  StoreAutoPlay(in, ok, &s);
  EXPECT_TRUE(ok.boxes.empty());
  EXPECT_TRUE(s.alarmSet);
  EXPECT_EQ(s.alarmHour, 15);
  EXPECT_EQ(s.alarmMinute, 45);
}

TEST(UiOptions, UpDownRepeatTiming) {
  UpDownRepeat b;
  b.Press();
  std::vector<int> posted;
  for (int t = 1; t <= 12; ++t)
    if (b.Tick()) posted.push_back(t * 100);
  EXPECT_EQ(posted, (std::vector<int>{200, 800, 1000, 1200}));
  EXPECT_FALSE(b.Release());

  // A quick click posts exactly once, on release.
  b.Press();
  EXPECT_FALSE(b.Tick());
  EXPECT_TRUE(b.Release());
  EXPECT_FALSE(b.Tick());

  // Nothing repeats while the pointer is outside the button.
  b.Press();
  b.Move(false);
  EXPECT_FALSE(b.PushedIn());
  for (int t = 0; t < 10; ++t) EXPECT_FALSE(b.Tick());
  b.Move(true);
  EXPECT_FALSE(b.Tick());
  EXPECT_TRUE(b.Tick());
}

TEST(UiDialogPlace, CentredOnTheMainWindowWithinItsWorkArea) {
  const app::Areas areas{{0, 0, 1024, 738}, {1024, 0, 2048, 768}};
  auto at = [&](app::Rect main, int32_t w, int32_t h) {
    const app::Rect r = ui::CentredDialog(main, w, h, areas);
    EXPECT_EQ(r.Width(), w);
    EXPECT_EQ(r.Height(), h);
    return std::vector<int32_t>{r.left, r.top};
  };
  EXPECT_EQ(at({100, 100, 600, 500}, 200, 100), (std::vector<int32_t>{250, 250}));
  // The second monitor's window keeps its dialogs there, pulled in at its edge.
  EXPECT_EQ(at({1800, 100, 2040, 300}, 400, 100), (std::vector<int32_t>{1648, 150}));
  // Past the top-left corner, or larger than the area: the corner stays on it.
  EXPECT_EQ(at({-100, -50, 300, 250}, 400, 300), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(at({100, 100, 600, 500}, 1200, 900), (std::vector<int32_t>{0, 0}));
}

TEST(UiToolBarRows, OverflowBreaksAtTheGroupsSeparatorElseBetweenButtons) {
  const std::vector<uint16_t> items{1, 2, 3, 0, 4, 5, 0, 6};
  auto rowsOf = [&](int32_t width) {
    const ui::ToolBarRows r = ui::WrapToolBar(items, 27, 6, width);
    std::vector<std::vector<uint16_t>> rows(1);
    for (size_t i = 0; i < items.size(); ++i) {
      if (!r.hidden[i]) rows.back().push_back(items[i]);
      if (r.wrapAfter[i]) rows.emplace_back();
    }
    EXPECT_EQ(static_cast<size_t>(r.rows), rows.size());
    return rows;
  };
  using Rows = std::vector<std::vector<uint16_t>>;
  EXPECT_EQ(rowsOf(500), (Rows{{1, 2, 3, 0, 4, 5, 0, 6}}));
  EXPECT_EQ(rowsOf(100), (Rows{{1, 2, 3}, {4, 5, 0, 6}}));
  EXPECT_EQ(rowsOf(60), (Rows{{1, 2}, {3}, {4, 5}, {6}}));
  // Every button of the full bar shows in a 500-pixel frame, in two rows.
  bool all[app::kButtonGroupCount];
  std::fill(std::begin(all), std::end(all), true);
  EXPECT_EQ(ui::WrapToolBar(app::ToolBarLayout(all), 27, 6, 492).rows, 2);
}
