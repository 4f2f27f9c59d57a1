#include "mail_codecs.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int AlphabetIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Credentials pass through the slot: wipe before freeing.
void WipeAndFree(char* buffer) {
  if (buffer == nullptr) return;
  SecureZeroMemory(buffer, strlen(buffer));
  free(buffer);
}

void Store(char** slot, char* buffer) {
  WipeAndFree(*slot);
  *slot = buffer;
}

}  // namespace

char* Base64EncodeBytes(char** slot, const void* bytes, size_t length) {
  const unsigned char* in = static_cast<const unsigned char*>(bytes);
  char* out = static_cast<char*>(malloc((length + 2) / 3 * 4 + 1));
  if (out == nullptr) {
    Store(slot, nullptr);
    return nullptr;
  }
  size_t o = 0;
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = kAlphabet[(v >> 6) & 63];
    out[o++] = kAlphabet[v & 63];
  }
  if (length - i == 1) {
    uint32_t v = in[i] << 16;
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = '=';
    out[o++] = '=';
  } else if (length - i == 2) {
    uint32_t v = (in[i] << 16) | (in[i + 1] << 8);
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = kAlphabet[(v >> 6) & 63];
    out[o++] = '=';
  }
  out[o] = '\0';
  Store(slot, out);
  return out;
}

char* Base64Encode(char** slot, const char* text) {
  return Base64EncodeBytes(slot, text, strlen(text));
}

char* Base64DecodeBytes(char** slot, const char* text, size_t* length) {
  Store(slot, nullptr);
  size_t inLength = strlen(text);
  if (inLength % 4 != 0) return nullptr;
  char* out = static_cast<char*>(malloc(inLength / 4 * 3 + 1));
  if (out == nullptr) return nullptr;
  size_t o = 0;
  for (size_t i = 0; i < inLength; i += 4) {
    bool last = i + 4 == inLength;
    int v[4];
    int padding = 0;
    for (int k = 0; k < 4; ++k) {
      char c = text[i + k];
      if (c == '=' && last && k >= 2) {
        v[k] = 0;
        ++padding;
        continue;
      }
      v[k] = padding > 0 ? -1 : AlphabetIndex(c);  // no data after padding
      if (v[k] < 0) {
        free(out);
        return nullptr;
      }
    }
    // Canonical: the bits that the padding drops must be zero.
    if ((padding == 1 && (v[2] & 3) != 0) || (padding == 2 && (v[1] & 15) != 0)) {
      free(out);
      return nullptr;
    }
    uint32_t bits = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
    out[o++] = static_cast<char>(bits >> 16);
    if (padding < 2) out[o++] = static_cast<char>((bits >> 8) & 0xff);
    if (padding < 1) out[o++] = static_cast<char>(bits & 0xff);
  }
  out[o] = '\0';
  if (length != nullptr) *length = o;
  *slot = out;
  return out;
}

char* Base64Decode(char** slot, const char* text) {
  return Base64DecodeBytes(slot, text, nullptr);
}

void FreeBase64Slot(char** slot) { Store(slot, nullptr); }

// MD5 in the layout of RFC 1321's reference code.
namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

struct Round {
  uint32_t (*f)(uint32_t, uint32_t, uint32_t);
  int shifts[4];
};

const Round kRounds[4] = {
    {F, {7, 12, 17, 22}}, {G, {5, 9, 14, 20}}, {H, {4, 11, 16, 23}}, {I, {6, 10, 15, 21}}};

// T[i] = floor(2^32 * abs(sin(i + 1))).
const uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
    0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
    0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
    0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
    0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
    0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
    0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
    0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
    0xeb86d391};

int MessageIndex(int step) {
  int round = step / 16;
  int i = step % 16;
  switch (round) {
    case 0: return i;
    case 1: return (1 + 5 * i) % 16;
    case 2: return (5 + 3 * i) % 16;
    default: return (7 * i) % 16;
  }
}

const unsigned char kPadding[64] = {0x80};

void EncodeWords(unsigned char* out, const uint32_t* in, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    out[i * 4] = static_cast<unsigned char>(in[i]);
    out[i * 4 + 1] = static_cast<unsigned char>(in[i] >> 8);
    out[i * 4 + 2] = static_cast<unsigned char>(in[i] >> 16);
    out[i * 4 + 3] = static_cast<unsigned char>(in[i] >> 24);
  }
}

}  // namespace

