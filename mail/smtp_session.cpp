#include "smtp_session.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "mail_address.h"
#include "mail_codecs.h"
#include "mail_message.h"
#include "shared/error_log.h"

namespace {

// A reply longer than this is not an SMTP reply.
constexpr size_t kMaxReplyBytes = 64 * 1024;

struct ReplyCodeEntry {
  int code;
  const wchar_t* text;
};

const ReplyCodeEntry kReplyCodes[] = {
    {421, L"サービスは利用不能です。"},
    {432, L"パスワードの変更が必要です。"},
    {450, L"サービスは利用不能です"},
    {451, L"サーバー側の処理中にエラーが発生しました。"},
    {452, L"ストレージの容量不足のため、要求されたアクションは処理されませんでした。"},
    {453, L"メールがありません。"},
    {454, L"サーバー側の一時的な失敗により、認証が失敗しました。"},
    {458, L"なんらかの理由でメッセージをキューできませんでした。"},
    {459, L"ノードは許可されていません。"},
    {500, L"構文エラーです。コマンドを認識できませんでした。"},
    {501, L"パラメータまたは引数の構文エラーです。"},
    {502, L"指定のコマンドはサポートされていません。"},
    {503, L"コマンドの並びが間違っています。"},
    {504, L"コマンドのパラメータが実装されていません。"},
    {521, L"メールを受け入れませんでした。"},
    {530, L"要求されたアクションをするためには認証が必要です。"},
    {534, L"認証メカニズムが弱すぎます。"},
    {535, L"認証が拒否されました。"},
    {538, L"要求した認証メカニズムには暗号化が必要です。"},
    {550, L"要求されたアクションは実行できません。(メールボックスが見つからない、アクセスできないなど)"},
    {551, L"ユーザーがローカルではありません。"},
    {552, L"ストレージのエラーのため、要求したアクションは中止されました。"},
    {553, L"宛先のメールボックス名に問題があるため、処理は実行できませんでした。"},
    {554, L"トランザクションが失敗しました。またはSMTPサービスがありません。"},
    {555, L"パラメーターエラーです。"},
};

const wchar_t kSendErrorCaption[] = L"メール送信エラー";

std::wstring SystemText(DWORD code) {
  wchar_t* text = FetchSystemErrorText(code);
  std::wstring out;
  if (text != nullptr) {
    out.assign(text, wcsnlen(text, 511));
    LocalFree(text);
  } else {
    wchar_t fallback[64];
    swprintf(fallback, 64, L"(エラーコード:%lu)", static_cast<unsigned long>(code));
    out = fallback;
  }
  return out;
}

std::wstring Widen(const char* text, size_t length) {
  if (length == 0) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &out[0], n);
  return out;
}

bool CancelRequested(const MailSession* session) {
  return session->cancelHonoured && session->cancelEvent != nullptr &&
         WaitForSingleObject(session->cancelEvent, 0) == WAIT_OBJECT_0;
}

void Step(MailSession* session) {
  ++session->progressSteps;
  // A notification, so a busy owner can never block the worker.
  if (session->progressWindow != nullptr)
    SendNotifyMessageW(session->progressWindow, kMailProgressMessage, 0, 0);
}

// Waits until the socket is ready, a slice at a time so that a cancel is seen
// promptly. 1 ready, 0 timed out, -1 failed.
int WaitForSocket(MailSession* session, bool forWrite, ULONGLONG deadline) {
  for (;;) {
    if (CancelRequested(session)) throw MailAbort{true};
    ULONGLONG now = GetTickCount64();
    if (now >= deadline) return 0;
    ULONGLONG left = deadline - now;
    long slice = left < 100 ? static_cast<long>(left) : 100;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(session->sock, &set);
    timeval limit = {0, slice * 1000};
    int rc = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &limit);
    if (rc == SOCKET_ERROR) return -1;
    if (rc > 0) return 1;
  }
}

