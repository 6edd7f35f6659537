// A horizontal slider control (comctl32 track bar) with range, position and page size.
#pragma once

#include "win32/wnd/win.h"

namespace wnd {

class Slider {
 public:
  bool Create(HWND parent, int id, int x, int y, int w, int h);
  HWND Handle() const { return hwnd_; }
  void SetRange(int minimum, int maximum);
  void SetPosition(int pos);
  int Position() const;
  void SetPageSize(int page);
  void Move(int x, int y, int w, int h);
  void Show(bool show);

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace wnd
