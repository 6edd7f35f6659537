#include "mpegaudio/check.h"

#include <cstdio>

namespace mpegaudio {

namespace {

void SetMessage(std::string* message, const std::string& text) {
  *message = text.size() > 1023 ? text.substr(0, 1023) : text;
}

std::string CannotOpen(const std::string& path) {
  char buf[1024];
  std::snprintf(buf, sizeof buf, "ファイル '%s' が開けないため、演奏は行いません。", path.c_str());
  return buf;
}

}  // namespace

int CheckMP3File(platform::FileSystem& fs, TMP3& decoder, const std::string& path, MP3Info* info,
                 std::string* message) {
  uint64_t size = 0;
  {
    std::unique_ptr<platform::File> probe = fs.OpenRead(path);
    if (!probe) {
      SetMessage(message, CannotOpen(path));
      return 0;
    }
    size = probe->Size();
  }
  std::unique_ptr<platform::File> file = fs.OpenRead(path);
  if (!file) {
    SetMessage(message, CannotOpen(path));
    return 0;
  }
  info->fileSize = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
  decoder.Scan(file.get(), info);
  file.reset();

  switch (info->sampleRate) {
    case 8000:
      SetMessage(message, "サンプリング周波数が ８［ｋＨｚ］の曲は演奏できません。");
      return 0;
    case 11025:
      SetMessage(message, "サンプリング周波数が １１．０２５［ｋＨｚ］の曲は演奏できません。");
      return 0;
    case 12000:
      SetMessage(message, "サンプリング周波数が １２［ｋＨｚ］の曲は演奏できません。");
      return 0;
    default:
      break;
  }
  if (info->lengthMs == 0) {
    SetMessage(message, "演奏可能なデータがありません。");
    return 0;
  }
  return 1;
}

}  // namespace mpegaudio
