#include "mail_address.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

TEST(MailAddressTest, TheOneCheckWithItsMessages) {
  const wchar_t* const kOk = L"";
  const wchar_t* const kWide = L"全角文字が含まれています";
  const wchar_t* const kMalformed = L"不正なメールアドレス形式です";
  const struct {
    const wchar_t* address;
    const wchar_t* message;
  } kCases[] = {
      {L"user@example.test", kOk},
      {L"a@b", kOk},
      {L"first.last+tag@mail.example.test", kOk},
      {L"!#$%&'*=?^_`{|}~@x", kOk},
      {L"@example.test", kMalformed},        // at-sign first
      {L"user@", kMalformed},                // at-sign last
      {L"user", kMalformed},                 // none
      {L"a@b@c", kMalformed},                // two
      {L"", kMalformed},
      {L"user @example.test", kMalformed},   // blank
      {L"user@example.test\tx", kMalformed}, // control
      {L"user@example.test\r\nRSET", kMalformed},
      {L"user@x\x7f", kMalformed},
      {L"<user@example.test>", kMalformed},
      {L"user@example.test> SIZE=1", kMalformed},  // an ESMTP parameter smuggled in
      {L"ｕｓｅｒ@example.test", kWide},     // full-width letters
      {L"ﾃｽﾄ@example.test", kWide},          // half-width katakana: one byte in code page 932
      {L"us\u00e9r@example.test", kWide},    // a letter that would become '?' elsewhere
      {L"\u00e9 @", kWide},                  // the wide message comes first
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(std::wstring(MailAddressMessage(CheckMailAddress(c.address))), c.message);
  }
}

TEST(MailAddressTest, BytesFollowTheSameRule) {
  const struct {
    const char* address;
    MailAddressCheck check;
  } kCases[] = {
      {"user@example.test", kAddressOk},
      {"user@example.test> SIZE=100", kAddressMalformed},
      {"user@example.test>\r\nRCPT TO:<other@example.test", kAddressMalformed},
      {"\xb1@example.test", kAddressWide},
      {"a@@b", kAddressMalformed},
  };
  for (const auto& c : kCases) EXPECT_EQ(CheckMailAddressBytes(c.address), c.check) << c.address;
}

TEST(MailAddressTest, RequestFieldsAreCheckedBeforeAnythingIsSent) {
  MailRequest request = {};
  strcpy(request.server, "mail.example.test");
  strcpy(request.account, "user");
  strcpy(request.to, "to@example.test");
  strcpy(request.from, "from@example.test");
  EXPECT_TRUE(MailRequestFieldsAreSafe(&request));
  request.from[0] = '\0';  // the null reverse-path
  EXPECT_TRUE(MailRequestFieldsAreSafe(&request));

  auto refused = [](void (*change)(MailRequest*)) {
    MailRequest r = {};
    strcpy(r.server, "mail.example.test");
    strcpy(r.to, "to@example.test");
    strcpy(r.from, "from@example.test");
    change(&r);
    return !MailRequestFieldsAreSafe(&r);
  };
  EXPECT_TRUE(refused([](MailRequest* r) { strcpy(r->server, "mail\r\nQUIT"); }));
  EXPECT_TRUE(refused([](MailRequest* r) { strcpy(r->account, "user\nRSET"); }));
  EXPECT_TRUE(refused([](MailRequest* r) { strcpy(r->to, "to@example.test> NOTIFY=NEVER"); }));
  EXPECT_TRUE(refused([](MailRequest* r) { strcpy(r->from, "from@example.test> BODY=8BITMIME"); }));
  EXPECT_TRUE(refused([](MailRequest* r) { r->to[0] = '\0'; }));
}

}  // namespace
