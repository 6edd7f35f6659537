#include "app/commands.h"

#include <algorithm>

#include "text/sjis.h"

namespace app {
namespace {

MenuEntry Item(uint16_t id, const char* label) {
  MenuEntry e;
  e.id = id;
  e.label = label;
  return e;
}
MenuEntry Separator() { return MenuEntry(); }
MenuEntry Popup(const char* label, std::vector<MenuEntry> items) {
  MenuEntry e;
  e.label = label;
  e.items = std::move(items);
  return e;
}

std::vector<MenuEntry> BuildMainMenu() {
  return {
      Popup("ファイル(&F)",
            {Item(CM_FILEOPEN, "曲の選択(&F)..."), Item(CM_DIRECTORY, "ディレクトリの選択(&D)..."),
             Item(CM_AUDIOCD, "オーディオＣＤを開く(&C)"), Separator(),
             Item(CM_SAVEAVI, "ビデオ画面の保存...(&V)"), Separator(),
             Item(CM_SNFLOAD, "曲名の読み込み(&L)..."), Item(CM_SNFSAVEAS, "曲名の保存(&A)..."),
             Item(CM_SNFSAVE, "曲名の上書き保存(&S)"), Separator(), Item(CM_EXIT, "終了(&X)")}),
      Popup("演奏(&P)",
            {Item(CM_PLAY, "演奏開始(&P)"), Item(CM_STOP, "停止(&S)"), Item(CM_PAUSE, "ポーズ(&N)"),
             Item(CM_NEXT, "次の曲へ(&F)"), Item(CM_PREVIOUS, "１曲戻る(&B)"), Separator(),
             Item(CM_REPEAT1, "１曲の繰り返し演奏(&O)"), Item(CM_RANDOMPLAY, "ランダム演奏(&R)"),
             Item(CM_REPEAT2, "全曲の繰り返し演奏(&A)"), Separator(),
             Item(CM_AVIDISP, "ビデオ専用ウィンドウ表示(&V)"),
             Item(CM_AVIALLDISP, "ビデオの全画面再生(&Z)"),
             Item(CM_AVISIZE, "ビデオのオリジナルサイズ再生(&D)"),
             Item(CM_AVICENTER, "ビデオを画面中央で再生(&C)"), Separator(),
             Item(CM_CONTROLPAD, "演奏ポッドの表示(&E)"),
             Item(CM_TOPPAD, "演奏ポッドを手前に表示(&T)"),
             Item(CM_ICONPAD, "演奏ポッドを最小化時に表示(&I)"), Separator(),
             Item(CM_MIDIRESET, "MIDI音源のリセット設定(&G)..."),
             Item(CM_MIDITITLE, "MIDIタイトルの表示...(&M)")}),
      Popup("編集(&E)",
            {Item(CM_UNDO, "元に戻す(&U)"), Separator(), Item(CM_MARKSKIP, "非演奏曲に指定(&N)"),
             Item(CM_MARKPLAY, "演奏曲に指定(&E)"), Item(CM_DELETE, "曲名の削除(&D)"), Separator(),
             Item(CM_COPY, "コピー(&C)"), Item(CM_PASTE, "貼り付け(&P)"), Separator(),
             Item(CM_PLAYTIME, "選択曲の演奏時間の表示...(&T)"),
             Item(CM_SELECTALL, "すべて選択(&A)")}),
      Popup("オプション(&O)",
            {Item(CM_TOPMOST, "つねに手前に表示(&T)"), Item(CM_MINIMIZE, "演奏時に最小化(&I)"),
             Item(CM_WPCHANGE, "演奏時に壁紙を変更(&W)"), Item(CM_AUTOWP, "起動時に壁紙を変更(&K)"),
             Separator(), Item(CM_AUTOPLAYDLG, "自動演奏の設定(&L)..."),
             Item(CM_INTERVALDLG, "演奏間隔の設定(&N)..."), Separator(),
             Item(CM_WINDOWDLG, "ウィンドウのカスタマイズ(&C)..."),
             Item(CM_TOOLBARDLG, "ツールバーのカスタマイズ(&Z)..."),
             Item(CM_FONTDLG, "フォントの指定(&F)..."), Separator(),
             Item(CM_ENDSAVE, "終了時の状態を保存(&S)"),
             Item(CM_MEDIAKEYS, "メディアキーを常に使う(&M)"), Separator(),
             Item(CM_WPSETTINGS, "壁紙の設定(&P)..."), Separator(),
             Item(CM_SHUFFLE, "シャッフル(&X)"), Item(CM_SORT, "アルファベット順(&A)")}),
      Popup("ヘルプ(&H)",
            {Item(CM_HELPCONTENTS, "目次(&C)"), Item(CM_HELPSEARCH, "キーワードで検索(&S)..."),
             Item(CM_HELPONHELP, "ヘルプの使い方(&H)"), Separator(),
             Item(CM_ABOUT, "プログラムについて(&A)...")}),
  };
}

const std::pair<uint16_t, const char*> kHints[] = {
    {1, "ビデオ画面をファイル(.bmp)に保存します。"},
    {101, "プログラムのバージョン情報と版権を表示します。"},
    {102, "つねに手前に表示するようにします。"},
    {103, "演奏にポーズをかけます。"},
    {104, "演奏時にウィンドウを最小化します。"},
    {105, "曲をランダムに演奏します。"},
    {106, "曲目の表示を左にシフトします。"},
    {107, "ディレクトリの全ファイルを選択します。"},
    {108, "演奏時に壁紙をランダムに変更します。"},
    {109, "終了時に曲名やオプションの内容を保存します。"},
    {110, "曲名ファイル(.snf)を読み込みます。"},
    {111, "指定した曲は演奏されません。"},
    {112, "非演奏曲を再び演奏するようにします。"},
    {113, "選択した曲をリストから外します。"},
    {114, "直前の変更内容を元に戻します。"},
    {116, "曲名リストをファイル（.snf）に保存します。"},
    {117, "曲名リストをファイルに上書きで保存します。"},
    {118, "壁紙の名前、表示方法を設定します。"},
    {119, "次の曲を演奏します。"},
    {120, "１曲戻って演奏します。"},
    {121, "演奏の順番をシャッフルします。"},
    {122, "曲をアルファベット順に並べます。"},
    {123, "各演奏間の間隔時間を設定します。"},
    {124, "ツールバーを表示します。"},
    {125, "ステータスバーを表示します。"},
    {126, "１曲を繰り返して演奏します。"},
    {127, "全曲を繰り返し演奏します。"},
    {128, "起動時に自動的に演奏するかどうかの設定をします。"},
    {129, "ビデオ専用のウィンドウ上に表示します。"},
    {130, "ヘルプトピックの索引を表示します。"},
    {131, "キーワードでヘルプトピックを検索します。"},
    {132, "ヘルプの使い方を説明します。"},
    {133, "ビデオをオリジナルサイズで再生します。"},
    {134, "MIDI演奏時の音源のリセットについての設定を行います。"},
    {135, "スライダーを表示します。"},
    {136, "起動時に壁紙をランダムに変更します。"},
    {137, "オーディオＣＤを演奏できるようにします。"},
    {138, "ツールバーに表示するボタンを設定します。"},
    {139, "曲名表示のフォントを指定します。"},
    {140, "曲名表示のフォントを指定します。"},
    {141, "メニューバーを表示します。"},
    {142, "各バーやスライダーの表示の設定を行います。"},
    {143, "ビデオを無音で再生します。"},
    {144, "ウィンドウを移動して画面中央で再生します。"},
    {145, "選択曲のトータル演奏時間を表示します。"},
    {146, "MIDIファイルに書かれているタイトルを表示します。"},
    {147, "ビデオを全画面で再生します。"},
    {150, "選択した曲名をクリップボードにコピーします。"},
    {151, "クリップボードから曲名を貼り付けます。"},
    {152, "すべての曲名を編集の対象に選択します。"},
    {153, "ビデオ画面をファイル（.bmp）に保存します。"},
    {155, "ほかのプログラムの使用中もメディアキーで操作します。"},
    {202, "演奏するファイルを選択します。"},
    {203, "演奏を開始します。"},
    {204, "演奏を停止します。"},
    {451, "演奏ポッドを表示します。"},
    {452, "演奏ポッドをつねに手前に表示します。"},
    {453, "ウィンドウを最小化した時に演奏ポッドを表示します。"},
    {24310, "プログラムを終了します。"},
};

// Virtual-key codes of the platform.
enum : uint16_t {
  kVkReturn = 0x0D, kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22,
  kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28,
  kVkInsert = 0x2D, kVkDelete = 0x2E, kVkF1 = 0x70,
};

bool VideoFrameShown(const CommandState& s) {
  return s.videoInMain && (s.state == PlayState::kPaused || s.stillImage);
}

void ApplyChecks(std::vector<MenuEntry>* items,
                 const std::vector<std::pair<uint16_t, bool>>& checks) {
  for (MenuEntry& e : *items) {
    if (e.IsPopup()) {
      ApplyChecks(&e.items, checks);
      continue;
    }
    for (const auto& c : checks) {
      if (c.first == e.id) e.checked = c.second;
    }
  }
}

}  // namespace

bool IsCommandEnabled(uint16_t id, const CommandState& s) {
  const bool notEmpty = s.count > 0;
  switch (id) {
    case CM_SAVEAVI:
      return VideoFrameShown(s);
    case CM_SNFSAVEAS:
    case CM_PLAY:
    case CM_SELECTALL:
    case CM_SHUFFLE:
    case CM_SORT:
      return notEmpty;
    case CM_SNFSAVE:
      return s.hasSongNameFile;
    case CM_STOP:
      return notEmpty && (s.state != PlayState::kStopped || s.waiting);
    case CM_PAUSE:
      return notEmpty && s.state == PlayState::kPlaying && !s.stillImage;
    case CM_NEXT:
      return s.nextAvailable;
    case CM_PREVIOUS:
      return s.previousAvailable;
    case CM_REPEAT2:
      return !s.randomPlay && !s.repeatOne;
    case CM_AVIALLDISP:
      return s.dedicatedWindowOption;
    case CM_TOPPAD:
    case CM_ICONPAD:
      return s.podOption;
    case CM_MIDITITLE:
      return notEmpty && text::EqualNoCase(s.focusedExtension, ".mid");
    case CM_UNDO:
      return s.undoExists;
    case CM_MARKSKIP:
    case CM_MARKPLAY:
    case CM_DELETE:
      return s.selected > 0;
    case CM_COPY:
      return s.videoInMain ? VideoFrameShown(s) : s.selected > 0;
    case CM_PASTE:
      return s.clipboardHasText || s.clipboardHasFiles;
    case CM_PLAYTIME:
      return s.selected > 0 && s.state == PlayState::kStopped && !s.waiting;
    default:
      return true;
  }
}

bool WaitsForListWork(uint16_t id) {
  switch (id) {
    case CM_FILEOPEN: case CM_DIRECTORY: case CM_AUDIOCD: case CM_SNFLOAD: case CM_SNFSAVEAS:
    case CM_SNFSAVE: case CM_UNDO: case CM_MARKSKIP: case CM_MARKPLAY: case CM_DELETE:
    case CM_COPY: case CM_PASTE: case CM_SELECTALL: case CM_SHUFFLE: case CM_SORT:
    case CM_KEYLEFT: case CM_KEYRIGHT: case CM_KEYUP: case CM_KEYDOWN: case CM_KEYENTER:
    case CM_KEYPAGEUP: case CM_KEYPAGEDOWN: case CM_KEYHOME: case CM_KEYEND: case CM_KEYSPACE:
    case CM_KEYINSERT: case CM_KEYDELETE: case CM_KEYESC:
      return true;
    default:
      return false;
  }
}

uint16_t ResolvePlayPause(const CommandState& s) {
  return s.state == PlayState::kPlaying ? CM_PAUSE : CM_PLAY;
}

uint16_t CommandForAppCommand(uint32_t appCommand) {
  switch (appCommand) {
    case 11: return CM_NEXT;       // APPCOMMAND_MEDIA_NEXTTRACK
    case 12: return CM_PREVIOUS;   // APPCOMMAND_MEDIA_PREVIOUSTRACK
    case 13: return CM_STOP;       // APPCOMMAND_MEDIA_STOP
    case 14: return CM_PLAYPAUSE;  // APPCOMMAND_MEDIA_PLAY_PAUSE
    case 46: return CM_PLAY;       // APPCOMMAND_MEDIA_PLAY
    case 47: return CM_PAUSE;      // APPCOMMAND_MEDIA_PAUSE
    default: return 0;
  }
}

uint16_t CommandForMediaKey(uint32_t virtualKey) {
  switch (virtualKey) {
    case 0xB0: return CM_NEXT;
    case 0xB1: return CM_PREVIOUS;
    case 0xB2: return CM_STOP;
    case 0xB3: return CM_PLAYPAUSE;
    default: return 0;
  }
}

const std::vector<MenuEntry>& MainMenu() {
  static const std::vector<MenuEntry> menu = BuildMainMenu();
  return menu;
}

std::vector<uint16_t> ToolBarLayout(const bool (&g)[kButtonGroupCount]) {
  std::vector<uint16_t> b;
  auto add = [&b](std::initializer_list<uint16_t> ids) {
    for (uint16_t id : ids) b.push_back(id);
  };
  if (g[kBtFile]) add({CM_FILEOPEN, CM_DIRECTORY});
  if (g[kBtCd]) add({CM_AUDIOCD});
  if (g[kBtSaveAvi]) add({CM_SAVEAVI});
  if (g[kBtFile] || g[kBtCd] || g[kBtSaveAvi]) add({0});
  if (g[kBtSnf]) add({CM_SNFLOAD, CM_SNFSAVEAS, CM_SNFSAVE, 0});
  add({CM_PLAY, CM_STOP, CM_PAUSE, CM_PREVIOUS, CM_NEXT, 0});
  if (g[kBtEdit]) add({CM_MARKSKIP, CM_MARKPLAY, CM_DELETE});
  if (g[kBtCopy]) add({CM_COPY, CM_PASTE});
  if (g[kBtUndo]) add({CM_UNDO});
  if (g[kBtEdit] || g[kBtCopy] || g[kBtUndo]) add({0});
  if (g[kBtInitLoad]) add({CM_AUTOPLAYDLG});
  if (g[kBtInterval]) add({CM_INTERVALDLG});
  if (g[kBtWpSet]) add({CM_WPSETTINGS});
  if (g[kBtShuffle]) add({CM_SHUFFLE});
  if (g[kBtSort]) add({CM_SORT});
  return b;
}

OsGeneration DecideOsGeneration(uint32_t versionWord) {
  const uint32_t major = versionWord & 0xFF;
  if (versionWord & 0x80000000u) return major > 3 ? OsGeneration::kWindows95 : OsGeneration::kWin32s;
  return major < 4 ? OsGeneration::kWindowsNT3 : OsGeneration::kWindowsNT4;
}

bool IsNewShell(OsGeneration os) {
  return os == OsGeneration::kWindows95 || os == OsGeneration::kWindowsNT4;
}

int SystemMenuOwnItems(OsGeneration os) { return IsNewShell(os) ? 7 : 9; }

bool HasDecodingThread(OsGeneration os) { return os != OsGeneration::kWin32s; }

CopyForm CopyFormFor(bool ctrlHeld, OsGeneration os) {
  CopyForm f;
  f.fileList = ctrlHeld && IsNewShell(os);
  f.ntFamily = os == OsGeneration::kWindowsNT4 || os == OsGeneration::kWindowsNT3;
  return f;
}

std::vector<MenuEntry> SystemMenuAdditions(bool minimized, bool menuBar, OsGeneration os,
                                           const CommandState& s,
                                           const std::vector<std::pair<uint16_t, bool>>& checks) {
  std::vector<MenuEntry> out;
  if (minimized) {
    out.push_back(Separator());
    MenuEntry play = Item(CM_PLAY, "演奏開始(&P)");
    play.enabled = s.count > 0;
    out.push_back(play);
    MenuEntry stop = Item(CM_STOP, "停止(&S)");
    stop.enabled = IsCommandEnabled(CM_STOP, s);
    out.push_back(stop);
    if (!s.stillImage) {
      MenuEntry pause = Item(CM_PAUSE, "ポーズ(&N)");
      pause.enabled = IsCommandEnabled(CM_PAUSE, s);
      out.push_back(pause);
    }
    MenuEntry next = Item(CM_NEXT, "次の曲へ(&F)");
    next.enabled = s.nextAvailable;
    out.push_back(next);
    MenuEntry prev = Item(CM_PREVIOUS, "一曲戻る(&B)");
    prev.enabled = s.previousAvailable;
    out.push_back(prev);
    if (IsNewShell(os)) {
      out.push_back(Separator());
      out.push_back(Item(CM_WPCHANGENOW, "壁紙の変更(&W)"));
    }
    return out;
  }
  if (menuBar) return out;
  out.push_back(Separator());
  for (MenuEntry popup : MainMenu()) {
    for (MenuEntry& e : popup.items) {
      if (e.IsSeparator()) continue;
      // Switching the video window under an open video is not offered here.
      e.enabled = e.id == CM_AVIDISP ? !(s.videoInMain || s.videoInDedicated)
                                     : IsCommandEnabled(e.id, s);
    }
    out.push_back(std::move(popup));
  }
  ApplyChecks(&out, checks);
  return out;
}

const char* HintText(uint16_t id) {
  for (const auto& h : kHints) {
    if (h.first == id) return h.second;
  }
  return nullptr;
}

const std::vector<uint16_t>& HintIds() {
  static const std::vector<uint16_t> ids = [] {
    std::vector<uint16_t> v;
    for (const auto& h : kHints) v.push_back(h.first);
    std::sort(v.begin(), v.end());
    return v;
  }();
  return ids;
}

const std::vector<Accelerator>& Accelerators() {
  static const std::vector<Accelerator> table = {
      {kVkLeft, CM_KEYLEFT, true, false},       {kVkUp, CM_KEYUP, true, false},
      {kVkDown, CM_KEYDOWN, true, false},       {kVkReturn, CM_KEYENTER, true, false},
      {kVkPrior, CM_KEYPAGEUP, true, false},    {kVkNext, CM_KEYPAGEDOWN, true, false},
      {kVkHome, CM_KEYHOME, true, false},       {kVkEnd, CM_KEYEND, true, false},
      {kVkRight, CM_KEYRIGHT, true, false},     {kVkSpace, CM_KEYSPACE, true, false},
      {kVkInsert, CM_KEYINSERT, true, false},   {kVkDelete, CM_KEYDELETE, true, false},
      {kVkEscape, CM_KEYESC, true, false},      {kVkF1, CM_HELPCONTENTS, true, false},
      {'Z', CM_FULLSCREENKEY, false, true},     {'z', CM_FULLSCREENKEY, false, true},
  };
  return table;
}

}  // namespace app
