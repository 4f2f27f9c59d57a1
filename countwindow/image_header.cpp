#include "image_header.h"

#include <cstring>

namespace {

uint32_t Big16(const unsigned char* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }
uint32_t Big32(const unsigned char* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const unsigned char* p) { return static_cast<uint32_t>(p[1]) << 8 | p[0]; }
uint32_t Little32(const unsigned char* p) { return Little16(p + 2) << 16 | Little16(p); }

bool Starts(const unsigned char* bytes, size_t size, const char* signature, size_t length) {
  return size >= length && std::memcmp(bytes, signature, length) == 0;
}

bool ReadPng(const unsigned char* b, size_t n, ImageHeader* header) {
  // The signature, then IHDR as the first chunk: length 13, width, height.
  if (n < 24 || Big32(b + 8) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0) return false;
  header->width = Big32(b + 16);
  header->height = Big32(b + 20);
  return true;
}

bool ReadBmp(const unsigned char* b, size_t n, ImageHeader* header) {
  if (n < 18) return false;
  const uint32_t infoSize = Little32(b + 14);
  if (infoSize == 12) {  // the old core header: 16-bit sizes
    if (n < 22) return false;
    header->width = Little16(b + 18);
    header->height = Little16(b + 20);
    return true;
  }
  if (infoSize < 16 || n < 26) return false;
  const int64_t width = static_cast<int32_t>(Little32(b + 18));
  int64_t height = static_cast<int32_t>(Little32(b + 22));
  if (width <= 0) return false;
  if (height < 0) height = -height;  // rows stored top-down
  header->width = static_cast<uint32_t>(width);
  header->height = height > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(height);
  return true;
}

// Skips a run of data sub-blocks up to its empty one; false when cut short.
bool SkipSubBlocks(const unsigned char* b, size_t n, size_t* at) {
  while (*at < n) {
    const size_t length = b[(*at)++];
    if (length == 0) return true;
    *at += length;
  }
  return false;
}

size_t ColorTableBytes(unsigned char flags) {
  return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0;
}

bool ReadGif(const unsigned char* b, size_t n, ImageHeader* header) {
  if (n < 13) return false;
  uint32_t width = Little16(b + 6);
  uint32_t height = Little16(b + 8);
  bool anyFrame = false;
  size_t at = 13 + ColorTableBytes(b[10]);
  while (at < n) {
    const unsigned char block = b[at++];
    if (block == 0x21) {  // extension: its label, then sub-blocks
      ++at;
      if (!SkipSubBlocks(b, n, &at)) break;
      continue;
    }
    if (block != 0x2C || at + 9 > n) break;  // the trailer, or no further frame
    const uint32_t right = Little16(b + at) + Little16(b + at + 4);
    const uint32_t bottom = Little16(b + at + 2) + Little16(b + at + 6);
    if (right > width) width = right;
    if (bottom > height) height = bottom;
    anyFrame = true;
    at += 9 + ColorTableBytes(b[at + 8]);
    ++at;  // the LZW code size
    if (!SkipSubBlocks(b, n, &at)) break;
  }
  if (!anyFrame) return false;
  header->width = width;
  header->height = height;
  return true;
}

bool IsFrameMarker(unsigned char marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool ReadJpeg(const unsigned char* b, size_t n, ImageHeader* header) {
  size_t at = 2;
  while (at < n) {
    if (b[at] != 0xFF) return false;
    while (at < n && b[at] == 0xFF) ++at;  // fill bytes before a marker
    if (at >= n) return false;
    const unsigned char marker = b[at++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) return false;  // data or end before any frame
    if (at + 2 > n) return false;
    const size_t length = Big16(b + at);
    if (length < 2) return false;
    if (IsFrameMarker(marker)) {
      // Length, sample precision, height, width.
      if (length < 7 || at + 7 > n) return false;
      header->height = Big16(b + at + 3);
      header->width = Big16(b + at + 5);
      return true;
    }
    at += length;
  }
  return false;
}

}  // namespace

bool ReadImageHeader(const unsigned char* bytes, size_t size, ImageHeader* header) {
  ImageHeader found = {};
  bool read = false;
  if (Starts(bytes, size, "\x89PNG\r\n\x1a\n", 8)) {
    found.format = ImageFormat::Png;
    read = ReadPng(bytes, size, &found);
  } else if (Starts(bytes, size, "BM", 2)) {
    found.format = ImageFormat::Bmp;
    read = ReadBmp(bytes, size, &found);
  } else if (Starts(bytes, size, "GIF87a", 6) || Starts(bytes, size, "GIF89a", 6)) {
    found.format = ImageFormat::Gif;
    read = ReadGif(bytes, size, &found);
  } else if (Starts(bytes, size, "\xFF\xD8", 2)) {
    found.format = ImageFormat::Jpeg;
    read = ReadJpeg(bytes, size, &found);
  }
  if (!read || found.width == 0 || found.height == 0) return false;
  *header = found;
  return true;
}
