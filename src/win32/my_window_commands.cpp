// The handlers of the commands, and the enabling rules and check marks that
// decide whether one may run.
#include "win32/my_window.h"

#include "app/command_ids.h"
#include "app/frame_rules.h"
#include "app/manual.h"
#include "desktop/capture.h"
#include "desktop/wallpaper.h"
#include "text/sjis.h"
#include "win32/font_dialog.h"
#include "win32/midi_dialog.h"
#include "win32/my_frame.h"
#include "win32/option_dialogs.h"
#include "win32/time_dialog.h"
#include "win32/win_capture.h"
#include "win32/win_help.h"
#include "win32/win_screen.h"
#include "win32/wp_dialog.h"
#include "win32/wnd/text_conv.h"

bool TMyWindow::Checked(UINT id, bool* checked) {
  for (const auto& mc : app::MenuChecks(settings_)) {
    if (mc.first == id) {
      *checked = mc.second;
      return true;
    }
  }
  return false;
}

app::PlayState TMyWindow::PlayerState() const {
  return static_cast<app::PlayState>(player_->link()->State());
}

bool TMyWindow::VideoInMainWindow() const {
  const playback::Player& p = *player_;
  return p.device().VideoInMain();
}

app::CommandState TMyWindow::Snapshot() const {
  app::CommandState s;
  const songlist::SongList& l = *list_;
  const playback::Player& p = *player_;
  s.count = l.Count();
  s.selected = l.SelectedCount();
  s.state = PlayerState();
  s.waiting = p.sequencer().Waiting();
  s.hasSongNameFile = l.Tied();
  s.undoExists = l.UndoAvailable();
  s.videoInMain = p.device().VideoInMain();
  s.videoInDedicated = p.device().VideoInDedicated();
  s.stillImage = p.device().IsOpen() && p.device().Flags().still;
  s.randomPlay = settings_.shuffle;
  s.repeatOne = settings_.repeat1;
  s.repeatAll = settings_.repeat2;
  s.dedicatedWindowOption = settings_.aviDisp;
  s.podOption = settings_.controlPad;
  s.clipboardHasText =
      IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT);
  s.clipboardHasFiles = IsClipboardFormatAvailable(CF_HDROP);
  if (l.Count() > 0 && l.Focus() >= 0 && l.Focus() < l.Count()) {
    s.focusedExtension = text::Extension(l.PathAt(l.Focus()));
  }
  s.nextAvailable = p.sequencer().NextAvailable();
  s.previousAvailable = p.sequencer().PreviousAvailable();
  return s;
}

bool TMyWindow::Enabled(UINT id) {
  const uint16_t cmd = static_cast<uint16_t>(id);
  return batchSnapshot_ ? app::IsCommandEnabled(cmd, *batchSnapshot_)
                        : app::IsCommandEnabled(cmd, Snapshot());
}

void TMyWindow::BeginPass() {
  batchSnapshot_ = std::make_unique<app::CommandState>(Snapshot());
}

// ---- the commands ----

void TMyWindow::ListCommand(const std::function<void()>& action) {
  // A list operation halfway holds these on the route, so none is dropped.
  OptionsFromSettings();
  action();
  SettingsFromOptions();
}

