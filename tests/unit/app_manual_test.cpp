#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/manual.h"
#include "fakes/fake_filesystem.h"
#include "fakes/fake_notifier.h"

using namespace app;

namespace {

struct Opened {
  std::vector<std::string> paths;
  bool result = true;
  std::function<bool(const std::string&)> Fn() {
    return [this](const std::string& p) {
      paths.push_back(p);
      return result;
    };
  }
};

}  // namespace

TEST(AppManual, EachHelpCommandOpensItsPageBesideTheProgram) {
  FakeFileSystem fs;
  FakeNotifier notifier;
  Opened opened;
  fs.AddFile("c:\\プログラム\\help\\index.html");
  fs.AddFile("c:\\プログラム\\help\\keywords.html");
  fs.AddFile("c:\\プログラム\\help\\howto.html");
  // The directory comes with or without its trailing backslash.
  EXPECT_TRUE(OpenManualPage(CM_HELPCONTENTS, "c:\\プログラム\\", fs, notifier, opened.Fn()));
  EXPECT_TRUE(OpenManualPage(CM_HELPSEARCH, "c:\\プログラム", fs, notifier, opened.Fn()));
  EXPECT_TRUE(OpenManualPage(CM_HELPONHELP, "c:\\プログラム\\", fs, notifier, opened.Fn()));
  EXPECT_FALSE(OpenManualPage(CM_ABOUT, "c:\\プログラム\\", fs, notifier, opened.Fn()));
  EXPECT_EQ(opened.paths, (std::vector<std::string>{"c:\\プログラム\\help\\index.html",
                                                    "c:\\プログラム\\help\\keywords.html",
                                                    "c:\\プログラム\\help\\howto.html"}));
  EXPECT_TRUE(notifier.boxes.empty());
}

TEST(AppManual, MissingPageOrNoBrowserIsReportedNotSearchedFor) {
  FakeFileSystem fs;
  FakeNotifier notifier;
  Opened opened;
  EXPECT_FALSE(OpenManualPage(CM_HELPCONTENTS, "c:\\corvella\\", fs, notifier, opened.Fn()));
  // A folder where the page should be is no page either.
  fs.AddDir("c:\\corvella\\help\\howto.html");
  EXPECT_FALSE(OpenManualPage(CM_HELPONHELP, "c:\\corvella\\", fs, notifier, opened.Fn()));
  EXPECT_TRUE(opened.paths.empty());
  ASSERT_EQ(notifier.boxes.size(), 2u);
  EXPECT_EQ(notifier.boxes[0].text,
            "ヘルプファイル 'c:\\corvella\\help\\index.html' が見つかりません。CORVELLAと同じ"
            "ディレクトリにある help ディレクトリが削除されていないか確認してください。");
  EXPECT_EQ(notifier.boxes[0].caption, "ヘルプエラー");
  EXPECT_EQ(notifier.boxes[0].style, platform::kMbOk | platform::kMbIconExclamation);

  fs.AddFile("c:\\corvella\\help\\keywords.html");
  opened.result = false;
  EXPECT_FALSE(OpenManualPage(CM_HELPSEARCH, "c:\\corvella\\", fs, notifier, opened.Fn()));
  ASSERT_EQ(notifier.boxes.size(), 3u);
  EXPECT_EQ(notifier.boxes[2].text,
            "ヘルプファイル 'c:\\corvella\\help\\keywords.html' を開くことができませんでした。"
            "HTMLファイルを表示するブラウザが設定されているか確認してください。");
  EXPECT_EQ(notifier.beeps.size(), 3u);
}
