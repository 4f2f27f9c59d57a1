#pragma once
#include <windows.h>

#include <cstdint>

// Capture of the screen just before a power action: the monitor under the
// mouse pointer, saved as a 24-bit BMP or a baseline JPEG of quality 100.

inline constexpr int32_t kCaptureBmp = 0;
inline constexpr int32_t kCaptureJpeg = 1;

// "<folder>\<y>年<mm>月<dd>日(<weekday>)_<hh>時<mm>分<ss>秒(<action>).jpg" (format 1,
// else ".bmp") from the local clock. False when the name did not fit in 260
// characters (the path then holds as much as fits).
bool MakeCaptureFileName(const wchar_t* actionDisplayName, wchar_t* path, const wchar_t* folder,
                         int32_t format);

// Grabs the monitor under the pointer and writes it; true only when the whole
// file was written. A failed capture leaves no file behind.
bool CaptureScreen(const wchar_t* path, int32_t format);

// Writes a bitmap as a JPEG file (quality 100, baseline); false, and no file,
// on any failure.
bool SaveBitmapAsJpeg(const wchar_t* path, HBITMAP bitmap);

// Bytes of one 24-bit pixel row, padded to a multiple of 4.
inline uint32_t BmpRowStride(int32_t width) {
  return (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
}

// The 54 bytes in front of a 24-bit bottom-up BMP file's pixels.
inline constexpr int kBmpHeaderSize = 54;

enum class BmpField {
  Type, FileSize, Reserved1, Reserved2, PixelOffset, HeaderSize, Width, Height, Planes,
  BitCount, Compression, ImageSize, XResolution, YResolution, ColorsUsed, ColorsImportant,
};

struct BmpFieldLayout {
  BmpField field;
  int offset;
  int width;  // bytes, little-endian
};

// The file header and info header, field by field; writer and reader walk it.
extern const BmpFieldLayout kBmpHeaderLayout[16];

struct BmpHeaderValues {
  uint32_t values[16];  // indexed by BmpField
  uint32_t Get(BmpField f) const { return values[static_cast<int>(f)]; }
};

// The header of a 24-bit bottom-up image of that size.
BmpHeaderValues MakeBmpHeaderValues(int32_t width, int32_t height);
void WriteBmpHeader(const BmpHeaderValues& header, uint8_t out[kBmpHeaderSize]);
BmpHeaderValues ReadBmpHeader(const uint8_t in[kBmpHeaderSize]);
