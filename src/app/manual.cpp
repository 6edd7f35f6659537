#include "app/manual.h"

#include "app/command_ids.h"
#include "text/sjis.h"

namespace app {

const char* ManualPageFor(uint16_t commandId) {
  switch (commandId) {
    case CM_HELPCONTENTS:
      return kManualContents;
    case CM_HELPSEARCH:
      return kManualKeywords;
    case CM_HELPONHELP:
      return kManualHowTo;
    default:
      return nullptr;
  }
}

namespace {

constexpr char kCaption[] = "ヘルプエラー";

void Report(platform::Notifier& notifier, const std::string& text) {
  notifier.Beep(platform::kBeepWarning);
  notifier.MessageBox(text, kCaption, platform::kMbOk | platform::kMbIconExclamation);
}

}  // namespace

bool OpenManualPage(uint16_t commandId, const std::string& programDir,
                    platform::FileSystem& files, platform::Notifier& notifier,
                    const std::function<bool(const std::string& path)>& openPage) {
  const char* page = ManualPageFor(commandId);
  if (!page) return false;
  std::string path = programDir.empty() ? std::string() : text::WithBackslash(programDir);
  path += kManualFolder;
  path += '\\';
  path += page;
  uint32_t attributes = 0;
  if (!files.GetAttributes(path, &attributes) || (attributes & platform::kAttrDirectory)) {
    Report(notifier, "ヘルプファイル '" + path +
                         "' が見つかりません。CORVELLAと同じディレクトリにある help "
                         "ディレクトリが削除されていないか確認してください。");
    return false;
  }
  if (!openPage(path)) {
    Report(notifier, "ヘルプファイル '" + path +
                         "' を開くことができませんでした。HTMLファイルを表示する"
                         "ブラウザが設定されているか確認してください。");
    return false;
  }
  return true;
}

}  // namespace app
