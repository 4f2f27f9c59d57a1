#include "wav_fixture.h"

#include <cstdint>

namespace testing_support {
namespace {

void PutLe(std::string& out, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string MakeToneWav(int milliseconds) {
  const uint32_t rate = 8000;
  const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
  const uint32_t dataSize = samples * 2;
  std::string w = "RIFF";
  PutLe(w, 36 + dataSize, 4);
  w += "WAVEfmt ";
  PutLe(w, 16, 4);        // format chunk size
  PutLe(w, 1, 2);         // PCM
  PutLe(w, 1, 2);         // channels
  PutLe(w, rate, 4);      // samples a second
  PutLe(w, rate * 2, 4);  // bytes a second
  PutLe(w, 2, 2);         // block align
  PutLe(w, 16, 2);        // bits a sample
  w += "data";
  PutLe(w, dataSize, 4);
  for (uint32_t i = 0; i < samples; ++i) PutLe(w, (i / 20) % 2 ? 0x0400 : 0xFC00, 2);
  return w;
}

}  // namespace testing_support
