// A frame window decorated with a comctl32 tool bar at the top, a status bar
// with text gadgets at the bottom and one client window between them.
#pragma once

#include "win32/wnd/win.h"

#include <vector>

#include "win32/wnd/window.h"

namespace wnd {

class DecoratedFrame : public Window {
 public:
  struct ToolButton {
    UINT id;  // 0 = separator
  };

  DecoratedFrame() = default;

  void SetClient(Window* client) { client_ = client; }
  Window* Client() const { return client_; }

  // Creates the bars (call from SetupWindow, before the client is created).
  void CreateStatusBar(int gadgetPointSize, int timeGadgetChars);
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
  // Re-evaluates the command enablers for the tool bar and the menu bar.
  virtual void IdleAction();
  // Applies enablers (and check marks) to one menu, recursing into popups.
  void UpdateMenu(HMENU menu);
  // Check marks are supplied by the client through this hook.
  virtual bool QueryChecked(UINT id, bool* checked) { return false; }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void UpdateToolBar();
  void ShowHint(UINT id);

  Window* client_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND statusbar_ = nullptr;
  HFONT gadgetFont_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<ToolButton> buttons_;
  int timeGadgetWidth_ = 0;
  std::wstring timeText_;
  bool inMenu_ = false;
};

}  // namespace wnd
