#pragma once
#include <stddef.h>
#include <stdint.h>

// Base64 (RFC 4648 alphabet, "=" padding, no line breaks) into a heap buffer
// owned by a slot: each call wipes and frees the slot's previous buffer and
// stores the new one; the caller frees the last with FreeBase64Slot.
char* Base64Encode(char** slot, const char* text);
char* Base64EncodeBytes(char** slot, const void* bytes, size_t length);
// Decodes canonical Base64 only (length a multiple of four, padding only at
// the end, nothing outside the alphabet); returns null for anything else,
// leaving the slot empty. The result is NUL-terminated.
char* Base64Decode(char** slot, const char* text);
// Same, also giving the decoded length (the result may hold NUL bytes).
char* Base64DecodeBytes(char** slot, const char* text, size_t* length);
void FreeBase64Slot(char** slot);

struct Md5Context {
  uint32_t state[4];
  uint32_t count[2];  // bit count, low word first
  unsigned char buffer[64];
};

void Md5Init(Md5Context* context);
void Md5Transform(uint32_t state[4], const unsigned char block[64]);
void Md5Update(Md5Context* context, const void* bytes, size_t length);
// Writes the digest and clears the context.
void Md5Final(unsigned char digest[16], Md5Context* context);

// Appends HMAC-MD5(key, message) to out as 32 lower-case hex digits; out holds
// at least 33 bytes beyond its current text.
void HmacMd5Hex(char* out, size_t keyLength, const void* message, size_t messageLength,
                const void* key);