// Reports a failed SSL_connect, SSL_read or SSL_write by what really went
// wrong; sslError and socketError are taken right after the call.
[[noreturn]] void ReportTlsFailure(MailSession* session, int number, int sslError, DWORD socketError) {
  if (sslError == SSL_ERROR_SSL || sslError == SSL_ERROR_SYSCALL) session->tlsFailed = 1;
  const unsigned long queued = ERR_peek_error();
  // A peer that closes without close_notify has simply gone away.
  if (queued != 0 && ERR_GET_LIB(queued) == ERR_LIB_SSL &&
      ERR_GET_REASON(queued) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
    ERR_clear_error();
    ReportMailError(0, number, session, Disconnected);
  }
  if (queued != 0) ReportMailError(0, number, session, TlsError);
  if (sslError == SSL_ERROR_ZERO_RETURN) ReportMailError(0, number, session, Disconnected);
  if (sslError == SSL_ERROR_SYSCALL) {
    if (socketError == WSAETIMEDOUT) ReportMailError(0, number, session, TimedOut);
    if (socketError == 0) ReportMailError(0, number, session, Disconnected);
    ReportMailError(socketError, number, session, SocketError);
  }
  session->tlsFailed = 1;
  ReportMailError(0, number, session, TlsError);
}

// Runs one TLS call on the non-blocking socket until it completes, waiting
// for the socket within the deadline (and seeing a cancel meanwhile).
template <typename Call>
int RunTlsCall(MailSession* session, int number, ULONGLONG deadline, Call call) {
  for (;;) {
    ERR_clear_error();
    WSASetLastError(0);
    const int rc = call();
    if (rc > 0) return rc;
    const int sslError = SSL_get_error(session->ssl, rc);
    const DWORD socketError = WSAGetLastError();
    if (sslError != SSL_ERROR_WANT_READ && sslError != SSL_ERROR_WANT_WRITE) {
      // A cancel while the certificate check waited for the trust stores.
      if (CancelRequested(session)) {
        session->tlsFailed = 1;
        ERR_clear_error();
        throw MailAbort{true};
      }
      ReportTlsFailure(session, number, sslError, socketError);
    }
    const int ready = WaitForSocket(session, sslError == SSL_ERROR_WANT_WRITE, deadline);
    if (ready == 0) ReportMailError(0, number, session, TimedOut);
    if (ready < 0) ReportMailError(0, number, session, SocketError);
  }
}

void SendCore(MailSession* session, bool tls, const char* text, size_t length) {
  const int number = tls ? 101 : 50;
  const ULONGLONG deadline = GetTickCount64() + kMailStepTimeoutMs;
  size_t sent = 0;
  while (sent < length) {
    const int chunk = static_cast<int>(length - sent > 65536 ? 65536 : length - sent);
    if (tls) {
      sent += RunTlsCall(session, number, deadline,
                         [&] { return SSL_write(session->ssl, text + sent, chunk); });
      continue;
    }
    const int ready = WaitForSocket(session, true, deadline);
    if (ready == 0) ReportMailError(0, number, session, TimedOut);
    if (ready < 0) ReportMailError(0, number, session, SocketError);
    const int n = send(session->sock, text + sent, chunk, 0);
    if (n == SOCKET_ERROR) {
      const DWORD error = WSAGetLastError();
      if (error == WSAEWOULDBLOCK) continue;
      ReportMailError(error, number, session, error == WSAETIMEDOUT ? TimedOut : SocketError);
    }
    sent += n;
  }
}

// The closing QUIT after an accepted mail: sent if the connection still
// takes it, never reported.
void SendQuietly(MailSession* session, bool tls, const char* text) {
  const size_t length = strlen(text);
  const ULONGLONG deadline = GetTickCount64() + kMailStepTimeoutMs;
  size_t sent = 0;
  while (sent < length && GetTickCount64() < deadline) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(session->sock, &set);
    timeval limit = {0, 100 * 1000};
    if (select(0, nullptr, &set, nullptr, &limit) == SOCKET_ERROR) return;
    const int chunk = static_cast<int>(length - sent);
    if (tls) {
      ERR_clear_error();
      const int n = SSL_write(session->ssl, text + sent, chunk);
      if (n > 0) {
        sent += n;
        continue;
      }
      const int sslError = SSL_get_error(session->ssl, n);
      if (sslError != SSL_ERROR_WANT_READ && sslError != SSL_ERROR_WANT_WRITE) {
        if (sslError == SSL_ERROR_SSL || sslError == SSL_ERROR_SYSCALL) session->tlsFailed = 1;
        ERR_clear_error();
        return;
      }
    } else {
      const int n = send(session->sock, text + sent, chunk, 0);
      if (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) return;
      if (n > 0) sent += n;
    }
  }
}

