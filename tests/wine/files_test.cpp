// Files on a real file system: the whole-file writer, names that code page
// 932 cannot hold, and a settings file that cannot be read.
#include <gtest/gtest.h>

#include "player.h"

#include <shlobj.h>

#include <cstdio>

// Without the A/W macros, which would rename the file system's operations.
#include "win32/wnd/win.h"
#include "win32/win_files.h"
#include "win32/wnd/text_conv.h"

using namespace wt;

namespace {

class FilesOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  std::string Path(const std::wstring& name) const { return W2Sjis(Join(dir_, name)); }
  std::string Contents(const std::wstring& name) const {
    std::string data;
    ReadBytes(Join(dir_, name), &data);
    return data;
  }
  // Every name in the folder, to see that no temporary file is left behind.
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Join(dir_, L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) out.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return out;
  }
  std::wstring dir_;
};

// The writer with its n-th write failing, as a full disk would.
class FailingWrites : public win32::WinFileSystem {
 public:
  explicit FailingWrites(int failAt) : failAt_(failAt) {}
  int writes = 0;

 protected:
  bool WritePart(void* handle, const char* data, size_t n) override {
    if (++writes == failAt_) return false;
    return WinFileSystem::WritePart(handle, data, n);
  }

 private:
  int failAt_;
};

std::string Big(char c) { return std::string(300 * 1024, c); }  // several parts

struct BoxCount {
  DWORD pid;
  int n;
};

BOOL CALLBACK CountBox(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<BoxCount*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  wchar_t cls[16] = L"";
  GetClassNameW(h, cls, 16);
  if (owner == c->pid && IsWindowVisible(h) && wcscmp(cls, L"#32770") == 0) ++c->n;
  return TRUE;
}

// Visible dialog boxes of a process (its message boxes).
int CountBoxes(DWORD pid) {
  BoxCount c{pid, 0};
  EnumWindows(CountBox, reinterpret_cast<LPARAM>(&c));
  return c.n;
}

}  // namespace

TEST_F(FilesOnDisk, WriterReplacesWholeOrLeavesTheOldFileWhole) {
  win32::WinFileSystem fs;
  ASSERT_EQ(fs.WriteWholeFile(Path(L"list.snf"), "first"), platform::WriteResult::kOk);
  ASSERT_EQ(fs.WriteWholeFile(Path(L"list.snf"), Big('a')), platform::WriteResult::kOk);
  EXPECT_EQ(Contents(L"list.snf"), Big('a'));

  FailingWrites failing(3);
  EXPECT_EQ(failing.WriteWholeFile(Path(L"list.snf"), Big('b')), platform::WriteResult::kWriteError);
  EXPECT_EQ(failing.writes, 3);
  EXPECT_EQ(Contents(L"list.snf"), Big('a'));
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"list.snf"});

  // Held open by another program without sharing: refused, kept, no litter.
  HANDLE lock = CreateFileW(Join(dir_, L"list.snf").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(fs.WriteWholeFile(Path(L"list.snf"), "new"), platform::WriteResult::kWriteError);
  CloseHandle(lock);
  EXPECT_EQ(Contents(L"list.snf"), Big('a'));
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"list.snf"});

  // A read-only target is reported as such and not touched.
  SetFileAttributesW(Join(dir_, L"list.snf").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(fs.WriteWholeFile(Path(L"list.snf"), "new"), platform::WriteResult::kFileReadOnly);
  SetFileAttributesW(Join(dir_, L"list.snf").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Contents(L"list.snf"), Big('a'));

  // A missing directory cannot hold the temporary file: a write error.
  EXPECT_EQ(fs.WriteWholeFile(Path(L"gone\\list.snf"), "x"), platform::WriteResult::kWriteError);
}

