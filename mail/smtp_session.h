#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <stdint.h>

#include <string>

#include "mail_request.h"

typedef struct x509_st X509;
typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

// Progress step sent to the progress window after each stage (ten in a
// successful session).
inline constexpr UINT kMailProgressMessage = WM_APP + 5;

// Every wait for the server is bounded: 20 s for the name lookup and the
// connect together, 10 s for each send and each reply.
inline constexpr DWORD kMailConnectTimeoutMs = 20000;
inline constexpr DWORD kMailStepTimeoutMs = 10000;

// The name lookup SendMail calls on its resolver thread (getaddrinfo);
// tests put a stalled one in its place, since Wine resolves through the host.
typedef int(WSAAPI* MailResolveCall)(const char* host, const char* port, const addrinfo* hints,
                                     addrinfo** result);
void SetMailResolveCall(MailResolveCall call);  // null: the system's

// The state of one dialogue. Create it value-initialised; tear it down with
// CloseMailConnection on the thread that ran SendMail.
struct MailSession {
  int32_t wsaStarted;
  WSAEVENT connectEvent;
  int32_t errorKind;
  int32_t lastSocketError;
  SOCKET sock;
  addrinfo* addr;
  int32_t tlsInitialised;
  X509* peerCert;
  const MailRequest* request;
  SSL* ssl;
  SSL_CTX* sslContext;
  HWND progressWindow;
  uint8_t interactive;
  // Manual-reset event owned by the caller (the mail job): set it to cancel.
  // It outlives the session, so a late Cancel never touches freed memory.
  HANDLE cancelEvent;
  int32_t phase;  // 0 before EHLO, 1 plain dialogue, 2 TLS dialogue
  std::string sendBuffer;
  char replyBuffer[512];  // start of the last reply, for the error text
  std::string inbox;      // bytes received past the last reply
  int32_t progressSteps;
  int32_t result;
  int32_t lastReplyCode;
  uint8_t authMechanisms;
  int32_t eightBitMime;  // the last EHLO reply offered 8BITMIME
  int32_t tlsFailed;       // a fatal TLS error: no close_notify at the teardown
  int32_t cancelHonoured;  // cleared once the message text has been sent
  int32_t cancelled;       // the dialogue ended on a cancel
  void* trustStores;       // the ROOT store the TLS check reads (mail_tls.cpp)
  char* base64Slot;
};

// Runs the whole dialogue; 0 on success, -1 on any failure or cancel (each
// failure reported once, a cancel silently).
int32_t SendMail(MailSession* session, HWND progressWindow, uint8_t interactive,
                 const MailRequest* request);

// The caption and text that ReportMailError shows for a kind.
void FormatMailError(DWORD osError, int number, const MailSession* session, int32_t kind,
                     std::wstring* caption, std::wstring* text);
// The Japanese meaning of an SMTP reply code, or null for a code outside the table.
const wchar_t* SmtpReplyCodeText(int code);

void SmtpSendPlain(MailSession* session, const char* text);
void SmtpSendTls(MailSession* session, const char* text);
// Reads one whole reply (up to its final line) and, when count is 1 or 2,
// requires its code to be code1 or code2. challengeOut receives the text of
// the final line after the code.
void SmtpReadReply(MailSession* session, std::string* challengeOut, int count, int code1,
                   int code2);
void SmtpReadReplyTls(MailSession* session, int count, int code1, int code2);
void SendEhlo(const MailRequest* request, MailSession* session, bool overTls);
// AUTH mechanisms named on an "AUTH" line of an EHLO reply.
uint8_t ParseAuthMechanisms(const char* reply);
// Whether an EHLO reply has a line for the extension keyword (as "8BITMIME").
bool OffersExtension(const char* reply, const char* keyword);
// 0 connected, -2 no answer within the budget, -3 refused, -4 cancelled,
// any other value a Winsock error.
int32_t ConnectWithTimeout(MailSession* session, const addrinfo* address, DWORD budgetMs);

// TLS (mail_tls.cpp). The trust anchors come from the Windows ROOT store and
// what the Disallowed store holds is never trusted. Opening ROOT takes long
// under Wine, so it is kept open between sessions and read again when a
// chain does not verify against it or it could not be read; the
// program starts the first reading at its start-up, on a thread of the
// process's pool. A session waits for a reading only together with its
// cancel.
void PrepareTrustAnchorsInBackground();
// How the system stores are opened (CertOpenStore); tests put a slow one in
// its place to show that nothing waits for it beyond a cancel.
typedef void*(WINAPI* TrustStoreOpener)(const wchar_t* name);  // returns an HCERTSTORE
void SetTrustStoreOpener(TrustStoreOpener opener);  // null: the system's
int CreateTlsContext(MailSession* session);
int VerifyServerCertificate(MailSession* session);
int MatchCertificateHostName(MailSession* session);
// Whether cert names host (a DNS name, or an IP literal compared as an address).
bool CertificateMatchesHost(X509* cert, const char* host);
void CloseMailConnection(MailSession* session);
