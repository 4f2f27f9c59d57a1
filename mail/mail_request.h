#pragma once
#include <windows.h>

#include <stdint.h>

// What one SMTP dialogue sends and how its failures are reported: the layer
// below both the composition and the session.

// What one SMTP dialogue sends; filled by the caller, read only here.
struct MailRequest {
  char server[256];
  char account[256];
  char to[256];
  char from[256];
  char password[256];
  char port[4];
  int32_t charset;  // 0 UTF-8, 1 ISO-2022-JP
  wchar_t subject[256];
  wchar_t body[256];
  int32_t useAuth;
  int32_t security;  // 0 none, 1 SSL from the start, 2 STARTTLS
};

enum MailCharset : int32_t { kCharsetUtf8 = 0, kCharsetIso2022Jp = 1 };
enum MailSecurity : int32_t { kSecurityNone = 0, kSecuritySsl = 1, kSecurityStartTls = 2 };

enum AuthMechanisms : uint8_t {
  kAuthPlain = 1,
  kAuthLogin = 2,
  kAuthCramMd5 = 4,
  kAuthDigestMd5 = 8,
};

enum MailErrorKind : int32_t {
  OsError = 0,
  SocketError = 1,
  TlsError = 10,
  ReplyCode = 11,
  TimedOut = 20,
  Disconnected = 21,
  NoCertificate = 22,
  HostMismatch = 23,
  ConnectionRefused = 10061,
};

struct MailSession;

// Reports a failure by kind (a message box when interactive, else the error
// log) and aborts the dialogue: it throws MailAbort, caught by SendMail.
[[noreturn]] void ReportMailError(DWORD osError, int number, MailSession* session,
                                  int32_t kind);

struct MailAbort {
  bool cancelled;
};

