#include "mail_address.h"

#include <string.h>

#include <type_traits>

namespace {

template <typename Char>
MailAddressCheck CheckUnits(const Char* address) {
  size_t at = 0;
  size_t ats = 0;
  size_t length = 0;
  for (const Char* p = address; *p != 0; ++p, ++length) {
    const unsigned c = static_cast<unsigned>(static_cast<typename std::make_unsigned<Char>::type>(*p));
    if (c >= 0x80) return kAddressWide;
  }
  for (size_t i = 0; i < length; ++i) {
    const unsigned c = static_cast<unsigned>(address[i]);
    if (c <= 0x20 || c == 0x7F || c == '<' || c == '>') return kAddressMalformed;
    if (c == '@') {
      ++ats;
      at = i;
    }
  }
  if (ats != 1 || at == 0 || at + 1 == length) return kAddressMalformed;
  return kAddressOk;
}

bool HasLineBreak(const char* text) { return strpbrk(text, "\r\n") != nullptr; }

}  // namespace

MailAddressCheck CheckMailAddress(const wchar_t* address) { return CheckUnits(address); }

MailAddressCheck CheckMailAddressBytes(const char* address) { return CheckUnits(address); }

const wchar_t* MailAddressMessage(MailAddressCheck check) {
  switch (check) {
    case kAddressWide:
      return L"全角文字が含まれています";
    case kAddressMalformed:
      return L"不正なメールアドレス形式です";
    default:
      return L"";
  }
}

bool MailRequestFieldsAreSafe(const MailRequest* request) {
  if (HasLineBreak(request->server) || HasLineBreak(request->account)) return false;
  if (CheckMailAddressBytes(request->to) != kAddressOk) return false;
  return request->from[0] == '\0' || CheckMailAddressBytes(request->from) == kAddressOk;
}