// Receives once into the inbox: within the deadline, or reports.
void ReceiveSome(MailSession* session, bool tls, ULONGLONG deadline) {
  const int number = tls ? 101 : 51;
  char chunk[4096];
  if (tls) {
    const int n = RunTlsCall(session, number, deadline,
                             [&] { return SSL_read(session->ssl, chunk, sizeof chunk); });
    session->inbox.append(chunk, n);
    return;
  }
  for (;;) {
    const int ready = WaitForSocket(session, false, deadline);
    if (ready == 0) ReportMailError(0, number, session, TimedOut);
    if (ready < 0) ReportMailError(0, number, session, OsError);
    const int n = recv(session->sock, chunk, sizeof chunk, 0);
    if (n == SOCKET_ERROR) {
      const DWORD error = WSAGetLastError();
      if (error == WSAEWOULDBLOCK) continue;
      ReportMailError(error, number, session, error == WSAETIMEDOUT ? TimedOut : SocketError);
    }
    if (n == 0) ReportMailError(0, number, session, Disconnected);
    session->inbox.append(chunk, n);
    return;
  }
}

// Reads up to and including a reply's final line ("ddd " or "ddd" CR LF).
void ReadWholeReply(MailSession* session, bool tls, std::string* reply) {
  if (CancelRequested(session)) throw MailAbort{true};
  reply->clear();
  ULONGLONG deadline = GetTickCount64() + kMailStepTimeoutMs;
  for (;;) {
    size_t end;
    bool final = false;
    while ((end = session->inbox.find('\n')) != std::string::npos) {
      std::string line = session->inbox.substr(0, end + 1);
      session->inbox.erase(0, end + 1);
      *reply += line;
      if (line.size() < 4 || line[3] != '-') {
        final = true;
        break;
      }
    }
    if (final) break;
    if (reply->size() + session->inbox.size() > kMaxReplyBytes) {
      session->lastReplyCode = 0;
      ReportMailError(0, tls ? 101 : 51, session, ReplyCode);
    }
    ReceiveSome(session, tls, deadline);
  }
  memset(session->replyBuffer, 0, sizeof session->replyBuffer);
  size_t kept = reply->size() < 511 ? reply->size() : 511;
  memcpy(session->replyBuffer, reply->data(), kept);
}

// The code of the final line of a reply; -1 when it does not start with digits.
int FinalReplyCode(const std::string& reply, size_t* finalLineStart) {
  size_t start = reply.rfind('\n', reply.size() >= 2 ? reply.size() - 2 : 0);
  start = start == std::string::npos || reply.size() < 2 ? 0 : start + 1;
  *finalLineStart = start;
  int code = 0;
  size_t i = start;
  for (; i < reply.size() && i < start + 3 && reply[i] >= '0' && reply[i] <= '9'; ++i)
    code = code * 10 + (reply[i] - '0');
  return i == start ? -1 : code;
}

void ReadReplyCore(MailSession* session, bool tls, std::string* whole, std::string* challengeOut,
                   int count, int code1, int code2) {
  std::string reply;
  ReadWholeReply(session, tls, &reply);
  if (whole != nullptr) *whole = reply;
  if (count == 0) return;
  size_t lineStart = 0;
  int code = FinalReplyCode(reply, &lineStart);
  if (code != code1 && !(count >= 2 && code == code2)) {
    session->lastReplyCode = code;
    ReportMailError(0, tls ? 101 : 51, session, ReplyCode);
  }
  if (challengeOut != nullptr) {
    size_t from = lineStart + 4;
    if (from > reply.size()) from = reply.size();
    size_t cr = reply.find_first_of("\r\n", from);
    *challengeOut = reply.substr(from, cr == std::string::npos ? std::string::npos : cr - from);
  }
}

void SendText(MailSession* session, bool tls, const std::string& text) {
  if (tls)
    SmtpSendTls(session, text.c_str());
  else
    SmtpSendPlain(session, text.c_str());
}

// Sends a command built from credentials. The line is sized before it is
// filled, so no reallocation leaves a copy behind, and every copy is wiped.
void SendSecret(MailSession* session, bool tls, const char* secret) {
  const char* encoded = Base64Encode(&session->base64Slot, secret);
  if (encoded == nullptr) ReportMailError(ERROR_NOT_ENOUGH_MEMORY, 40, session, OsError);
  const size_t length = strlen(encoded);
  std::string line;
  line.reserve(length + 2);
  line.append(encoded, length);
  line.append("\r\n", 2);
  FreeBase64Slot(&session->base64Slot);
  try {
    SendCore(session, tls, line.data(), line.size());
  } catch (...) {
    SecureZeroMemory(&line[0], line.size());
    throw;
  }
  SecureZeroMemory(&line[0], line.size());
}

