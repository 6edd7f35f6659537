#include "playback/macbinary.h"

#include <memory>

#include "text/sjis.h"

namespace playback {

bool ParseMacBinaryHeader(const uint8_t* h, size_t size, uint32_t* dataLength) {
  if (size < kMacBinaryHeader) return false;
  if (h[0] != 0 || h[74] != 0 || h[82] != 0) return false;
  for (size_t i = 101; i <= 125; ++i) {
    if (h[i] != 0) return false;
  }
  if (!(h[1] >= 1 && h[1] <= 63) && h[126] != 0) return false;
  uint32_t len = (uint32_t{h[83]} << 24) | (uint32_t{h[84]} << 16) | (uint32_t{h[85]} << 8) | h[86];
  if (len == 0 || len >= kMaxDataFork) return false;
  *dataLength = len;
  return true;
}

std::string MacBinaryTempName(platform::FileSystem& fs, const std::string& path,
                              const MacBinaryOptions& options) {
  std::string dir = fs.TempDirectory();
  if (dir.size() > 260) dir = text::CutBytes(dir, 260);
  if (dir.empty()) {
    text::PathParts r = text::SplitPath(options.resumePath);
    dir = r.drive + r.dir;
  }
  dir = text::WithBackslash(dir);
  const std::string name = text::SplitPath(path).name;
  auto fit = [&](const std::string& part, size_t tail) {
    size_t room = dir.size() + tail < 259 ? 259 - dir.size() - tail : 0;
    return text::CutBytes(part, room);
  };
  std::string first = dir + fit(name, 4) + ".mid";
  if (!fs.Exists(first)) return first;
  std::string base = options.shortNames ? text::CutBytes(name, 6) : name;
  for (int n = 0; n <= 9; ++n) {
    std::string tail = "_" + std::to_string(n) + ".mid";
    std::string candidate = dir + fit(base, tail.size()) + tail;
    if (!fs.Exists(candidate)) return candidate;
  }
  return "";
}

int32_t ConvertMacBinary(platform::FileSystem& fs, const std::string& path,
                         const MacBinaryOptions& options, std::string* tempPath) {
  std::unique_ptr<platform::File> in = fs.OpenRead(path);
  if (!in) return kMacNotMacBinary;
  uint8_t header[kMacBinaryHeader];
  uint32_t length = 0;
  if (in->Read(header, sizeof header) != sizeof header ||
      !ParseMacBinaryHeader(header, sizeof header, &length)) {
    return kMacNotMacBinary;
  }
  std::string temp = MacBinaryTempName(fs, path, options);
  if (temp.empty()) return kMacNoTempName;
  if (!in->Seek(kMacBinaryHeader)) return kMacNoTempName;
  std::unique_ptr<platform::File> out = fs.Create(temp);
  if (!out) return kMacWriteFailed;
  uint8_t block[1024];
  int32_t result = kMacConverted;
  uint32_t left = length;
  while (left > 0) {
    size_t want = left < sizeof block ? left : sizeof block;
    if (in->Read(block, want) != want) {
      result = kMacDamaged;
      break;
    }
    if (!out->Write(block, want)) {
      result = kMacWriteFailed;
      break;
    }
    left -= static_cast<uint32_t>(want);
  }
  out.reset();
  if (result != kMacConverted) {
    fs.DeleteFile(temp);
    return result;
  }
  *tempPath = temp;
  return kMacConverted;
}

const char* MacBinaryMessage(int32_t code) {
  switch (code) {
    case kMacNoTempName:
      return "ファイルにMACバイナリが検出されましたが、テンポラリディレトリに同じ名前のファイルが存在するため、変換が行えませんでした。";
    case kMacDamaged:
      return "ファイルにMACバイナリが検出されましたが、データが壊れているため、変換できませんでした。";
    case kMacWriteFailed:
      return "ファイルにMACバイナリが検出されましたが、テンポラリディレクトリにデータが書き込めないため、変換できませんでした。";
    default:
      return "";
  }
}

}  // namespace playback