TEST_F(FilesOnDisk, WriterFitsAtTheLongestPathAndClearsOldTemporaries) {
  win32::WinFileSystem fs;
  // Names of 259 bytes in all: a long name, and a short one in a deep folder.
  std::string base = W2Sjis(dir_) + "\\";
  std::string longName = base + std::string(259 - base.size() - 4, 'n') + ".snf";
  ASSERT_EQ(longName.size(), 259u);
  EXPECT_EQ(fs.WriteWholeFile(longName, "long"), platform::WriteResult::kOk);
  std::string data;
  EXPECT_TRUE(fs.ReadWholeFile(longName, &data, SIZE_MAX));
  EXPECT_EQ(data, "long");

  std::string deep = base + std::string(259 - base.size() - 6, 'd');
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Sjis2W(deep)).c_str(), nullptr));
  std::string shortName = deep + "\\a.snf";
  ASSERT_EQ(shortName.size(), 259u);
  EXPECT_EQ(fs.WriteWholeFile(shortName, "short"), platform::WriteResult::kOk);
  EXPECT_TRUE(fs.ReadWholeFile(shortName, &data, SIZE_MAX));
  EXPECT_EQ(data, "short");

  // A temporary file an earlier crash left goes; one just made (another
  // program's write in progress) stays.
  std::wstring stale = Join(dir_, L"~cv1234.tmp"), fresh = Join(dir_, L"~cv5678.tmp");
  WriteBytes(stale, "half");
  WriteBytes(fresh, "half");
  HANDLE h = CreateFileW(stale.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME old{};
  SYSTEMTIME st{2020, 1, 3, 1, 12, 0, 0, 0};
  SystemTimeToFileTime(&st, &old);
  SetFileTime(h, nullptr, nullptr, &old);
  CloseHandle(h);
  EXPECT_EQ(fs.WriteWholeFile(Path(L"x.snf"), "x"), platform::WriteResult::kOk);
  EXPECT_EQ(GetFileAttributesW(stale.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
}

// What the conversion gives for names outside code page 932, and that such
// a name never opens another file.
TEST_F(FilesOnDisk, ForeignNamesBecomeShortNamesOrAreMarked) {
  for (const wchar_t* n : {L"Motörhead.wav", L"한국어.wav", L"a¥b.wav", L"日本語.wav"}) {
    WriteBytes(Join(dir_, n), "RIFF");
  }
  std::string exact;
  EXPECT_FALSE(wnd::NarrowExact(L"a¥b.wav", &exact));  // no best fit to a backslash
  EXPECT_TRUE(wnd::NarrowExact(L"日本語.wav", &exact));
  EXPECT_EQ(wnd::NarrowPath(Join(dir_, L"日本語.wav")), W2Sjis(Join(dir_, L"日本語.wav")));
  win32::WinFileSystem fs;
  for (const wchar_t* n : {L"Motörhead.wav", L"한국어.wav", L"a¥b.wav"}) {
    std::string p = wnd::NarrowPath(Join(dir_, n));
    EXPECT_EQ(p.find('\\', W2Sjis(dir_).size() + 1), std::string::npos) << p;
    std::string data;
    if (p.find('?') == std::string::npos) {
      // The short name reaches the very file.
      EXPECT_TRUE(fs.ReadWholeFile(p, &data, SIZE_MAX)) << p;
      EXPECT_EQ(data, "RIFF");
    } else {
      EXPECT_FALSE(fs.ReadWholeFile(p, &data, SIZE_MAX)) << p;
    }
  }
  // A new file has no short name: marked, and never written anywhere.
  std::string target = wnd::NarrowPath(Join(dir_, L"새.snf"));
  EXPECT_NE(target.find('?'), std::string::npos);
  EXPECT_EQ(fs.WriteWholeFile(target, "x"), platform::WriteResult::kWriteError);
  EXPECT_EQ(Names().size(), 4u);
}

// The player with such names: pasted files, a pasted folder, playing one,
// and saving a song-name file to one.
TEST_F(FilesOnDisk, PlayerTakesForeignNamesOrSaysWhy) {
  CleanSettings();
  const wchar_t* names[] = {L"Motörhead.wav", L"한국어.wav", L"a¥b.wav", L"日本語.wav"};
  std::wstring sub = Join(dir_, L"folder");
  CreateDirectoryW(sub.c_str(), nullptr);
  for (const wchar_t* n : names) {
    ASSERT_TRUE(CopyFileW(Join(Sjis2W(CORVELLA_SAMPLES), L"short.wav").c_str(), Join(dir_, n).c_str(), FALSE));
    CopyFileW(Join(dir_, n).c_str(), Join(sub, n).c_str(), FALSE);
  }
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  std::wstring paths;
  for (const wchar_t* n : names) paths += Join(dir_, n) + L'\0';
  paths += sub + L'\0';
  paths += L'\0';
  ASSERT_TRUE(PutClipboardFiles(paths));
  p.PostCommand(151);
  // Every file is either in the list (by a name that opens it) or named in
  // a message; never silently lost.
  MessageBoxInfo box;
  int refused = 0;
  if (p.WaitMessageBox(&box, 3000)) {
    EXPECT_EQ(box.caption, L"エラーメッセージ");
    for (size_t at = box.text.find(L".wav"); at != std::wstring::npos; at = box.text.find(L".wav", at + 1)) {
      ++refused;
    }
    Player::Answer(box, IDOK);
  }
  p.Sync();
  int listed = 0;
  win32::WinFileSystem fs;
  std::wstring text;
  for (const std::wstring& line : ListedPaths(p)) {
    ++listed;
    text += line + L"\n";
    std::string data;
    EXPECT_TRUE(fs.ReadWholeFile(W2Sjis(line), &data, SIZE_MAX)) << W2Sjis(line);  // the very file
    EXPECT_EQ(line.find(L'?'), std::wstring::npos);
  }
  // Refused are only the names with no short form either; the others,
  // 日本語.wav always among them, are listed.
  int expectListed = 0;
  for (const std::wstring& folder : {dir_, sub}) {
    for (const wchar_t* n : names) expectListed += wnd::NarrowPath(Join(folder, n)).find('?') == std::string::npos;
  }
  EXPECT_GE(expectListed, 2);
  EXPECT_EQ(listed, expectListed);
  EXPECT_EQ(refused, 8 - expectListed);
  std::printf("%d files in the list, %d refused\n%s\n", listed, refused, W2Sjis(text).c_str());

  // The first entry, Motörhead.wav by whatever name it holds, plays.
  p.Command(203);
  bool playing = false;
  for (int i = 0; i < 40 && !playing; ++i) {
    playing = p.Caption().find(L"(演奏中)") != std::wstring::npos;
    if (!playing) Sleep(100);
  }
  EXPECT_TRUE(playing) << W2Sjis(p.Caption());
  p.Command(204);

  // Saving to a new name code page 932 cannot hold: refused, nothing written.
  p.PostCommand(116);
  HWND dlg = WaitDialog(p, L"曲名の保存");
  ASSERT_TRUE(dlg);
  std::wstring target = Join(dir_, L"한국어.snf");
  ASSERT_TRUE(AnswerFileDialog(dlg, target.c_str()));
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"ファイル書き込みエラー");
  EXPECT_NE(box.text.find(L"保存できません"), std::wstring::npos);
  Player::Answer(box, IDOK);
  p.Sync();
  EXPECT_EQ(Names().size(), 5u);  // the four sounds and the folder: nothing new
  ASSERT_TRUE(p.Close());
}

// A settings file held open without sharing cannot be read: the player
// starts with the defaults, says so, and leaves the file as it was.
TEST_F(FilesOnDisk, UnreadableSettingsAreLeftAlone) {
  CleanSettings();
  const std::string kept = "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nREPEAT1=ON\r\nENDSAVE=ON\r\n";
  ASSERT_TRUE(WriteBytes(SettingsPath(), kept));
  HANDLE lock = CreateFileW(SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"設定ファイルエラー");
  EXPECT_NE(box.text.find(L"corvella.ini"), std::wstring::npos);
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_FALSE(p.MenuChecked(126));  // repeat one: the default, not the file's
  CloseHandle(lock);  // readable again before the exit: still not written
  ASSERT_TRUE(p.Close());
  std::string data;
  ASSERT_TRUE(ReadBytes(SettingsPath(), &data));
  EXPECT_EQ(data, kept);
  CleanSettings();
}

// The command line and the resume file in a folder whose name code page 932
// cannot hold.
TEST_F(FilesOnDisk, CommandLineAndResumeFileInAForeignFolder) {
  CleanSettings();
  std::wstring folder = Join(dir_, L"Motörhead ¥");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  std::wstring song = Join(folder, L"a¥b.wav");
  ASSERT_TRUE(CopyFileW(Join(Sjis2W(CORVELLA_SAMPLES), L"short.wav").c_str(), song.c_str(), FALSE));
  win32::WinFileSystem fs;
  {
    Player p;
    ASSERT_TRUE(p.Start(L"\"" + song + L"\"", folder));
    ASSERT_TRUE(p.WaitFrame());
    std::vector<std::wstring> listed = ListedPaths(p);
    ASSERT_EQ(listed.size(), 1u);
    std::string data;
    EXPECT_TRUE(fs.ReadWholeFile(W2Sjis(listed[0]), &data, SIZE_MAX)) << W2Sjis(listed[0]);
    ASSERT_TRUE(p.Close());
  }
  {
    Player p;
    ASSERT_TRUE(p.Start(L"", folder));
    ASSERT_TRUE(p.WaitFrame());
    p.AddPath("c:\\music\\one.mid");
    // The control client narrows names the same way.
    EXPECT_EQ(RunCtl(L"add \"" + song + L"\""), 0u);
    p.Sync();
    std::vector<std::wstring> listed = ListedPaths(p);
    ASSERT_EQ(listed.size(), 2u);
    std::string data;
    EXPECT_TRUE(fs.ReadWholeFile(W2Sjis(listed[1]), &data, SIZE_MAX)) << W2Sjis(listed[1]);
    ASSERT_TRUE(p.Close());
  }
  std::string resume;
  ASSERT_TRUE(ReadBytes(Join(folder, L"temp.snf"), &resume));
  EXPECT_EQ(resume.substr(0, 18), "c:\\music\\one.mid\r\n");
  CleanSettings();
}

// A close request that arrives while the exit sequence asks its question
// must not start the sequence again.
TEST_F(FilesOnDisk, ExitSequenceRunsOnceWhileItsQuestionIsUp) {
  CleanSettings();
  // Real songs: a song-name file on the command line starts playing.
  std::string samples = CORVELLA_SAMPLES;
  std::wstring list = Join(dir_, L"list.snf");
  ASSERT_TRUE(WriteBytes(list, samples + "\\short.wav\r\n0\r\n0\r\n\r\n[CONFIG]\r\nFILENUMBER=1\r\n"
                               "PLAYNUMBER=0\r\nPAUSETIME=0\r\nPLAYFLAG=0\r\nBASEX=0\r\nRSEL=-1\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"\"" + list + L"\"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(samples + "\\tone.wav");
  p.Sync();
  PostMessageW(p.Frame(), WM_CLOSE, 0, 0);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"曲名に変更がありました");
  PostMessageW(p.Frame(), WM_CLOSE, 0, 0);
  Sleep(1000);
  EXPECT_EQ(CountBoxes(p.Pid()), 1);
  Player::Answer(box, IDNO);
  EXPECT_TRUE(p.WaitExit());
  EXPECT_FALSE(p.WaitMessageBox(&box, 500));
  CleanSettings();
}

// Files dropped on the window: the drop block is made in the player's own
// memory, as the shell's drag and drop would hand it over.
TEST_F(FilesOnDisk, DroppedForeignNamesReachTheirFiles) {
  CleanSettings();
  const wchar_t* names[] = {L"Motörhead.wav", L"한국어.wav", L"a¥b.wav", L"日本語.wav"};
  for (const wchar_t* n : names) {
    ASSERT_TRUE(CopyFileW(Join(Sjis2W(CORVELLA_SAMPLES), L"short.wav").c_str(), Join(dir_, n).c_str(), FALSE));
  }
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  std::wstring paths;
  for (const wchar_t* n : names) paths += Join(dir_, n) + L'\0';
  paths += L'\0';
  std::string block(sizeof(DROPFILES) + paths.size() * sizeof(wchar_t), '\0');
  auto* df = reinterpret_cast<DROPFILES*>(block.data());
  df->pFiles = sizeof(DROPFILES);
  df->pt = {20, 80};  // on the list, below the tool bar
  df->fWide = TRUE;
  memcpy(block.data() + sizeof(DROPFILES), paths.data(), paths.size() * sizeof(wchar_t));
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, p.Pid());
  ASSERT_TRUE(proc);
  void* remote = VirtualAllocEx(proc, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(remote);
  ASSERT_TRUE(WriteProcessMemory(proc, remote, block.data(), block.size(), nullptr));
  CloseHandle(proc);
  DWORD_PTR r;
  SendMessageTimeoutW(p.Frame(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0, SMTO_NORMAL, 10000, &r);
  p.Sync();
  win32::WinFileSystem fs;
  std::vector<std::wstring> listed = ListedPaths(p);
  EXPECT_EQ(listed.size(), 4u);
  for (const std::wstring& line : listed) {
    std::string data;
    EXPECT_TRUE(fs.ReadWholeFile(W2Sjis(line), &data, SIZE_MAX)) << W2Sjis(line);
  }
  ASSERT_TRUE(p.Close());
}

// The auto-load song-name file picked under a name code page 932 cannot hold:
// the settings keep a name that reaches that very file, never one with '?'.
TEST_F(FilesOnDisk, AutoLoadFilePickedByAForeignNameIsKeptByItsShortName) {
  CleanSettings();
  const std::wstring snf = Join(dir_, L"한국어.snf");
  ASSERT_TRUE(WriteBytes(snf, "[CONFIG]\r\nFILENUMBER=0\r\nPLAYNUMBER=0\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.PostCommand(128);
  HWND dlg = WaitDialog(p, L"自動演奏の設定");
  ASSERT_TRUE(dlg);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(401, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, 401)));
  HWND pick = WaitDialog(p, L"曲名ファイルの選択");
  ASSERT_TRUE(pick);
  ASSERT_TRUE(AnswerFileDialog(pick, snf.c_str()));
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
  for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(50);
  ASSERT_TRUE(p.Close());
  std::string ini;
  ASSERT_TRUE(ReadBytes(SettingsPath(), &ini));
  const size_t at = ini.find("INITLOADFILE=");
  ASSERT_NE(at, std::string::npos);
  const std::string stored = ini.substr(at + 13, ini.find('\r', at) - at - 13);
  EXPECT_EQ(stored.find('?'), std::string::npos) << stored;
  wchar_t longName[MAX_PATH] = L"";
  ASSERT_TRUE(GetLongPathNameW(Sjis2W(stored).c_str(), longName, MAX_PATH)) << stored;
  EXPECT_EQ(_wcsicmp(longName, snf.c_str()), 0) << W2Sjis(longName);
  CleanSettings();
}