void ReadCode(MailSession* session, bool tls, int code1, int code2 = -1) {
  if (tls)
    SmtpReadReplyTls(session, code2 < 0 ? 1 : 2, code1, code2);
  else
    SmtpReadReply(session, nullptr, code2 < 0 ? 1 : 2, code1, code2);
}

void AuthLogin(MailSession* session, const MailRequest* request, bool tls, bool stepAfterFirst) {
  SendText(session, tls, "AUTH LOGIN\r\n");
  ReadCode(session, tls, 334);
  if (stepAfterFirst) Step(session);
  SendSecret(session, tls, request->account);
  ReadCode(session, tls, 334);
  Step(session);
  SendSecret(session, tls, request->password);
  ReadCode(session, tls, 235);
  Step(session);
}

void AuthCramMd5(MailSession* session, const MailRequest* request) {
  SmtpSendPlain(session, "AUTH CRAM-MD5\r\n");
  std::string challenge;
  SmtpReadReply(session, &challenge, 1, 334, 0);
  size_t length = 0;
  const char* decoded = Base64DecodeBytes(&session->base64Slot, challenge.c_str(), &length);
  if (decoded == nullptr) {
    session->lastReplyCode = 334;  // not canonical Base64: an unusable reply
    ReportMailError(0, 51, session, ReplyCode);
  }
  std::string message(decoded, length);
  char hex[128] = {};
  HmacMd5Hex(hex, strlen(request->password), message.data(), message.size(), request->password);
  std::string response;
  response.reserve(strlen(request->account) + 1 + strlen(hex));
  response.append(request->account);
  response.append(" ");
  response.append(hex);
  SecureZeroMemory(hex, sizeof hex);
  try {
    SendSecret(session, false, response.c_str());
  } catch (...) {
    SecureZeroMemory(&response[0], response.size());
    throw;
  }
  SecureZeroMemory(&response[0], response.size());
  SmtpReadReply(session, nullptr, 1, 235, 0);
  Step(session);
}

void SendEnvelopeAndData(MailSession* session, const MailRequest* request, bool tls, bool stepAfterData) {
  // 8-bit text is declared where the server takes it (RFC 6152); elsewhere
  // the composition sends it as Base64.
  const bool eightBit = MailBodyNeedsEightBit(request) && session->eightBitMime;
  SendText(session, tls,
           std::string("MAIL FROM:<") + request->from + (eightBit ? "> BODY=8BITMIME\r\n" : ">\r\n"));
  ReadCode(session, tls, 250);
  Step(session);
  SendText(session, tls, std::string("RCPT TO:<") + request->to + ">\r\n");
  ReadCode(session, tls, 250, 251);
  Step(session);
  SendText(session, tls, "DATA\r\n");
  ReadCode(session, tls, 354);
  std::string message;
  BuildMailMessage(session, &message, request, session->eightBitMime != 0);
  SendText(session, tls, message);
  session->cancelHonoured = 0;  // the mail is out: a cancel no longer stops it
  ReadCode(session, tls, 250);
  if (stepAfterData) Step(session);
}

// The closing QUIT is a courtesy: the mail is already accepted, so a
// connection that no longer takes it changes nothing.
void SendFinalQuit(MailSession* session, bool tls) { SendQuietly(session, tls, "QUIT\r\n"); }

bool IsTlsSetupNeeded(const MailRequest* request) {
  return request->security != kSecurityNone && request->useAuth == 1;
}

bool IsIpLiteral(const char* host) {
  in_addr v4;
  in6_addr v6;
  return inet_pton(AF_INET, host, &v4) == 1 || inet_pton(AF_INET6, host, &v6) == 1;
}

void PlainDialogue(MailSession* session, const MailRequest* request) {
  SmtpReadReply(session, nullptr, 0, 0, 0);
  session->phase = 1;
  SendEhlo(request, session, false);
  Step(session);
  if (request->useAuth == 1) {
    if (session->authMechanisms & kAuthCramMd5)
      AuthCramMd5(session, request);
    else
      AuthLogin(session, request, false, false);
  }
  SendEnvelopeAndData(session, request, false, true);
  SendFinalQuit(session, false);
}

