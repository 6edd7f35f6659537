// The help menu, seen from outside: each item hands its page of the manual
// beside the program to whatever opens HTML files, and a missing manual is
// reported instead.
#include <gtest/gtest.h>

#include "player.h"

using namespace wt;

namespace {

// The default value of a key under HKEY_CLASSES_ROOT, put back (or the key
// removed again) when it goes.
class SavedDefault {
 public:
  explicit SavedDefault(const std::wstring& key) : key_(key) {
    wchar_t buf[512];
    LONG size = sizeof buf;
    had_ = RegQueryValueW(HKEY_CLASSES_ROOT, key_.c_str(), buf, &size) == ERROR_SUCCESS;
    if (had_) value_ = buf;
  }
  ~SavedDefault() {
    if (had_) {
      Set(key_, value_);
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key_.c_str());
    }
  }
  static void Set(const std::wstring& key, const std::wstring& value) {
    RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                 static_cast<DWORD>(value.size() * sizeof(wchar_t)));
  }

 private:
  std::wstring key_, value_;
  bool had_ = false;
};

// Makes the recorder the program that opens HTML pages for as long as it
// lives: through the ".html" extension, or (as in a Wine prefix without its
// HTML engine) only through the "htmlfile" class, with no extension for it.
class RecordingBrowser {
 public:
  enum Route { kExtension, kClassOnly };
  RecordingBrowser(const std::wstring& log, Route route)
      : log_(log), extension_(L".html"), page_(L"CorvellaTest.Page"),
        htmlfile_(L"htmlfile\\shell\\open\\command") {
    DeleteFileW(log_.c_str());
    std::wstring command = L"\"" OPEN_RECORDER_EXE L"\" \"" + log_ + L"\" \"%1\"";
    if (route == kExtension) {
      SavedDefault::Set(L"CorvellaTest.Page\\shell\\open\\command", command);
      SavedDefault::Set(L".html", L"CorvellaTest.Page");
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, L".html");
      SavedDefault::Set(L"htmlfile\\shell\\open\\command", command);
    }
  }
  // Waits for the next document the recorder was asked to open.
  std::wstring Next(DWORD timeoutMs = 15000) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      std::string data;
      if (ReadBytes(log_, &data)) {
        size_t from = 0;
        for (size_t i = 0; i < seen_; ++i) from = data.find('\n', from) + 1;
        size_t end = data.find('\n', from);
        if (end != std::string::npos) {
          ++seen_;
          std::string line = data.substr(from, end - from);
          int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                      nullptr, 0);
          std::wstring w(static_cast<size_t>(n), L'\0');
          MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), w.data(), n);
          return w;
        }
      }
      Sleep(100);
    }
    return L"(nothing opened)";
  }

 private:
  std::wstring log_;
  SavedDefault extension_, page_, htmlfile_;
  size_t seen_ = 0;
};

std::wstring ProgramDir() {
  std::wstring exe = L"" CORVELLA_EXE;
  return exe.substr(0, exe.find_last_of(L'\\') + 1);
}

std::wstring Lower(std::wstring s) {
  CharLowerW(s.data());
  return s;
}

}  // namespace

TEST(Help, EachHelpItemOpensItsPageOfTheManual) {
  CleanSettings();
  std::wstring dir = FreshDir(L"HelpPages");
  Player p;
  ASSERT_TRUE(p.Start(L"", dir));
  ASSERT_TRUE(p.WaitFrame());
  {
    // Where only the class knows the browser, the page opens all the same.
    RecordingBrowser classOnly(Join(dir, L"class.txt"), RecordingBrowser::kClassOnly);
    p.Command(132);
    EXPECT_EQ(Lower(classOnly.Next()), Lower(ProgramDir() + L"help\\howto.html"));
  }
  RecordingBrowser browser(Join(dir, L"opened.txt"), RecordingBrowser::kExtension);
  const struct {
    UINT id;
    const wchar_t* page;
  } items[] = {{130, L"index.html"}, {131, L"keywords.html"}, {132, L"howto.html"}};
  for (const auto& item : items) {
    p.Command(item.id);
    EXPECT_EQ(Lower(browser.Next()), Lower(ProgramDir() + L"help\\" + item.page)) << item.id;
  }
  // F1 is the contents, through the accelerator, as the user presses it.
  SetForegroundWindow(p.Frame());
  PostMessageW(p.Client(), WM_KEYDOWN, VK_F1, 0);
  PostMessageW(p.Client(), WM_KEYUP, VK_F1, 0xC0000001);
  EXPECT_EQ(Lower(browser.Next()), Lower(ProgramDir() + L"help\\index.html"));
  MessageBoxInfo box;
  EXPECT_FALSE(p.WaitMessageBox(&box, 500)) << box.text;
  ASSERT_TRUE(p.Close());
}

TEST(Help, MissingManualIsReportedNotSearchedFor) {
  CleanSettings();
  std::wstring manual = ProgramDir() + L"help";
  std::wstring hidden = ProgramDir() + L"help.hidden-by-test";
  ASSERT_TRUE(MoveFileW(manual.c_str(), hidden.c_str()));
  struct PutBack {
    std::wstring from, to;
    ~PutBack() { MoveFileW(from.c_str(), to.c_str()); }
  } putBack{hidden, manual};
  std::wstring dir = FreshDir(L"HelpMissing");
  RecordingBrowser browser(Join(dir, L"opened.txt"), RecordingBrowser::kExtension);
  Player p;
  ASSERT_TRUE(p.Start(L"", dir));
  ASSERT_TRUE(p.WaitFrame());
  p.PostCommand(131);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"ヘルプエラー");
  EXPECT_EQ(Lower(box.text),
            Lower(L"ヘルプファイル '" + manual + L"\\keywords.html' が見つかりません。CORVELLAと同じ"
                  L"ディレクトリにある help ディレクトリが削除されていないか確認してください。"));
  Player::Answer(box, IDOK);
  EXPECT_EQ(browser.Next(1000), L"(nothing opened)");
  ASSERT_TRUE(p.Close());
}
