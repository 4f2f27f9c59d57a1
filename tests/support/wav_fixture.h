#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// The bytes of a 16-bit mono PCM WAV file of a quiet square tone.
inline std::string MakeWav(int milliseconds) {
  auto put = [](std::string& out, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  const uint32_t rate = 8000;
  const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
  const uint32_t dataSize = samples * 2;
  std::string w = "RIFF";
  put(w, 36 + dataSize, 4);
  w += "WAVEfmt ";
  put(w, 16, 4);        // format chunk size
  put(w, 1, 2);         // PCM
  put(w, 1, 2);         // channels
  put(w, rate, 4);      // samples a second
  put(w, rate * 2, 4);  // bytes a second
  put(w, 2, 2);         // block align
  put(w, 16, 2);        // bits a sample
  w += "data";
  put(w, dataSize, 4);
  for (uint32_t i = 0; i < samples; ++i) put(w, (i / 20) % 2 ? 0x0400 : 0xFC00, 2);
  return w;
}

}  // namespace testing_support
