// A frame window decorated with a comctl32 tool bar at the top, a status bar
// with text gadgets at the bottom and one client window between them.
#pragma once

#include "win32/wnd/win.h"

#include <string>
#include <vector>

#include "win32/wnd/window.h"

namespace wnd {

// What the bars and menus ask of the window that carries out the commands.
class CommandStates {
 public:
  virtual ~CommandStates() = default;
  // Bracket a pass over many commands, so the state is taken once.
  virtual void BeginPass() {}
  virtual void EndPass() {}
  virtual bool Enabled(UINT id) = 0;
  // False when id is no toggle; otherwise *checked is its check mark.
  virtual bool Checked(UINT id, bool* checked) = 0;
};

class DecoratedFrame : public Window {
 public:
  struct ToolButton {
    UINT id;  // 0 = separator
  };

  DecoratedFrame() = default;

  void SetClient(Window* client, CommandStates* states) {
    client_ = client;
    states_ = states;
  }
  Window* Client() const { return client_; }

  // Creates the bars (call from SetupWindow, before the client is created).
  // The time gadget is made as wide as its longest text in the bar's font.
  void CreateStatusBar(int gadgetPointSize, const std::wstring& longestTimeText);
  void CreateToolBar(int buttonSize);
  // Removes every button and inserts these (bitmap resource id = command id).
  void SetToolButtons(const std::vector<ToolButton>& buttons);

  void ShowToolBar(bool show);
  void ShowStatusBar(bool show);
  bool ToolBarVisible() const;
  bool StatusBarVisible() const;
  HWND ToolBar() const { return toolbar_; }
  HWND StatusBar() const { return statusbar_; }

  // Text of the time gadget (centred, no border).
  void SetTimeText(const std::wstring& text);
  // Text of the message gadget (hints).
  void SetMessageText(const std::wstring& text);

  void Layout();
  // Enables and checks the tool bar's buttons and the menu bar's items.
  void IdleAction();
  // Enables and checks the items of one menu, recursing into popups.
  void UpdateMenu(HMENU menu);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void UpdateToolBar();
  // Folds the tool bar into rows that fit the frame's width.
  void WrapToolBar(int width);
  static constexpr int kSeparatorWidth = 6;  // pixels
  void ShowHint(UINT id);

  Window* client_ = nullptr;
  CommandStates* states_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND statusbar_ = nullptr;
  HFONT gadgetFont_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<ToolButton> buttons_;
  int timeTextWidth_ = 0;
  std::wstring timeText_;
  bool inMenu_ = false;
};

}  // namespace wnd
