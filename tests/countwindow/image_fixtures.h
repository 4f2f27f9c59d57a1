#pragma once
#include <cstdint>
#include <string>

// Image files made by the tests, whole and valid, all pixels black: any size,
// with the pixel data a decoder would really have to unpack.

// A grayscale PNG of `bitDepth` (1 or 8) bits a pixel.
std::string BlackPng(uint32_t width, uint32_t height, int bitDepth);
// Only its signature and header chunk.
std::string PngHead(uint32_t width, uint32_t height, int bitDepth);
// A 24-bit BMP; a negative height stores the rows top-down.
std::string BlackBmp(int32_t width, int32_t height);
// Only the 54 bytes of a BMP's file and info headers.
std::string BmpHeader(int32_t width, int32_t height);
// A one-frame GIF with a 1 x 1 screen whose frame lies at (left, top), 1 x 1.
std::string OnePixelGif(uint16_t left, uint16_t top);
