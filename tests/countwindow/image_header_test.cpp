#include "image_header.h"

#include <gtest/gtest.h>

#include <string>

#include "image_fixtures.h"

namespace {

bool Read(const std::string& bytes, ImageHeader* header) {
  return ReadImageHeader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), header);
}

// A JPEG up to its frame header: SOI, the segments given, then SOF.
std::string Jpeg(const std::string& before, uint8_t frameMarker, uint16_t width, uint16_t height) {
  std::string jpeg("\xFF\xD8", 2);
  jpeg += before;
  jpeg += '\xFF';
  jpeg += static_cast<char>(frameMarker);
  const char frame[] = {0, 11, 8, static_cast<char>(height >> 8), static_cast<char>(height),
                        static_cast<char>(width >> 8), static_cast<char>(width), 1, 1, 0x11, 0};
  jpeg.append(frame, sizeof frame);
  return jpeg;
}

const std::string kApp0("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
const std::string kTable("\xFF\xC4\x00\x04\x00\x00", 6);  // a Huffman table segment

TEST(ImageHeaderTest, ReadsTheSizeEachFormatDeclares) {
  struct Case {
    const char* what;
    std::string bytes;
    ImageFormat format;
    uint32_t width, height;
  };
  std::string gifWideScreen = OnePixelGif(0, 0);
  gifWideScreen[6] = '\x30';  // screen 30000 (0x7530) x 1
  gifWideScreen[7] = '\x75';
  // BITMAPCOREHEADER: 16-bit width and height.
  const std::string coreBmp = "BM" + std::string(12, '\0') + std::string("\x0C\0\0\0\x30\x75\x10\0\x01\0\x18\0", 12);
  const Case cases[] = {
      {"png", PngHead(30000, 30000, 1), ImageFormat::Png, 30000, 30000},
      {"png, 4 billion wide", PngHead(0xFFFFFFFFu, 2, 8), ImageFormat::Png, 0xFFFFFFFFu, 2},
      {"bmp", BmpHeader(30000, 30000), ImageFormat::Bmp, 30000, 30000},
      {"bmp top-down", BmpHeader(640, -480), ImageFormat::Bmp, 640, 480},
      {"bmp, the most negative height", BmpHeader(1, INT32_MIN), ImageFormat::Bmp, 1, 0x80000000u},
      {"bmp core header", coreBmp, ImageFormat::Bmp, 30000, 16},
      {"gif", OnePixelGif(0, 0), ImageFormat::Gif, 1, 1},
      {"gif screen", gifWideScreen, ImageFormat::Gif, 30000, 1},
      // A frame placed far outside its screen is a canvas of its own.
      {"gif frame", OnePixelGif(29999, 40000), ImageFormat::Gif, 30000, 40001},
      {"jpeg baseline", Jpeg(kApp0, 0xC0, 30000, 20000), ImageFormat::Jpeg, 30000, 20000},
      {"jpeg progressive after a table", Jpeg(kApp0 + kTable, 0xC2, 640, 480), ImageFormat::Jpeg, 640, 480},
      {"jpeg with fill bytes", Jpeg(std::string("\xFF\xFF", 2) + kApp0.substr(1), 0xC1, 65535, 3),
       ImageFormat::Jpeg, 65535, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImageHeader header = {};
    ASSERT_TRUE(Read(c.bytes, &header));
    EXPECT_EQ(header.format, c.format);
    EXPECT_EQ(header.width, c.width);
    EXPECT_EQ(header.height, c.height);
  }
}

// Whatever the decoder would take but whose size is not read here, and every
// header cut short or naming no pixels, is refused.
TEST(ImageHeaderTest, RefusesWhatItCannotMeasure) {
  std::string gifNoFrame = OnePixelGif(0, 0);
  gifNoFrame.resize(gifNoFrame.find('\x2C') + 5);  // the frame header cut short
  const std::string png = BlackPng(2, 2, 8);
  std::string pngOtherFirstChunk = png;
  pngOtherFirstChunk.replace(12, 4, "gAMA");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"text", "not an image at all"},
      {"tiff, Intel order", std::string("II*\0\x08\0\0\0", 8) + std::string(64, '\0')},
      {"tiff, Motorola order", std::string("MM\0*\0\0\0\x08", 8) + std::string(64, '\0')},
      {"icon", std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14) + std::string(64, '\0')},
      {"placeable metafile", std::string("\xD7\xCD\xC6\x9A", 4) + std::string(64, '\0')},
      {"enhanced metafile", std::string("\1\0\0\0\x6C\0\0\0", 8) + std::string(100, '\0')},
      {"png cut in its header", png.substr(0, 23)},
      {"png whose first chunk is not IHDR", pngOtherFirstChunk},
      {"png 0 wide", PngHead(0, 5, 8)},
      {"bmp cut short", BmpHeader(10, 10).substr(0, 25)},
      {"bmp of negative width", BmpHeader(-10, 10)},
      {"bmp 0 high", BmpHeader(10, 0)},
      {"bmp with an unknown header size", std::string("BM", 2) + std::string(12, '\0') + "\x05" + std::string(20, '\0')},
      {"gif without a frame", gifNoFrame},
      {"gif header only", OnePixelGif(0, 0).substr(0, 12)},
      {"jpeg whose data comes before a frame", std::string("\xFF\xD8\xFF\xDA\x00\x02", 6) + Jpeg("", 0xC0, 8, 8)},
      {"jpeg cut in a segment", Jpeg(kApp0, 0xC0, 8, 8).substr(0, 12)},
      {"jpeg of height 0", Jpeg(kApp0, 0xC0, 8, 0)},
      {"jpeg without markers", std::string("\xFF\xD8\x00\x00\x00\x00", 6)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ImageHeader header = {ImageFormat::Png, 7, 7};
    EXPECT_FALSE(Read(c.bytes, &header));
    EXPECT_EQ(header.width, 7u);  // untouched
  }
}

}  // namespace
