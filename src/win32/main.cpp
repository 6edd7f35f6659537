#include "win32/wnd/win.h"

#include "win32/my_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  TMyApp app;
  return app.Run();
}
