#pragma once
#include <stdint.h>

#include "mail_request.h"

// The one address check of the mail page and of every mail sent: printable
// ASCII without blanks, '<' or '>', and exactly one '@' with text on both
// sides. Nothing else can go into "MAIL FROM:<...>" or "RCPT TO:<...>"
// without bringing parameters or commands of its own.
enum MailAddressCheck : int32_t {
  kAddressOk = 0,
  kAddressWide = 1,       // a character at or above 0x80: "全角文字が含まれています"
  kAddressMalformed = 2,  // "不正なメールアドレス形式です"
};

MailAddressCheck CheckMailAddress(const wchar_t* address);
MailAddressCheck CheckMailAddressBytes(const char* address);
// The message box text for a refused address (caption "エラー").
const wchar_t* MailAddressMessage(MailAddressCheck check);
inline constexpr const wchar_t* kMailAddressErrorCaption = L"エラー";

// False when a field that goes into a command or header line could carry a
// line break or an ESMTP parameter: server and account with CR or LF, the
// recipient not an address, the sender neither empty nor an address.
bool MailRequestFieldsAreSafe(const MailRequest* request);
