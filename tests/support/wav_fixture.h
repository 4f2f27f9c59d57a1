#pragma once

#include <string>

namespace testing_support {

// The bytes of a 16-bit mono PCM WAV file of a quiet square tone.
std::string MakeToneWav(int milliseconds);

}  // namespace testing_support
