// The option dialogs of the main window: about box, window and tool bar
// customisation, auto-play settings; and the auto-repeat "+"/"-" button.
#pragma once

#include "win32/wnd/dialog.h"

#include <string>

#include "app/settings.h"
#include "platform/notify.h"
#include "ui/option_dialogs.h"
#include "win32/win_notify.h"

// Turns an existing push button into an auto-repeat button: held down, it
// posts its command to its owner at 200 ms and then every 200 ms.
class TUpDown {
 public:
  static void Attach(HWND button, HWND owner);
};

class TAboutDialog : public wnd::Dialog {
 public:
  TAboutDialog() : wnd::Dialog(3) {}

 protected:
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void PaintOver(HDC dc);
};

class TWCustomDialog : public wnd::Dialog {
 public:
  explicit TWCustomDialog(ui::WindowOptions* options) : wnd::Dialog(12), options_(options) {}

 protected:
  bool OnInitDialog() override;
  bool CanClose() override;

 private:
  ui::WindowOptions* options_;
};

class TCustomDialog : public wnd::Dialog {
 public:
  // Stores the twelve flags on OK; *changed says whether the bar needs rebuilding.
  TCustomDialog(app::Settings* settings, bool* changed)
      : wnd::Dialog(7), settings_(settings), changed_(changed) {}

 protected:
  bool OnInitDialog() override;
  bool CanClose() override;

 private:
  app::Settings* settings_;
  bool* changed_;
};

class TInitLoadDialog : public wnd::Dialog {
 public:
  TInitLoadDialog(app::Settings* settings, bool explorerStyle)
      : wnd::Dialog(5), settings_(settings), explorerStyle_(explorerStyle) {}

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool CanClose() override;

 private:
  bool ChooseFile();
  void ShowFile();
  std::string Field(int id) const;
  void SetNumber(int id, int32_t value);

  app::Settings* settings_;
  win32::WinNotifier boxes_;
  bool explorerStyle_;
  std::string file_;
};
