#pragma once
#include <cstddef>
#include <cstdint>

// The pixel size an image file declares, read from its header without
// decoding anything. Only the formats a skin may use are read: PNG, BMP, GIF
// and JPEG. Whatever else the decoder knows (TIFF, icons, metafiles) counts as
// unreadable, so it is never handed to the decoder.
enum class ImageFormat { Png, Bmp, Gif, Jpeg };

struct ImageHeader {
  ImageFormat format;
  uint32_t width;
  uint32_t height;
};

// False when the bytes start with none of those formats, or their header is
// cut short or declares no pixels. A GIF's size is the largest of its screen
// and every frame, as each of them is a canvas the decoder may allocate.
bool ReadImageHeader(const unsigned char* bytes, size_t size, ImageHeader* header);