void TlsDialogue(MailSession* session, const MailRequest* request) {
  if (request->security == kSecurityStartTls) {
    SmtpReadReply(session, nullptr, 0, 0, 0);
    session->phase = 1;
    SendEhlo(request, session, false);
    Step(session);
    SmtpSendPlain(session, "STARTTLS\r\n");
    SmtpReadReply(session, nullptr, 1, 220, 0);
    // Anything sent before the handshake could be injected: drop it.
    session->inbox.clear();
  }
  OPENSSL_init_ssl(0, nullptr);
  if (!CreateTlsContext(session))
    ReportMailError(session->errorKind == OsError ? session->lastSocketError : 0, 5, session,
                    session->errorKind);
  session->errorKind = TlsError;
  session->ssl = SSL_new(session->sslContext);
  if (session->ssl == nullptr) ReportMailError(0, 6, session, TlsError);
  // SNI, so that a server with several names presents the right certificate.
  if (!IsIpLiteral(request->server))
    SSL_ctrl(session->ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
             const_cast<char*>(request->server));
  if (SSL_set_fd(session->ssl, static_cast<int>(session->sock)) != 1)
    ReportMailError(0, 7, session, TlsError);
  session->request = request;
  // The handshake as a whole has one step's time.
  RunTlsCall(session, 8, GetTickCount64() + kMailStepTimeoutMs,
             [&] { return SSL_connect(session->ssl); });
  Step(session);
  if (!VerifyServerCertificate(session)) ReportMailError(0, 9, session, session->errorKind);
  if (request->security == kSecuritySsl) SmtpReadReplyTls(session, 0, 0, 0);
  session->phase = 2;
  SendEhlo(request, session, true);
  AuthLogin(session, request, true, true);
  SendEnvelopeAndData(session, request, true, false);
  SendFinalQuit(session, true);
}

int WSAAPI SystemResolve(const char* host, const char* port, const addrinfo* hints, addrinfo** result) {
  return getaddrinfo(host, port, hints, result);
}

MailResolveCall resolveCall = SystemResolve;

// One lookup, shared by the waiting session and the resolver thread; the
// last of the two to let go frees it (and an untaken result).
struct ResolveJob {
  volatile LONG references;
  HANDLE done;
  MailResolveCall call;
  char host[256];
  char port[4];
  addrinfo hints;
  addrinfo* result;
  int status;
};

void ReleaseResolveJob(ResolveJob* job) {
  if (InterlockedDecrement(&job->references) != 0) return;
  if (job->result != nullptr) freeaddrinfo(job->result);
  if (job->done != nullptr) CloseHandle(job->done);
  delete job;
}

// Runs on a thread of the process's pool, which keeps its threads: only
// the first lookup pays for starting one.
DWORD WINAPI ResolveWorkItem(void* parameter) {
  ResolveJob* job = static_cast<ResolveJob*>(parameter);
  WSADATA data;
  const bool started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  job->status = job->call(job->host, job->port, &job->hints, &job->result);
  if (job->status != 0) job->result = nullptr;
  if (started) WSACleanup();
  SetEvent(job->done);
  ReleaseResolveJob(job);
  return 0;
}

// A name is looked up on another thread, waited on together with the cancel
// event: the system's resolver honours neither a time-out nor a cancel. An
// address needs no lookup and is converted here.
void Resolve(MailSession* session, const MailRequest* request, const addrinfo* hints, ULONGLONG deadline) {
  if (resolveCall == SystemResolve && IsIpLiteral(request->server)) {
    addrinfo numeric = *hints;
    numeric.ai_flags |= AI_NUMERICHOST;
    const int status = getaddrinfo(request->server, request->port, &numeric, &session->addr);
    if (status != 0) {
      session->addr = nullptr;
      ReportMailError(static_cast<DWORD>(status), 1, session, SocketError);
    }
    return;
  }
  ResolveJob* job = new ResolveJob{};
  job->references = 2;
  job->call = resolveCall;
  memcpy(job->host, request->server, sizeof job->host);
  job->host[sizeof job->host - 1] = '\0';
  memcpy(job->port, request->port, sizeof job->port);
  job->port[sizeof job->port - 1] = '\0';
  job->hints = *hints;
  job->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (job->done == nullptr || !QueueUserWorkItem(ResolveWorkItem, job, WT_EXECUTEDEFAULT)) {
    const DWORD error = GetLastError();
    job->references = 1;
    ReleaseResolveJob(job);
    ReportMailError(error, 1, session, OsError);
  }
  HANDLE waits[2] = {job->done, session->cancelEvent};
  const DWORD count = session->cancelEvent != nullptr ? 2 : 1;
  const ULONGLONG now = GetTickCount64();
  const DWORD wait = WaitForMultipleObjects(count, waits, FALSE, now < deadline ? static_cast<DWORD>(deadline - now) : 0);
  if (wait != WAIT_OBJECT_0) {
    ReleaseResolveJob(job);  // the thread frees it when the lookup returns
    if (wait == WAIT_OBJECT_0 + 1) throw MailAbort{true};
    ReportMailError(0, 1, session, TimedOut);
  }
  const int status = job->status;
  session->addr = job->result;
  job->result = nullptr;
  ReleaseResolveJob(job);
  if (status != 0) {
    session->addr = nullptr;
    ReportMailError(static_cast<DWORD>(status), 1, session, SocketError);
  }
}

