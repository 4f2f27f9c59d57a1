#include "image_fixtures.h"

namespace {

void Big32(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>(value >> shift));
}

void Little(std::string* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void Chunk(std::string* png, const char* type, const std::string& data) {
  Big32(png, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  png->append(body);
  Big32(png, Crc32(body));
}

// A deflate stream packs bits from the low end of each byte; Huffman codes go
// in from their first bit.
class BitWriter {
 public:
  void Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  std::string Finish() {
    if (used_) bytes_.push_back(static_cast<char>(current_));
    return bytes_;
  }

 private:
  void Bit(uint32_t bit) {
    current_ |= bit << used_;
    if (++used_ == 8) {
      bytes_.push_back(static_cast<char>(current_));
      current_ = 0;
      used_ = 0;
    }
  }
  std::string bytes_;
  uint32_t current_ = 0;
  int used_ = 0;
};

// A zlib stream of `count` zero bytes: one literal, then copies of 258 bytes
// from one back, in a single block of the fixed codes.
std::string ZlibZeros(uint64_t count) {
  BitWriter writer;
  writer.Bits(1, 1);  // the last block
  writer.Bits(1, 2);  // fixed codes
  const uint32_t literalZero = 0x30, length258 = 0xC5;
  uint64_t left = count;
  if (left > 0) {
    writer.Code(literalZero, 8);
    --left;
  }
  for (; left >= 258; left -= 258) {
    writer.Code(length258, 8);
    writer.Code(0, 5);  // distance 1
  }
  for (; left > 0; --left) writer.Code(literalZero, 8);
  writer.Code(0, 7);  // end of block
  std::string stream("\x78\x01", 2);
  stream += writer.Finish();
  // Adler-32 of zeros: the first sum stays 1, the second counts the bytes.
  Big32(&stream, static_cast<uint32_t>(count % 65521) << 16 | 1);
  return stream;
}

}  // namespace

std::string PngHead(uint32_t width, uint32_t height, int bitDepth) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  Big32(&header, width);
  Big32(&header, height);
  header += static_cast<char>(bitDepth);
  header += std::string(4, '\0');  // grayscale, deflate, no filter method, no interlace
  Chunk(&png, "IHDR", header);
  return png;
}

std::string BlackPng(uint32_t width, uint32_t height, int bitDepth) {
  std::string png = PngHead(width, height, bitDepth);
  const uint64_t row = 1 + (static_cast<uint64_t>(width) * bitDepth + 7) / 8;  // filter byte, pixels
  Chunk(&png, "IDAT", ZlibZeros(row * height));
  Chunk(&png, "IEND", "");
  return png;
}

std::string BmpHeader(int32_t width, int32_t height) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
  std::string bmp = "BM";
  Little(&bmp, 54 + stride * rows, 4);
  Little(&bmp, 0, 4);
  Little(&bmp, 54, 4);  // where the pixels start
  Little(&bmp, 40, 4);  // BITMAPINFOHEADER
  Little(&bmp, static_cast<uint32_t>(width), 4);
  Little(&bmp, static_cast<uint32_t>(height), 4);
  Little(&bmp, 1, 2);   // planes
  Little(&bmp, 24, 2);  // bits a pixel
  Little(&bmp, 0, 4);   // BI_RGB
  Little(&bmp, stride * rows, 4);
  Little(&bmp, 2835, 4);
  Little(&bmp, 2835, 4);
  Little(&bmp, 0, 4);
  Little(&bmp, 0, 4);
  return bmp;
}

std::string BlackBmp(int32_t width, int32_t height) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
  return BmpHeader(width, height) + std::string(static_cast<size_t>(stride) * rows, '\0');
}

std::string OnePixelGif(uint16_t left, uint16_t top) {
  std::string gif = "GIF89a";
  Little(&gif, 1, 2);
  Little(&gif, 1, 2);
  gif += std::string("\x80\x00\x00", 3);  // a global table of two colours
  gif += std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
  gif += std::string("\x21\xF9\x04\x01\x00\x00\x00\x00", 8);  // transparency extension
  gif += '\x2C';
  Little(&gif, left, 2);
  Little(&gif, top, 2);
  Little(&gif, 1, 2);
  Little(&gif, 1, 2);
  gif += '\0';
  gif += std::string("\x02\x02\x44\x01\x00", 5);  // the pixel, LZW-coded
  gif += '\x3B';
  return gif;
}
