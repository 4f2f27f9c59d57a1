#include "mail_codecs.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

std::string Md5Hex(const std::string& text) {
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, text.data(), text.size());
  unsigned char digest[16];
  Md5Final(digest, &context);
  char hex[33];
  for (int i = 0; i < 16; ++i) snprintf(hex + i * 2, 3, "%02x", digest[i]);
  return hex;
}

// RFC 1321, appendix A.5.
TEST(Md5Test, Rfc1321Suite) {
  const struct {
    const char* text;
    const char* digest;
  } kCases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Md5Hex(c.text), c.digest) << c.text;
}

TEST(Md5Test, PiecewiseUpdatesAcrossBlockBoundariesGiveTheSameDigest) {
  std::string text(1000, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7);
  for (size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 999u}) {
    Md5Context context;
    Md5Init(&context);
    Md5Update(&context, text.data(), split);
    Md5Update(&context, text.data() + split, text.size() - split);
    unsigned char digest[16];
    Md5Final(digest, &context);
    char hex[33];
    for (int i = 0; i < 16; ++i) snprintf(hex + i * 2, 3, "%02x", digest[i]);
    EXPECT_EQ(hex, Md5Hex(text)) << split;
    // The context is wiped afterwards.
    EXPECT_EQ(context.state[0], 0u);
  }
}

std::string Hmac(const std::string& key, const std::string& message) {
  char out[128] = {};
  HmacMd5Hex(out, key.size(), message.data(), message.size(), key.data());
  return out;
}

// RFC 2202 section 2, and RFC 2104's own examples.
TEST(HmacMd5Test, Rfc2202Vectors) {
  const struct {
    std::string key;
    std::string message;
    const char* digest;
  } kCases[] = {
      {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
      {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
      {std::string(16, '\xaa'), std::string(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
      {"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16"
       "\x17\x18\x19",
       std::string(50, '\xcd'), "697eaf0aca3a3aea3a75164746ffaa79"},
      {std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
      {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
       "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
      {std::string(80, '\xaa'),
       "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
       "6f630fad67cda0ee1fb1f562db3aa53e"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Hmac(c.key, c.message), c.digest) << c.message;
}

TEST(HmacMd5Test, KeyOf64BytesIsUsedAsIsAnd65BytesIsHashedFirst) {
  std::string key64(64, 'k');
  std::string key65(65, 'k');
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, key65.data(), key65.size());
  unsigned char hashed[16];
  Md5Final(hashed, &context);
  EXPECT_EQ(Hmac(key65, "msg"), Hmac(std::string(reinterpret_cast<char*>(hashed), 16), "msg"));
  EXPECT_NE(Hmac(key64, "msg"), Hmac(key65, "msg"));
  EXPECT_NE(Hmac(key64, "msg"), Hmac(key64.substr(0, 63), "msg"));
}

// RFC 2195's example: the response the client sends for the server's challenge.
TEST(HmacMd5Test, Rfc2195CramMd5Example) {
  char* slot = nullptr;
  const char* challenge =
      Base64Decode(&slot, "PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+");
  ASSERT_NE(challenge, nullptr);
  EXPECT_STREQ(challenge, "<1896.697170952@postoffice.reston.mci.net>");
  std::string response = "tim " + Hmac("tanstaaftanstaaf", challenge);
  EXPECT_EQ(response, "tim b913a602c7eda7a495b4e6e7334d3890");
  EXPECT_STREQ(Base64Encode(&slot, response.c_str()),
               "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw");
  FreeBase64Slot(&slot);
  EXPECT_EQ(slot, nullptr);
}

// RFC 4648 section 10.
TEST(Base64Test, Rfc4648VectorsBothWays) {
  const struct {
    const char* text;
    const char* encoded;
  } kCases[] = {{"", ""},           {"f", "Zg=="},         {"fo", "Zm8="},     {"foo", "Zm9v"},
                {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"abc", "YWJj"}};
  char* slot = nullptr;
  for (const auto& c : kCases) {
    EXPECT_STREQ(Base64Encode(&slot, c.text), c.encoded);
    EXPECT_STREQ(Base64Decode(&slot, c.encoded), c.text);
  }
  FreeBase64Slot(&slot);
}

TEST(Base64Test, AllByteValuesRoundTrip) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  char* encodedSlot = nullptr;
  char* decodedSlot = nullptr;
  const char* encoded = Base64EncodeBytes(&encodedSlot, bytes.data(), bytes.size());
  EXPECT_EQ(strspn(encoded, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
            strlen(encoded));
  size_t length = 0;
  const char* decoded = Base64DecodeBytes(&decodedSlot, encoded, &length);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(std::string(decoded, length), bytes);
  FreeBase64Slot(&encodedSlot);
  FreeBase64Slot(&decodedSlot);
}

TEST(Base64Test, NonCanonicalInputIsRefused) {
  const char* kBad[] = {
      "Zg",        // length not a multiple of four
      "Zg=",       // short padding
      "Z===",      // too much padding
      "Zg==Zm8=",  // padding before the end
      "Zm9v\r\n",  // line break
      "Zm 9",      // space
      "Zm9*",      // outside the alphabet
      "Zh==",      // bits that the padding drops are not zero
      "Zm9=Zm9v",  // data after padding
      "=Zm9",
  };
  char* slot = nullptr;
  for (const char* bad : kBad) {
    Base64Encode(&slot, "leftover");
    EXPECT_EQ(Base64Decode(&slot, bad), nullptr) << bad;
    EXPECT_EQ(slot, nullptr) << bad;
  }
}

}  // namespace