void Connect(MailSession* session, ULONGLONG deadline) {
  int32_t last = -2;
  bool anySocket = false;
  DWORD socketError = 0;
  // Every resolved address in turn, within the one budget.
  for (const addrinfo* a = session->addr; a != nullptr; a = a->ai_next) {
    ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      last = -2;
      break;
    }
    session->sock = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (session->sock == INVALID_SOCKET) {
      socketError = WSAGetLastError();
      continue;
    }
    anySocket = true;
    last = ConnectWithTimeout(session, a, static_cast<DWORD>(deadline - now));
    if (last == 0) return;
    closesocket(session->sock);
    session->sock = INVALID_SOCKET;
    if (last == -4) throw MailAbort{true};
  }
  if (!anySocket) ReportMailError(socketError, 3, session, SocketError);
  if (last == -3) ReportMailError(0, 4, session, ConnectionRefused);
  if (last == -2) ReportMailError(0, 4, session, TimedOut);
  ReportMailError(static_cast<DWORD>(last), 4, session, SocketError);
}

}  // namespace

void SetMailResolveCall(MailResolveCall call) { resolveCall = call != nullptr ? call : SystemResolve; }

const wchar_t* SmtpReplyCodeText(int code) {
  for (const ReplyCodeEntry& entry : kReplyCodes)
    if (entry.code == code) return entry.text;
  return nullptr;
}

void FormatMailError(DWORD osError, int number, const MailSession* session, int32_t kind,
                     std::wstring* caption, std::wstring* text) {
  wchar_t numbered[64];
  swprintf(numbered, 64, L"メール送信エラー #%d", number);
  switch (kind) {
    case OsError:
      *caption = numbered;
      *text = SystemText(osError != 0 ? osError : GetLastError());
      break;
    case SocketError:
      *caption = numbered;
      *text = SystemText(osError != 0 ? osError : static_cast<DWORD>(WSAGetLastError()));
      break;
    case TlsError: {
      swprintf(numbered, 64, L"SSL_ERROR #%d", number);
      *caption = numbered;
      char buffer[256] = {};
      unsigned long error = ERR_get_error();
      std::string message;
      if (error != 0) {
        ERR_error_string_n(error, buffer, sizeof buffer);
        message = buffer;
      }
      if ((number == 8 || number == 9) && session->ssl != nullptr) {
        long verify = SSL_get_verify_result(session->ssl);
        if (verify != X509_V_OK) {
          if (!message.empty()) message += "\n";
          message += X509_verify_cert_error_string(verify);
        }
      }
      if (message.empty()) message = "TLS failure";
      ERR_clear_error();
      *text = Widen(message.data(), message.size());
      break;
    }
    case ReplyCode: {
      const wchar_t* meaning = SmtpReplyCodeText(session->lastReplyCode);
      if (meaning != nullptr) {
        swprintf(numbered, 64, L"SMTP ERROR %d", session->lastReplyCode);
        *caption = numbered;
      } else {
        *caption = L"SMTP ERROR";
        meaning = L"サーバーとのやり取りに失敗。";
      }
      *text = meaning;
      *text += L"\n\nサーバーからのメッセージ:\n";
      *text += Widen(session->replyBuffer, strnlen(session->replyBuffer, 511));
      break;
    }
    case TimedOut:
      *caption = kSendErrorCaption;
      *text = L"接続がタイムアウトしました。";
      break;
    case Disconnected:
      *caption = kSendErrorCaption;
      *text = L"サーバーとの接続が切断されました。";
      break;
    case NoCertificate:
      *caption = kSendErrorCaption;
      *text = L"サーバーから証明書が得られませんでした。";
      break;
    case HostMismatch:
      *caption = kSendErrorCaption;
      *text = L"不正な証明書:\nホスト名が一致しませんでした。";
      break;
    case ConnectionRefused:
    default:
      *caption = kSendErrorCaption;
      *text = L"サーバーとの接続に失敗しました。(エラーコード:10061)";
      break;
  }
}

