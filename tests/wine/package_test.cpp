// The download for Windows, unpacked into a clean prefix by
// tests/linux/package_test.sh: the program starts from there, the control
// program beside it reaches it, and the manual beside it opens. Skipped
// unless that script names the unpacked folder.
#include <gtest/gtest.h>

#include "player.h"

#include <cstdlib>

using namespace wt;

namespace {

std::wstring Env(const wchar_t* name) {
  wchar_t buf[1024];
  DWORD n = GetEnvironmentVariableW(name, buf, 1024);
  return n > 0 && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

DWORD Launch(const std::wstring& cmd, const std::wstring& dir, PROCESS_INFORMATION* out = nullptr) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> buf(cmd.begin(), cmd.end());
  buf.push_back(0);
  if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
    return 0xFFFFFFFF;
  }
  CloseHandle(pi.hThread);
  if (out) {
    *out = pi;
    return 0;
  }
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return code;
}

std::wstring Lower(std::wstring s) {
  CharLowerW(s.data());
  return s;
}

}  // namespace

TEST(PackageBox, UnpackedProgramRunsAndOpensItsManual) {
  const std::wstring dir = Env(L"CORVELLA_PACKAGE_DIR");
  if (dir.empty()) GTEST_SKIP() << "run by tests/linux/package_test.sh";
  const std::wstring log = Join(dir, L"opened.txt");
  DeleteFileW(log.c_str());
  // The recorder stands in for the browser that opens the manual's pages.
  const std::wstring command = L"\"" OPEN_RECORDER_EXE L"\" \"" + log + L"\" \"%1\"";
  RegSetValueW(HKEY_CLASSES_ROOT, L"CorvellaTest.Page\\shell\\open\\command", REG_SZ, command.c_str(),
               static_cast<DWORD>(command.size() * sizeof(wchar_t)));
  RegSetValueW(HKEY_CLASSES_ROOT, L".html", REG_SZ, L"CorvellaTest.Page", 17 * sizeof(wchar_t));

  PROCESS_INFORMATION pi{};
  ASSERT_EQ(Launch(L"\"" + Join(dir, L"corvella.exe") + L"\"", dir, &pi), 0u);
  HWND frame = nullptr;
  for (int i = 0; i < 400 && !frame; ++i) {
    frame = FindWindowW(L"CorvellaFrame", nullptr);
    if (!frame) Sleep(50);
  }
  ASSERT_NE(frame, nullptr);
  const std::wstring ctl = L"\"" + Join(dir, L"corvellactl.exe") + L"\" ";
  EXPECT_EQ(Launch(ctl + L"state", dir), 0u);

  SendMessageW(frame, WM_COMMAND, 130, 0);  // the manual's contents
  std::string opened;
  for (int i = 0; i < 150 && opened.find('\n') == std::string::npos; ++i) {
    ReadBytes(log, &opened);
    Sleep(100);
  }
  // The recorder writes UTF-8; the folder's name is ASCII.
  EXPECT_EQ(Lower(std::wstring(opened.begin(), opened.end())), Lower(Join(dir, L"help\\index.html")) + L"\n");

  EXPECT_EQ(Launch(ctl + L"quit", dir), 0u);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(Launch(ctl + L"state", dir), 1u);  // nothing left to control
}
