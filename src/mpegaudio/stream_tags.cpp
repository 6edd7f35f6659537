#include "mpegaudio/stream_tags.h"

#include <cstring>

namespace mpegaudio {

namespace {

uint32_t Read(platform::File* file, uint32_t at, uint8_t* out, uint32_t n) {
  if (!file->Seek(at)) return 0;
  return uint32_t(file->Read(out, n));
}

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

// An ID3v2 header or footer ("ID3" or "3DI"): the whole tag's size, or 0
// when the ten bytes are not one.
uint32_t Id3v2Size(const uint8_t* p, const char* magic) {
  if (std::memcmp(p, magic, 3) != 0) return 0;
  if (p[3] < 2 || p[3] > 4 || p[4] == 0xFF) return 0;
  for (int i = 6; i < 10; ++i)
    if (p[i] & 0x80) return 0;  // the size is synchsafe
  const uint32_t body = uint32_t(p[6]) << 21 | uint32_t(p[7]) << 14 | uint32_t(p[8]) << 7 | p[9];
  const bool footer = p[3] == 4 && (p[5] & 0x10);
  return 10 + body + (footer ? 10 : 0);
}

// Size of the tag that ends at `end`, or 0 when none does.
uint32_t TagEndingAt(platform::File* file, uint32_t start, uint32_t end) {
  const uint32_t room = end - start;
  uint8_t b[32];
  if (room >= 128 && Read(file, end - 128, b, 3) == 3 && std::memcmp(b, "TAG", 3) == 0) return 128;
  if (room >= 32 && Read(file, end - 32, b, 32) == 32 && std::memcmp(b, "APETAGEX", 8) == 0) {
    // Size counts the items and this footer; a flag says a header precedes.
    const uint64_t size = uint64_t(Le32(b + 12)) + ((Le32(b + 20) & 0x80000000u) ? 32 : 0);
    return size >= 32 && size <= room ? uint32_t(size) : 0;
  }
  if (room >= 15 && Read(file, end - 15, b, 15) == 15 && std::memcmp(b + 6, "LYRICS200", 9) == 0) {
    uint32_t size = 0;
    for (int i = 0; i < 6; ++i) {
      if (b[i] < '0' || b[i] > '9') return 0;
      size = size * 10 + uint32_t(b[i] - '0');
    }
    if (size + 15 > room) return 0;
    uint8_t begin[11];
    if (Read(file, end - 15 - size, begin, 11) != 11 || std::memcmp(begin, "LYRICSBEGIN", 11) != 0) return 0;
    return size + 15;
  }
  if (room >= 20 && Read(file, end - 9, b, 9) == 9 && std::memcmp(b, "LYRICSEND", 9) == 0) {
    // Version 1 has no size: its text is at most 5100 bytes.
    uint8_t text[5100 + 20];
    const uint32_t span = room < sizeof text ? room : uint32_t(sizeof text);
    const uint32_t got = Read(file, end - span, text, span);
    if (got != span) return 0;
    for (uint32_t i = span - 9; i-- > 0;)
      if (i + 11 <= span && std::memcmp(text + i, "LYRICSBEGIN", 11) == 0) return span - i;
    return 0;
  }
  if (room >= 20 && Read(file, end - 10, b, 10) == 10) {
    const uint32_t size = Id3v2Size(b, "3DI");
    if (size && size <= room) return size;
  }
  return 0;
}

}  // namespace

AudioRegion FindAudioRegion(platform::File* file, uint32_t fileSize) {
  AudioRegion r;
  r.end = fileSize;
  // Several tags may follow each other (a tagger that prepends rather than
  // rewrites); a bounded number keeps a crafted file from looping long.
  for (int n = 0; n < 16; ++n) {
    uint8_t h[10];
    if (r.end - r.start < 10 || Read(file, r.start, h, 10) != 10) break;
    const uint32_t size = Id3v2Size(h, "ID3");
    if (!size || size > r.end - r.start) break;  // a tag cut short: the search copes
    r.start += size;
  }
  for (int n = 0; n < 16 && r.end > r.start; ++n) {
    const uint32_t size = TagEndingAt(file, r.start, r.end);
    if (!size) break;
    r.end -= size;
  }
  return r;
}

InfoFrame ParseInfoFrame(const uint8_t* frame, size_t n, int sideBytes, bool crc) {
  InfoFrame info;
  // Encoders disagree on whether the CRC word moves the tag: look at both.
  for (int tries = 0; tries < 2 && !info.present; ++tries) {
    const size_t at = 4 + size_t(sideBytes) + (tries == 1 && crc ? 2 : 0);
    if (tries == 1 && !crc) break;
    if (at + 8 > n) break;
    const uint8_t* p = frame + at;
    if (std::memcmp(p, "Xing", 4) != 0 && std::memcmp(p, "Info", 4) != 0) continue;
    info.present = true;
    info.vbr = p[0] == 'X';
    const uint32_t flags = Be32(p + 4);
    size_t q = at + 8;
    if (flags & 1) {
      if (q + 4 > n) return InfoFrame();
      info.frames = Be32(frame + q);
      q += 4;
    }
    if (flags & 2) {
      if (q + 4 > n) return InfoFrame();
      info.bytes = Be32(frame + q);
      q += 4;
    }
    if (flags & 4) {
      if (q + 100 > n) return InfoFrame();
      std::memcpy(info.toc, frame + q, 100);
      // A table that goes backwards cannot place anything: ignore it.
      info.hasToc = true;
      for (int i = 1; i < 100; ++i)
        if (info.toc[i] < info.toc[i - 1]) info.hasToc = false;
      q += 100;
    }
    if (flags & 8) q += 4;
    // The encoder's own tag: its name, then delay and padding at byte 21.
    if (q + 24 <= n) {
      const uint8_t* lame = frame + q;
      if (std::memcmp(lame, "LAME", 4) == 0 || std::memcmp(lame, "Lavc", 4) == 0 ||
          std::memcmp(lame, "Lavf", 4) == 0 || std::memcmp(lame, "L3.99", 5) == 0) {
        info.delay = uint32_t(lame[21]) << 4 | uint32_t(lame[22]) >> 4;
        info.padding = uint32_t(lame[22] & 0x0F) << 8 | lame[23];
        info.hasGapless = true;
      }
    }
  }
  if (!info.present && n >= 4 + 32 + 26 && std::memcmp(frame + 36, "VBRI", 4) == 0) {
    const uint8_t* p = frame + 36;
    info.present = true;
    info.vbr = true;
    info.bytes = Be32(p + 10);
    info.frames = Be32(p + 14);
  }
  return info;
}

}  // namespace mpegaudio