void ReportMailError(DWORD osError, int number, MailSession* session, int32_t kind) {
  std::wstring caption;
  std::wstring text;
  FormatMailError(osError, number, session, kind, &caption, &text);
  if (session->interactive)
    MessageBoxW(session->progressWindow, text.c_str(), caption.c_str(), MB_ICONERROR);
  else
    AppendErrorLog(text.c_str(), caption.c_str());
  throw MailAbort{false};
}

void SmtpSendPlain(MailSession* session, const char* text) {
  session->sendBuffer = text;
  SendCore(session, false, session->sendBuffer.data(), session->sendBuffer.size());
}

void SmtpSendTls(MailSession* session, const char* text) {
  session->sendBuffer = text;
  SendCore(session, true, session->sendBuffer.data(), session->sendBuffer.size());
}

void SmtpReadReply(MailSession* session, std::string* challengeOut, int count, int code1, int code2) {
  ReadReplyCore(session, false, nullptr, challengeOut, count, code1, code2);
}

void SmtpReadReplyTls(MailSession* session, int count, int code1, int code2) {
  ReadReplyCore(session, true, nullptr, nullptr, count, code1, code2);
}

// Calls take(text) with each line of an EHLO reply, its code and the
// following "-" or space still in front, CR LF and trailing spaces cut.
template <typename Take>
void ForEachReplyLine(const char* reply, Take take) {
  for (const char* line = reply; *line != '\0';) {
    const char* end = strchr(line, '\n');
    size_t length = end != nullptr ? static_cast<size_t>(end - line) : strlen(line);
    std::string text(line, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.size() >= 4 && (text[3] == '-' || text[3] == ' ')) take(text);
    if (end == nullptr) break;
    line = end + 1;
  }
}

uint8_t ParseAuthMechanisms(const char* reply) {
  uint8_t bits = 0;
  static const struct {
    const char* name;
    uint8_t bit;
  } kMechanisms[] = {{"PLAIN", kAuthPlain}, {"LOGIN", kAuthLogin}, {"CRAM-MD5", kAuthCramMd5},
                     {"DIGEST-MD5", kAuthDigestMd5}};
  ForEachReplyLine(reply, [&](const std::string& text) {
    // "250-AUTH LOGIN PLAIN" or "250 AUTH=LOGIN": the keyword starts the line's text.
    if (text.size() < 8 || _strnicmp(text.c_str() + 4, "AUTH", 4) != 0 ||
        !(text.size() == 8 || text[8] == ' ' || text[8] == '='))
      return;
    size_t at = 9;
    while (at < text.size()) {
      size_t next = text.find(' ', at);
      std::string word = text.substr(at, next == std::string::npos ? std::string::npos : next - at);
      for (const auto& mechanism : kMechanisms)
        if (_stricmp(word.c_str(), mechanism.name) == 0) bits |= mechanism.bit;
      if (next == std::string::npos) break;
      at = next + 1;
    }
  });
  return bits;
}

bool OffersExtension(const char* reply, const char* keyword) {
  const size_t length = strlen(keyword);
  bool offered = false;
  ForEachReplyLine(reply, [&](const std::string& text) {
    if (text.size() >= 4 + length && _strnicmp(text.c_str() + 4, keyword, length) == 0 &&
        (text.size() == 4 + length || text[4 + length] == ' '))
      offered = true;
  });
  return offered;
}

void SendEhlo(const MailRequest* request, MailSession* session, bool overTls) {
  SendText(session, overTls, "EHLO localhost\r\n");
  std::string reply;
  ReadReplyCore(session, overTls, &reply, nullptr, 1, 250, 0);
  // What the last EHLO offers holds: after STARTTLS that over TLS.
  session->eightBitMime = OffersExtension(reply.c_str(), "8BITMIME") ? 1 : 0;
  if (!overTls && request->useAuth == 1 && request->security == kSecurityNone)
    session->authMechanisms = ParseAuthMechanisms(reply.c_str());
}

