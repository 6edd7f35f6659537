#include "win32/wp_dialog.h"

#include "win32/wnd/text_conv.h"

namespace {
constexpr int kChoose = 401, kCentred = 501, kTiled = 502, kNone = 503, kLabel = 1201;
}

void TWPDialog::Show() {
  SetDlgItemTextW(hwnd_, kLabel, wnd::Wide(model_.Label()).c_str());
  CheckRadioButton(hwnd_, kCentred, kTiled, model_.Tile() == 0 ? kCentred : kTiled);
  CheckDlgButton(hwnd_, kNone, model_.NoWallpaper() ? BST_CHECKED : BST_UNCHECKED);
}

bool TWPDialog::OnInitDialog() {
  files_.SetOwner(hwnd_);
  model_.SetUp();
  Show();
  return true;
}

bool TWPDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case kChoose: model_.Choose(); break;
    case kCentred: model_.SetTile(0); break;
    case kTiled: model_.SetTile(1); break;
    case kNone: model_.NoWallpaperClicked(IsDlgButtonChecked(hwnd_, kNone) == BST_CHECKED); break;
    case IDCANCEL:
      model_.Cancel();
      End(IDCANCEL);
      return true;
    default: return wnd::Dialog::OnCommand(id, code, control);
  }
  Show();
  return true;
}