void Md5Init(Md5Context* context) {
  context->count[0] = context->count[1] = 0;
  context->state[0] = 0x67452301;
  context->state[1] = 0xefcdab89;
  context->state[2] = 0x98badcfe;
  context->state[3] = 0x10325476;
}

void Md5Transform(uint32_t state[4], const unsigned char block[64]) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) {
    x[i] = static_cast<uint32_t>(block[i * 4]) | (static_cast<uint32_t>(block[i * 4 + 1]) << 8) |
           (static_cast<uint32_t>(block[i * 4 + 2]) << 16) |
           (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
  }
  uint32_t r[4] = {state[0], state[1], state[2], state[3]};
  for (int step = 0; step < 64; ++step) {
    const Round& round = kRounds[step / 16];
    // The registers rotate a, d, c, b through the positions step by step.
    uint32_t& a = r[(64 - step) % 4];
    uint32_t b = r[(65 - step) % 4];
    uint32_t c = r[(66 - step) % 4];
    uint32_t d = r[(67 - step) % 4];
    a = b + RotateLeft(a + round.f(b, c, d) + x[MessageIndex(step)] + kSines[step],
                       round.shifts[step % 4]);
  }
  for (int i = 0; i < 4; ++i) state[i] += r[i];
  SecureZeroMemory(x, sizeof x);
}

void Md5Update(Md5Context* context, const void* bytes, size_t length) {
  const unsigned char* input = static_cast<const unsigned char*>(bytes);
  size_t index = (context->count[0] >> 3) & 0x3f;
  uint32_t bits = static_cast<uint32_t>(length) << 3;
  if ((context->count[0] += bits) < bits) context->count[1]++;
  context->count[1] += static_cast<uint32_t>(static_cast<uint64_t>(length) >> 29);
  size_t partLength = 64 - index;
  size_t i = 0;
  if (length >= partLength) {
    memcpy(&context->buffer[index], input, partLength);
    Md5Transform(context->state, context->buffer);
    for (i = partLength; i + 63 < length; i += 64) Md5Transform(context->state, &input[i]);
    index = 0;
  }
  memcpy(&context->buffer[index], &input[i], length - i);
}

void Md5Final(unsigned char digest[16], Md5Context* context) {
  unsigned char bits[8];
  EncodeWords(bits, context->count, 2);
  size_t index = (context->count[0] >> 3) & 0x3f;
  size_t padLength = index < 56 ? 56 - index : 120 - index;
  Md5Update(context, kPadding, padLength);
  Md5Update(context, bits, 8);
  EncodeWords(digest, context->state, 4);
  SecureZeroMemory(context, sizeof *context);
}

void HmacMd5Hex(char* out, size_t keyLength, const void* message, size_t messageLength,
                const void* key) {
  unsigned char keyBlock[64] = {};
  if (keyLength > 64) {
    Md5Context context;
    Md5Init(&context);
    Md5Update(&context, key, keyLength);
    Md5Final(keyBlock, &context);
  } else {
    memcpy(keyBlock, key, keyLength);
  }
  unsigned char innerPad[64];
  unsigned char outerPad[64];
  for (int i = 0; i < 64; ++i) {
    innerPad[i] = keyBlock[i] ^ 0x36;
    outerPad[i] = keyBlock[i] ^ 0x5c;
  }
  unsigned char inner[16];
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, innerPad, 64);
  Md5Update(&context, message, messageLength);
  Md5Final(inner, &context);
  unsigned char digest[16];
  Md5Init(&context);
  Md5Update(&context, outerPad, 64);
  Md5Update(&context, inner, 16);
  Md5Final(digest, &context);
  char* end = out + strlen(out);
  for (int i = 0; i < 16; ++i) snprintf(end + i * 2, 3, "%02x", digest[i]);
  SecureZeroMemory(keyBlock, sizeof keyBlock);
  SecureZeroMemory(innerPad, sizeof innerPad);
  SecureZeroMemory(outerPad, sizeof outerPad);
}