int32_t ConnectWithTimeout(MailSession* session, const addrinfo* address, DWORD budgetMs) {
  session->errorKind = SocketError;
  WSAEVENT event = WSACreateEvent();
  if (event == WSA_INVALID_EVENT) return WSAGetLastError();
  session->connectEvent = event;
  int32_t result = 0;
  if (WSAEventSelect(session->sock, event, FD_CONNECT) == SOCKET_ERROR) {
    result = WSAGetLastError();
  } else if (connect(session->sock, address->ai_addr, static_cast<int>(address->ai_addrlen)) ==
                 SOCKET_ERROR &&
             WSAGetLastError() != WSAEWOULDBLOCK) {
    result = WSAGetLastError();
  } else {
    WSAEVENT events[2] = {event, session->cancelEvent};
    DWORD count = session->cancelEvent != nullptr ? 2 : 1;
    DWORD wait = WSAWaitForMultipleEvents(count, events, FALSE, budgetMs, FALSE);
    if (wait == WSA_WAIT_TIMEOUT) {
      result = -2;
    } else if (wait == WSA_WAIT_EVENT_0 + 1) {
      result = -4;
    } else if (wait != WSA_WAIT_EVENT_0) {
      result = WSAGetLastError();
    } else {
      WSANETWORKEVENTS happened;
      if (WSAEnumNetworkEvents(session->sock, event, &happened) == SOCKET_ERROR) {
        result = WSAGetLastError();
      } else if (happened.lNetworkEvents & FD_CONNECT) {
        int error = happened.iErrorCode[FD_CONNECT_BIT];
        if (error == WSAECONNREFUSED)
          result = -3;
        else if (error == WSAETIMEDOUT)
          result = -2;
        else if (error != 0)
          result = error;
      }
    }
  }
  WSAEventSelect(session->sock, nullptr, 0);
  WSACloseEvent(event);
  session->connectEvent = nullptr;
  u_long blocking = 0;
  ioctlsocket(session->sock, FIONBIO, &blocking);
  session->lastSocketError = result;
  return result;
}

int32_t SendMail(MailSession* session, HWND progressWindow, uint8_t interactive,
                 const MailRequest* request) {
  session->progressWindow = progressWindow;
  session->interactive = interactive;
  session->result = -1;
  session->cancelHonoured = 1;
  try {
    try {
      if (!MailRequestFieldsAreSafe(request)) ReportMailError(ERROR_INVALID_PARAMETER, 40, session, OsError);
      Step(session);
      WSADATA data;
      int rc = WSAStartup(MAKEWORD(2, 2), &data);
      if (rc != 0) ReportMailError(static_cast<DWORD>(rc), 0, session, SocketError);
      session->wsaStarted = 1;
      addrinfo hints = {};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      hints.ai_protocol = IPPROTO_TCP;
      // The lookup and the connect share one limit.
      const ULONGLONG connectDeadline = GetTickCount64() + kMailConnectTimeoutMs;
      Resolve(session, request, &hints, connectDeadline);
      Connect(session, connectDeadline);
      // Every later wait, also inside the TLS library, is a select against
      // the step's deadline and the cancel event.
      u_long nonBlocking = 1;
      ioctlsocket(session->sock, FIONBIO, &nonBlocking);
      BOOL noDelay = TRUE;
      setsockopt(session->sock, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
      Step(session);
      if (IsTlsSetupNeeded(request))
        TlsDialogue(session, request);
      else
        PlainDialogue(session, request);
      while (session->progressSteps < 9) Step(session);
      session->result = 0;
      Step(session);
    } catch (const MailAbort& abort) {
      if (abort.cancelled) {
        session->cancelled = 1;
        session->cancelHonoured = 0;
        // The QUIT after a cancel is reported like any send that fails;
        // the outcome stays the cancel's.
        try {
          if (session->phase == 1) SmtpSendPlain(session, "QUIT\r\n");
          if (session->phase == 2) SmtpSendTls(session, "QUIT\r\n");
        } catch (const MailAbort&) {
        }
      }
      session->result = -1;
    } catch (const std::bad_alloc&) {
      try {
        ReportMailError(ERROR_NOT_ENOUGH_MEMORY, 40, session, OsError);
      } catch (const MailAbort&) {
      }
      session->result = -1;
    }
  } catch (...) {
    session->result = -1;
  }
  FreeBase64Slot(&session->base64Slot);
  if (!session->sendBuffer.empty()) SecureZeroMemory(&session->sendBuffer[0], session->sendBuffer.size());
  session->sendBuffer.clear();
  return session->result;
}