void TMyWindow::Execute(UINT id) {
  const uint16_t cmd = static_cast<uint16_t>(id);
  // Playback and the video options, the list keys (Left and Right step a
  // paused video first) and the play pod each know their own commands.
  if (player_->OnCommand(cmd) || listView_->OnCommand(cmd) || pod_->OnCommand(cmd)) return;
  switch (app::ToggleOption(cmd, &settings_)) {
    case app::OptionToggle::kNotAToggle:
      break;
    case app::OptionToggle::kFlipped:
      return;
    case app::OptionToggle::kTopmost:
      SetWindowPos(frame_->Handle(), settings_.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                   0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    case app::OptionToggle::kMediaKeys:
      frame_->HoldMediaKeys(settings_.mediaKeys);
      return;
  }
  switch (id) {
    case CM_MIDIRESET: {
      ui::DialogOpenScope open(sliderControl_);
      playback::MidiResetSettings copy = player_->ResetSettings();
      if (TMidiDialog(&copy).Execute(hwnd_) == IDOK) player_->SetResetSettings(copy);
      break;
    }
    case CM_SAVEAVI: {
      ui::DialogOpenScope open(sliderControl_);
      win32::WinCaptureScreen screen(hwnd_, slider_.Handle());
      int cur = list_->Current();
      std::string entry = cur >= 0 && cur < list_->Count() ? list_->PathAt(cur) : "";
      desktop::SaveVideoFrame({&screen, &shell_.files, &dialog_, &shell_.notifier, &cursor_},
                              entry, app::IsNewShell(osGeneration_), &settings_.aviDirectory);
      break;
    }

    // The song list and its files.
    case CM_MARKSKIP:
      ListCommand([this] { list_->MarkSelected(songlist::kMarkSkipped); });
      break;
    case CM_MARKPLAY:
      ListCommand([this] { list_->MarkSelected(0); });
      break;
    case CM_DELETE:
      ListCommand([this] { list_->DeleteSelected(); });
      break;
    case CM_UNDO:
      ListCommand([this] { list_->Undo(); });
      break;
    case CM_SELECTALL:
      ListCommand([this] { list_->SelectAll(); });
      break;
    case CM_SHUFFLE:
      ListCommand([this] {
        list_->Shuffle();
        ScrollToCurrent();
      });
      break;
    case CM_SORT:
      ListCommand([this] {
        list_->SortAlphabetical();
        ScrollToCurrent();
      });
      break;
    case CM_SNFLOAD:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        songFiles_->Load();
      });
      break;
    case CM_SNFSAVE:
      ListCommand([this] { songFiles_->OverwriteSave(); });
      break;
    case CM_SNFSAVEAS:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        songFiles_->SaveAs();
      });
      break;
    case CM_FILEOPEN:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        gatherer_->ChooseFiles();
      });
      break;
    case CM_DIRECTORY:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        gatherer_->ChooseDirectory();
      });
      break;
    case CM_COPY:
      ListCommand([this] {
        app::CommandState s = Snapshot();
        desktop::CopyAction action = desktop::CopyActionFor(
            s.videoInMain, s.state == app::PlayState::kPaused || s.stillImage);
        if (action == desktop::CopyAction::kNothing) return;
        if (action == desktop::CopyAction::kFrame) {
          win32::WinCaptureScreen screen(hwnd_, slider_.Handle());
          desktop::CopyVideoFrame(screen, clipboard_, shell_.notifier, cursor_,
                                  (GetKeyState(VK_CONTROL) & 0x8000) != 0, settings_.topmost);
          return;
        }
        const app::CopyForm form =
            app::CopyFormFor((GetKeyState(VK_CONTROL) & 0x8000) != 0, osGeneration_);
        gatherer_->Copy(clipboard_, form.fileList, form.ntFamily);
      });
      break;
    case CM_PASTE:
      ListCommand([this] { gatherer_->Paste(clipboard_); });
      break;
    case CM_AUDIOCD:
      // CD entries sit under the drive the resume file lives on.
      ListCommand([this] {
        songlist::OpenAudioCd(*list_, CdLinks(), resumePath_.substr(0, 3));
      });
      break;

    // The option dialogs.
    case CM_INTERVALDLG: {
      ui::DialogOpenScope open(sliderControl_);
      TTimeDialog(&settings_.interval).Execute(hwnd_);
      break;
    }
    case CM_AUTOPLAYDLG: {
      ui::DialogOpenScope open(sliderControl_);
      bool explorer = app::IsNewShell(osGeneration_);
      desktop::RunInWallpaperDirectory(shell_.files, &settings_.snfDirectory, [&] {
        TInitLoadDialog(&settings_, explorer).Execute(hwnd_);
      });
      break;
    }
    case CM_WINDOWDLG: {
      const ui::WindowOptions before = ui::WindowOptionsOf(settings_);
      {
        ui::DialogOpenScope open(sliderControl_);
        ui::WindowOptions options = before;
        if (TWCustomDialog(&options).Execute(hwnd_) == IDOK) ui::StoreWindowOptions(options, &settings_);
      }
      ApplyWindowOptions(before);
      break;
    }
    case CM_TOOLBARDLG: {
      ui::DialogOpenScope open(sliderControl_);
      bool changed = false;
      if (TCustomDialog(&settings_, &changed).Execute(hwnd_) == IDOK && changed) {
        frame_->RebuildToolBar();
      }
      break;
    }
    case CM_FONTDLG: {
      ui::DialogOpenScope open(sliderControl_);
      HDC dc = GetDC(hwnd_);
      int dpi = GetDeviceCaps(dc, LOGPIXELSY);
      ReleaseDC(hwnd_, dc);
      if (TMyFontDialog(settings_).Execute(hwnd_, dpi, listFont_, &settings_)) {
        BuildListFont();
        listView_->Measure(listFont_, settings_);
        ui::AfterFontChosen(settings_, player_->device(), shell_.notifier);
      }
      break;
    }
    case CM_WPSETTINGS: {
      ui::DialogOpenScope open(sliderControl_);
      desktop::WallpaperDialogOptions options;
      options.caseMode = settings_.strupr;
      options.explorerStyle = app::IsNewShell(osGeneration_);
      desktop::RunInWallpaperDirectory(shell_.files, &settings_.wpDirectory, [&] {
        TWPDialog(wallpaper_, shell_.files, shell_.notifier, options).Execute(hwnd_);
      });
      break;
    }
    case CM_WPCHANGENOW:
      ChangeWallpaper();
      break;

    // Help and the end.
    case CM_HELPCONTENTS:
    case CM_HELPSEARCH:
    case CM_HELPONHELP: {
      app::OpenManualPage(static_cast<uint16_t>(id), win32::ProgramDirectory(), shell_.files,
                          shell_.notifier, [this](const std::string& path) {
                            return win32::OpenHtmlPage(hwnd_, path);
                          });
      break;
    }
    case CM_ABOUT: {
      ui::DialogOpenScope open(sliderControl_);
      TAboutDialog().Execute(hwnd_);
      break;
    }
    case CM_EXIT:
      PostMessageW(frame_->Handle(), WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

void TMyWindow::OnDropFiles(HDROP drop) {
  POINT pt;
  // The drop point in this window's coordinates (the frame's tool bar above it
  // is not part of the list).
  BOOL inClient = DragQueryPoint(drop, &pt);
  MapWindowPoints(frame_->Handle(), hwnd_, &pt, 1);
  UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < n; ++i) {
    wchar_t buf[MAX_PATH * 2];
    UINT len = DragQueryFileW(drop, i, buf, MAX_PATH * 2);
    paths.push_back(wnd::NarrowPath(std::wstring_view(buf, len)));
  }
  DragFinish(drop);
  if (!inClient || list_->Count() >= songlist::kMaxEntries) return;
  OptionsFromSettings();
  gatherer_->Drop(paths, [this, pt] { return listView_->Core().Layout().HitTest(pt.x, pt.y); });
  SettingsFromOptions();
  RefreshTitle();
  Repaint();
}

void TMyWindow::ChangeWallpaper() {
  desktop::ChangeWallpaperAtRandom(wallpaper_, shell_.files, random_);
}
