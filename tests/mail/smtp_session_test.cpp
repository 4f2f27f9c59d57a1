#include "smtp_session.h"

#include <gtest/gtest.h>

#include <wincrypt.h>

#include <openssl/pem.h>
#include <openssl/x509.h>

#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "mail_message.h"
#include "message_box_catcher.h"
#include "shared/error_log.h"
#include "temp_folder.h"
#include "mail_test_files.h"
#include "wait.h"

#ifndef SOPORA_MAIL_STATE_DIR
#error "SOPORA_MAIL_STATE_DIR must name the mail servers' state folder"
#endif

// Every heap block freed through operator delete is searched for the watched
// secret: a copy freed without being wiped is counted.
namespace {
std::atomic<const char*> watchedSecret{nullptr};
std::atomic<int> unwipedSecretCopies{0};

void CheckFreedBlock(void* block) {
  const char* secret = watchedSecret.load();
  if (block == nullptr || secret == nullptr) return;
  const char* bytes = static_cast<const char*>(block);
  const size_t size = HeapSize(GetProcessHeap(), 0, block);
  const size_t length = strlen(secret);
  if (std::search(bytes, bytes + size, secret, secret + length) != bytes + size) ++unwipedSecretCopies;
}
}  // namespace

void* operator new(size_t size) {
  void* block = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* block) noexcept {
  CheckFreedBlock(block);
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete(block); }

using testing_support::CaughtMessageBox;
using testing_support::CaughtMessageBoxes;
using testing_support::MessageBoxCatcher;

namespace {

// Ports of the servers that mail_servers.py starts.
enum Port {
  kPlain = 841, kPlainLogin = 842, kPlainCram = 843, kStartTls = 844, kTlsGood = 845,
  kTlsWrongName = 846, kTlsSelfSigned = 847, kTlsExpired = 848, kStartTlsCram = 849, kTlsTrickle = 850,
  kGreeting554 = 851, kRcpt550 = 852, kStalled = 853, kSplit = 854, kCloses = 855,
  kLongCram = 856, kUnexpected220 = 857, kBacklogFull = 858, kNothing = 859, kTlsSilent = 860,
  kStartTlsInject = 861, kBadCram = 862,
};

const char kPassword[] = "s3cret-pass";
const std::string kState = SOPORA_MAIL_STATE_DIR;

using mail_test_files::ReadFile;

// The test CA joins this prefix's own ROOT store (never the host's).
class TestCaEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(mail_test_files::TrustTestCa(kState)) << "no test CA in " << kState; }
};
::testing::Environment* const caEnvironment = ::testing::AddGlobalTestEnvironment(new TestCaEnvironment);

MailRequest MakeRequest(int port, const char* to, int useAuth = 0, int security = 0,
                        const char* server = "127.0.0.1") {
  MailRequest request = {};
  strcpy(request.server, server);
  snprintf(request.port, sizeof request.port, "%d", port);
  strcpy(request.to, to);
  strcpy(request.from, "scheduler@example.test");
  strcpy(request.account, to);  // a login of its own per test, to find in the server's log
  strcpy(request.password, kPassword);
  request.useAuth = useAuth;
  request.security = security;
  wcscpy(request.subject, L"\u30c6\u30b9\u30c8 subject");
  wcscpy(request.body, L"line one\r\n\u672c\u6587\r\n.\r\n..two dots");
  return request;
}

struct Outcome {
  int result = 0;
  int steps = 0;
  std::vector<CaughtMessageBox> boxes;
  DWORD elapsedMs = 0;
};

struct Worker {
  const MailRequest* request;
  uint8_t interactive;
  HWND window;
  HANDLE cancelEvent;
  int result;
  DWORD threadId;
};

unsigned __stdcall WorkerProc(void* argument) {
  Worker* worker = static_cast<Worker*>(argument);
  worker->threadId = GetCurrentThreadId();
  MessageBoxCatcher catcher;  // this thread's boxes
  MailSession* session = new MailSession{};
  session->cancelEvent = worker->cancelEvent;
  worker->result = SendMail(session, worker->window, worker->interactive, worker->request);
  CloseMailConnection(session);
  delete session;
  return 0;
}

int stepsSeen = 0;

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMailProgressMessage) ++stepsSeen;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND ProgressWindow() {
  static HWND window = nullptr;
  if (window == nullptr) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ProgressProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MailTestProgress";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
  }
  return window;
}

// Runs one session on a worker thread, as the mail jobs do, while this thread
// pumps the progress messages. cancelAfterMs > 0 cancels after that time,
// cancelAtStep > 0 once that many progress steps have come.
Outcome RunSession(const MailRequest& request, uint8_t interactive = 1, DWORD cancelAfterMs = 0,
                   int cancelAtStep = 0) {
  stepsSeen = 0;
  HANDLE cancel = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Worker worker = {&request, interactive, ProgressWindow(), cancel, 0, 0};
  ULONGLONG start = GetTickCount64();
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WorkerProc, &worker, 0, nullptr));
  bool cancelled = false;
  for (;;) {
    DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (wait == WAIT_OBJECT_0) break;
    if (!cancelled && ((cancelAfterMs > 0 && GetTickCount64() - start >= cancelAfterMs) ||
                       (cancelAtStep > 0 && stepsSeen >= cancelAtStep))) {
      SetEvent(cancel);
      cancelled = true;
    }
  }
  Outcome outcome;
  outcome.elapsedMs = static_cast<DWORD>(GetTickCount64() - start);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  CloseHandle(thread);
  CloseHandle(cancel);
  outcome.result = worker.result;
  outcome.steps = stepsSeen;
  for (const CaughtMessageBox& box : CaughtMessageBoxes())
    if (box.threadId == worker.threadId) outcome.boxes.push_back(box);
  return outcome;
}

struct Delivered {
  bool found = false;
  std::string mailFrom;
  std::string rcpt;
  std::string auth;
  std::string sni;
  std::string params;  // of MAIL FROM, "-" none
  std::string content;
};

Delivered ReadDelivered(int port, const std::string& rcpt) {
  Delivered d;
  std::string text = ReadFile(kState + "/mail/" + std::to_string(port) + "-" + rcpt + ".txt");
  size_t blank = text.find("\n\n");
  if (blank == std::string::npos) return d;
  d.found = true;
  std::istringstream head(text.substr(0, blank));
  std::string line;
  while (std::getline(head, line)) {
    if (line.rfind("MAILFROM ", 0) == 0) d.mailFrom = line.substr(9);
    if (line.rfind("RCPT ", 0) == 0) d.rcpt = line.substr(5);
    if (line.rfind("AUTH ", 0) == 0) d.auth = line.substr(5);
    if (line.rfind("SNI ", 0) == 0) d.sni = line.substr(4);
    if (line.rfind("PARAMS ", 0) == 0) d.params = line.substr(7);
  }
  d.content = text.substr(blank + 2);
  return d;
}

bool AuthLogged(const std::string& login) {
  std::istringstream log(ReadFile(kState + "/auth.log"));
  std::string line;
  while (std::getline(log, line))
    if (line.size() > login.size() && line.compare(line.size() - login.size(), login.size(), login) == 0)
      return true;
  return false;
}

std::string ExpectedContent(const MailRequest& request, bool eightBitAccepted = true) {
  std::string text;
  EXPECT_EQ(ComposeMailText(&request, &text, eightBitAccepted), -1);
  // The server strips the dot-stuffing and the end-of-data line.
  text.resize(text.size() - 3);
  std::string plain;
  bool lineStart = true;
  for (size_t i = 0; i < text.size(); ++i) {
    if (lineStart && text[i] == '.') {
      lineStart = false;
      continue;
    }
    plain += text[i];
    lineStart = text[i] == '\n';
  }
  return plain;
}

// A mail delivered in each mode, checked on the server's side.
TEST(SmtpSessionTest, DeliversInEveryMode) {
  const struct {
    int port;
    const char* to;
    int useAuth;
    int security;
    const char* server;
    const char* auth;  // mechanism and login the server saw
    const char* sni;   // server name the TLS client asked for, "-" none
  } kCases[] = {
      {kPlain, "plain@example.test", 0, 0, "127.0.0.1", "none -", "plain"},
      {kPlainLogin, "login@example.test", 1, 0, "127.0.0.1", "LOGIN login@example.test", "plain"},
      {kPlainCram, "cram@example.test", 1, 0, "127.0.0.1", "CRAM-MD5 cram@example.test", "plain"},
      {kStartTls, "starttls@example.test", 1, 2, "localhost", "LOGIN starttls@example.test", "localhost"},
      {kTlsGood, "tls@example.test", 1, 1, "localhost", "LOGIN tls@example.test", "localhost"},
      // No SNI for an address.
      {kTlsGood, "tlsip@example.test", 1, 1, "127.0.0.1", "LOGIN tlsip@example.test", "-"},
      // Over TLS it is always AUTH LOGIN, even where CRAM-MD5 is offered.
      {kStartTlsCram, "starttlscram@example.test", 1, 2, "localhost", "LOGIN starttlscram@example.test",
       "localhost"},
      // Security without logon: plain, no AUTH.
      {kPlain, "nologon@example.test", 0, 1, "127.0.0.1", "none -", "plain"},
      // Replies that arrive line by line, and a CRAM challenge of 280 bytes.
      {kSplit, "split@example.test", 1, 0, "127.0.0.1", "CRAM-MD5 split@example.test", "plain"},
      {kLongCram, "longcram@example.test", 1, 0, "127.0.0.1", "CRAM-MD5 longcram@example.test", "plain"},
      // Lines sent behind "220" to STARTTLS are dropped, never read as replies over TLS.
      {kStartTlsInject, "inject@example.test", 1, 2, "localhost", "LOGIN inject@example.test", "plain"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to);
    MailRequest request = MakeRequest(c.port, c.to, c.useAuth, c.security, c.server);
    Outcome outcome = RunSession(request);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.steps, 10);
    for (const auto& box : outcome.boxes) ADD_FAILURE() << "box: " << box.caption.size();
    Delivered d = ReadDelivered(c.port, c.to);
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.mailFrom, "scheduler@example.test");
    EXPECT_EQ(d.rcpt, c.to);
    EXPECT_EQ(d.auth, c.auth);
    EXPECT_EQ(d.sni, c.sni);
    // Over TLS that server offers no 8BITMIME: the UTF-8 body goes as Base64.
    const bool eightBit = c.port != kStartTlsInject;
    EXPECT_EQ(d.params, eightBit ? "BODY=8BITMIME" : "-");
    EXPECT_EQ(d.content, ExpectedContent(request, eightBit));
  }
}

TEST(SmtpSessionTest, Iso2022JpAndDotLinesArriveAsTyped) {
  MailRequest request = MakeRequest(kPlain, "jis@example.test");
  request.charset = kCharsetIso2022Jp;
  wcscpy(request.body, L".\n...three dots\nQUIT\n.\r\nRSET\n\u30c6\u30b9\u30c8");
  Outcome outcome = RunSession(request);
  ASSERT_EQ(outcome.result, 0);
  Delivered d = ReadDelivered(kPlain, "jis@example.test");
  ASSERT_TRUE(d.found);
  size_t bodyAt = d.content.find("\r\n\r\n");
  ASSERT_NE(bodyAt, std::string::npos);
  EXPECT_EQ(d.content.substr(bodyAt + 4), ".\r\n...three dots\r\nQUIT\r\n.\r\nRSET\r\n\x1b$B%F%9%H\x1b(B\r\n");
  EXPECT_NE(d.content.find("Content-Transfer-Encoding: 7bit\r\n"), std::string::npos);
}

struct ErrorCase {
  int port;
  const char* to;
  int useAuth;
  int security;
  const char* server;
  const wchar_t* caption;
  const wchar_t* textStart;
};

// ISO-2022-JP back to text, independently of the code under test: each JIS
// pair to Shift_JIS, then code page 932.
std::wstring DecodeIso2022Jp(const std::string& bytes) {
  std::string shiftJis;
  bool doubleByte = false;
  for (size_t i = 0; i < bytes.size();) {
    if (bytes.compare(i, 3, "\x1b$B") == 0 || bytes.compare(i, 3, "\x1b(B") == 0) {
      doubleByte = bytes[i + 1] == '$';
      i += 3;
      continue;
    }
    if (doubleByte && i + 1 < bytes.size()) {
      const unsigned c1 = static_cast<unsigned char>(bytes[i]);
      const unsigned c2 = static_cast<unsigned char>(bytes[i + 1]);
      shiftJis += static_cast<char>(((c1 + 1) >> 1) + (c1 < 0x5F ? 0x70 : 0xB0));
      shiftJis += static_cast<char>(c2 + ((c1 & 1) ? (c2 < 0x60 ? 0x1F : 0x20) : 0x7E));
      i += 2;
      continue;
    }
    shiftJis += bytes[i++];
  }
  std::wstring out(shiftJis.size(), L'\0');
  const int n = MultiByteToWideChar(932, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), &out[0],
                                    static_cast<int>(out.size()));
  out.resize(n > 0 ? n : 0);
  return out;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) lines.push_back(text.substr(at, end - at));
  lines.push_back(text.substr(at));
  return lines;
}

std::string BodyOf(const std::string& content) {
  const size_t at = content.find("\r\n\r\n");
  return at == std::string::npos ? std::string() : content.substr(at + 4);
}

TEST(SmtpSessionTest, LongIso2022JpBodiesArriveInLinesOf998OctetsAtMost) {
  std::wstring edit;  // the edit's limit, a switch per character
  for (int i = 0; i < 115; ++i) edit += L"a\u6f22";
  std::wstring profile = L".";  // 255 characters from a profile, and a stuffed dot in front
  for (int i = 0; i < 127; ++i) profile += L"\u6f22a";
  const struct {
    const char* to;
    std::wstring body;
  } kCases[] = {{"jis-edit@example.test", edit}, {"jis-profile@example.test", profile}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to);
    MailRequest request = MakeRequest(kPlain, c.to);  // the server refuses lines over 1,000 octets with CR LF
    request.charset = kCharsetIso2022Jp;
    wcscpy(request.body, c.body.c_str());
    Outcome outcome = RunSession(request);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(outcome.boxes.empty());
    Delivered d = ReadDelivered(kPlain, c.to);
    ASSERT_TRUE(d.found);
    std::vector<std::string> lines = SplitCrLf(BodyOf(d.content));
    ASSERT_GE(lines.size(), 3u);  // folded, then the end of the text
    EXPECT_EQ(lines.back(), "");
    lines.pop_back();
    std::string joined;
    for (const std::string& line : lines) {
      EXPECT_LE(line.size(), 998u);
      // Every line returns to ASCII.
      const size_t lastEscape = line.rfind('\x1b');
      if (lastEscape != std::string::npos) {
        EXPECT_EQ(line.compare(lastEscape, 3, "\x1b(B"), 0);
      }
      joined += line;
    }
    EXPECT_EQ(DecodeIso2022Jp(joined), c.body);
  }
}

std::string Base64Decoded(const std::string& text) {
  DWORD size = 0;
  if (!CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64, nullptr, &size,
                            nullptr, nullptr))
    return "(not Base64)";
  std::string out(size, '\0');
  CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                       reinterpret_cast<BYTE*>(&out[0]), &size, nullptr, nullptr);
  out.resize(size);
  return out;
}

TEST(SmtpSessionTest, Utf8TextIsDeclaredWhereTheServerTakesItAndBase64Elsewhere) {
  const struct {
    int port;
    const char* to;
    const wchar_t* body;
    const char* params;
    const char* encoding;
  } kCases[] = {
      {kPlain, "utf8-8bit@example.test", L"\u672c\u6587\r\n.dot", "BODY=8BITMIME", "8bit"},
      // This server offers no 8BITMIME and refuses undeclared 8-bit text.
      {kBadCram, "utf8-base64@example.test", L"\u672c\u6587\r\n.dot", "-", "base64"},
      {kBadCram, "utf8-ascii@example.test", L"plain\r\n.dot", "-", "8bit"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to);
    MailRequest request = MakeRequest(c.port, c.to);
    wcscpy(request.body, c.body);
    Outcome outcome = RunSession(request);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(outcome.boxes.empty());
    Delivered d = ReadDelivered(c.port, c.to);
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.params, c.params);
    EXPECT_NE(d.content.find(std::string("\r\nContent-Transfer-Encoding: ") + c.encoding + "\r\n"), std::string::npos);
    std::string body = BodyOf(d.content);
    for (const std::string& line : SplitCrLf(body)) EXPECT_LE(line.size(), 76u);
    if (std::string(c.encoding) == "base64") {
      ASSERT_GE(body.size(), 2u);
      body = Base64Decoded(body.substr(0, body.size() - 2)) + "\r\n";
    }
    const std::wstring typed = c.body;
    const int n = WideCharToMultiByte(CP_UTF8, 0, typed.data(), static_cast<int>(typed.size()), nullptr, 0, nullptr, nullptr);
    std::string expected(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, typed.data(), static_cast<int>(typed.size()), &expected[0], n, nullptr, nullptr);
    EXPECT_EQ(body, expected + "\r\n");
  }
}

TEST(SmtpSessionTest, RecipientAnswered251IsAccepted) {
  MailRequest request = MakeRequest(kLongCram, "forward-251@example.test");
  Outcome outcome = RunSession(request);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.steps, 10);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_TRUE(ReadDelivered(kLongCram, "forward-251@example.test").found);
}

TEST(SmtpSessionTest, ACancelAfterEhloSendsQuitInThePhasesMode) {
  // The server holds its reply to RCPT for 2 s; the cancel comes with the
  // step of MAIL FROM: the 4th in plain, the 8th after STARTTLS and AUTH.
  const std::pair<ErrorCase, int> kCases[] = {
      {{kLongCram, "stallrcpt-plain@example.test", 0, 0, "127.0.0.1", L"", L""}, 4},
      {{kStartTlsInject, "stallrcpt-tls@example.test", 1, 2, "localhost", L"", L""}, 8},
  };
  for (const auto& [c, mailStep] : kCases) {
    SCOPED_TRACE(c.to);
    Outcome outcome = RunSession(MakeRequest(c.port, c.to, c.useAuth, c.security, c.server), 1, 0, mailStep);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_FALSE(ReadDelivered(c.port, c.to).found);
    const int port = c.port;
    const std::string to = c.to;
    EXPECT_TRUE(testing_support::PumpMessagesUntil(
        [&] { return mail_test_files::QuitsSeen(kState, port, to) == 1; }, 5000));
  }
}

// Cancels from the worker's own progress window at the step after RCPT,
// and holds the worker until the server has reset the connection.
HANDLE quitFailCancel;
int quitFailSteps;
LRESULT CALLBACK CancelAfterRcptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMailProgressMessage && ++quitFailSteps == 5) {
    SetEvent(quitFailCancel);
    Sleep(1500);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

struct QuitFailWorker {
  const MailRequest* request;
  int result;
  std::vector<CaughtMessageBox> boxes;
};

unsigned __stdcall QuitFailWorkerProc(void* argument) {
  QuitFailWorker* worker = static_cast<QuitFailWorker*>(argument);
  MessageBoxCatcher catcher;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = CancelAfterRcptProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MailTestCancelAfterRcpt";
  RegisterClassW(&wc);
  // Created on this thread: its steps are handled at once, inside the dialogue.
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  MailSession* session = new MailSession{};
  session->cancelEvent = quitFailCancel;
  worker->result = SendMail(session, window, 1, worker->request);
  CloseMailConnection(session);
  delete session;
  DestroyWindow(window);
  for (const CaughtMessageBox& box : CaughtMessageBoxes())
    if (box.threadId == GetCurrentThreadId()) worker->boxes.push_back(box);
  return 0;
}

TEST(SmtpSessionTest, AFailedQuitAfterACancelIsReportedAndTheMailStillCountsAsCancelled) {
  // 250 to RCPT, then the server resets the connection; the cancel comes first.
  MailRequest request = MakeRequest(kLongCram, "quitfail-plain@example.test");
  quitFailCancel = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  quitFailSteps = 0;
  QuitFailWorker worker = {&request, 0, {}};
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, QuitFailWorkerProc, &worker, 0, nullptr));
  ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  CloseHandle(thread);
  CloseHandle(quitFailCancel);
  EXPECT_EQ(quitFailSteps, 5);
  EXPECT_EQ(worker.result, -1);
  ASSERT_EQ(worker.boxes.size(), 1u);
  EXPECT_EQ(worker.boxes[0].caption, L"メール送信エラー #50");
  EXPECT_FALSE(worker.boxes[0].text.empty());
}


void ExpectOneBox(const Outcome& outcome, const ErrorCase& c) {
  EXPECT_EQ(outcome.result, -1);
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0].caption, c.caption);
  EXPECT_EQ(outcome.boxes[0].text.compare(0, wcslen(c.textStart), c.textStart), 0);
  EXPECT_EQ(outcome.boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(outcome.boxes[0].owner, ProgressWindow());
  EXPECT_LT(outcome.steps, 10);
}

TEST(SmtpSessionTest, ErrorsAreReportedOnceWithTheirCaptionAndText) {
  const ErrorCase kCases[] = {
      {kPlainLogin, "wrongpass@example.test", 1, 0, "127.0.0.1", L"SMTP ERROR 535",
       L"認証が拒否されました。\n\nサーバーからのメッセージ:\n535 5.7.8"},
      {kRcpt550, "rcpt550@example.test", 0, 0, "127.0.0.1", L"SMTP ERROR 550",
       L"要求されたアクションは実行できません。(メールボックスが見つからない、アクセスできないなど)\n\n"
       L"サーバーからのメッセージ:\n550 5.1.1"},
      // The greeting is not checked; EHLO's 503 is.
      {kGreeting554, "greeting@example.test", 0, 0, "127.0.0.1", L"SMTP ERROR 503",
       L"コマンドの並びが間違っています。\n\nサーバーからのメッセージ:\n503 5.5.1"},
      {kUnexpected220, "unexpected@example.test", 1, 0, "127.0.0.1", L"SMTP ERROR",
       L"サーバーとのやり取りに失敗。\n\nサーバーからのメッセージ:\n220 what?"},
      {kBadCram, "badcram@example.test", 1, 0, "127.0.0.1", L"SMTP ERROR",
       L"サーバーとのやり取りに失敗。\n\nサーバーからのメッセージ:\n334 not*base64\r\n"},
      {kCloses, "closes@example.test", 0, 0, "127.0.0.1", L"メール送信エラー",
       L"サーバーとの接続が切断されました。"},
      {kNothing, "refused@example.test", 0, 0, "127.0.0.1", L"メール送信エラー",
       L"サーバーとの接続に失敗しました。(エラーコード:10061)"},
      {kTlsSelfSigned, "selfsigned@example.test", 1, 1, "localhost", L"SSL_ERROR #8",
       L"error:0A000086:SSL routines::certificate verify failed\nself-signed certificate"},
      {kTlsExpired, "expired@example.test", 1, 1, "localhost", L"SSL_ERROR #8",
       L"error:0A000086:SSL routines::certificate verify failed\ncertificate has expired"},
      {kTlsWrongName, "wrongname@example.test", 1, 1, "localhost", L"メール送信エラー",
       L"不正な証明書:\nホスト名が一致しませんでした。"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to);
    MailRequest request = MakeRequest(c.port, c.to, c.useAuth, c.security, c.server);
    if (c.port == kPlainLogin) strcpy(request.password, "wrong");
    Outcome outcome = RunSession(request);
    ExpectOneBox(outcome, c);
    EXPECT_FALSE(ReadDelivered(c.port, c.to).found);
    // A refused certificate is refused before any credentials are sent.
    if (c.security != 0) {
      EXPECT_FALSE(AuthLogged(c.to));
    }
  }
}

TEST(SmtpSessionTest, AddressWithLineBreakIsRefusedBeforeConnecting) {
  MailRequest request = MakeRequest(kPlain, "x@example.test");
  strcpy(request.to, "x@example.test>\r\nRCPT TO:<y@example.test");
  Outcome outcome = RunSession(request);
  EXPECT_EQ(outcome.result, -1);
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0].caption, L"メール送信エラー #40");
  EXPECT_EQ(outcome.steps, 0);
}

// A time-out ends at its limit: never before it, and well before half as much
// again (a wider margin than any slow machine needs, narrower than the other
// limit, so neither can stand in for the other).
void ExpectEndedAtLimit(DWORD elapsedMs, DWORD limitMs) {
  EXPECT_GE(elapsedMs, limitMs - 500) << "limit " << limitMs << " ms";
  EXPECT_LT(elapsedMs, limitMs + limitMs / 2) << "limit " << limitMs << " ms";
}

TEST(SmtpSessionTest, StalledReplyTimesOut) {
  Outcome outcome = RunSession(MakeRequest(kStalled, "stalled@example.test"));
  ExpectOneBox(outcome, {kStalled, "", 0, 0, "", L"メール送信エラー", L"接続がタイムアウトしました。"});
  ExpectEndedAtLimit(outcome.elapsedMs, kMailStepTimeoutMs);
}

TEST(SmtpSessionTest, SilentTlsServerTimesOutInTheHandshake) {
  Outcome outcome = RunSession(MakeRequest(kTlsSilent, "silent@example.test", 1, 1, "localhost"));
  ExpectOneBox(outcome, {kTlsSilent, "", 0, 0, "", L"メール送信エラー", L"接続がタイムアウトしました。"});
  ExpectEndedAtLimit(outcome.elapsedMs, kMailStepTimeoutMs);
}

TEST(SmtpSessionTest, ConnectTimesOutAfterTwentySeconds) {
  Outcome outcome = RunSession(MakeRequest(kBacklogFull, "timeout@example.test"));
  ExpectOneBox(outcome, {kBacklogFull, "", 0, 0, "", L"メール送信エラー", L"接続がタイムアウトしました。"});
  ExpectEndedAtLimit(outcome.elapsedMs, kMailConnectTimeoutMs);
}

TEST(SmtpSessionTest, CancelDuringConnectEndsAtOnceWithoutMessage) {
  Outcome outcome = RunSession(MakeRequest(kBacklogFull, "cancel@example.test"), 1, 300);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_LT(outcome.elapsedMs, kMailConnectTimeoutMs / 2);
}

TEST(SmtpSessionTest, CancelWhileWaitingForAReplyEndsWithoutMessage) {
  Outcome outcome = RunSession(MakeRequest(kStalled, "cancel2@example.test"), 1, 1000);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_LT(outcome.elapsedMs, kMailStepTimeoutMs);
}

TEST(SmtpSessionTest, ATlsPeerThatDropsTheConnectionIsShownAsDisconnected) {
  // The server goes away after RCPT without a close_notify.
  Outcome outcome = RunSession(MakeRequest(kStartTlsInject, "drop-tls@example.test", 1, 2, "localhost"));
  ExpectOneBox(outcome, {kStartTlsInject, "", 0, 0, "", L"メール送信エラー", L"サーバーとの接続が切断されました。"});
  EXPECT_FALSE(ReadDelivered(kStartTlsInject, "drop-tls@example.test").found);
}

TEST(SmtpSessionTest, AMailAcceptedBeforeAFailedQuitIsSentQuietly) {
  // The server accepts the text with 250 and resets the connection at once.
  const struct {
    int port;
    const char* to;
    int useAuth;
    int security;
    const char* server;
  } kCases[] = {
      {kLongCram, "reset-plain@example.test", 0, 0, "127.0.0.1"},
      {kStartTlsInject, "reset-tls@example.test", 1, 2, "localhost"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to);
    Outcome outcome = RunSession(MakeRequest(c.port, c.to, c.useAuth, c.security, c.server));
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.steps, 10);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_TRUE(ReadDelivered(c.port, c.to).found);
  }
}

TEST(SmtpSessionTest, TrickledHandshakeTimesOutWithinTheStepDeadline) {
  // One byte every 9 s: no single read waits 10 s, the handshake as a whole does.
  Outcome outcome = RunSession(MakeRequest(kTlsTrickle, "trickle@example.test", 1, 1, "localhost"));
  ExpectOneBox(outcome, {kTlsTrickle, "", 0, 0, "", L"メール送信エラー", L"接続がタイムアウトしました。"});
  EXPECT_GE(outcome.elapsedMs, kMailStepTimeoutMs - 500);
  EXPECT_LT(outcome.elapsedMs, 2 * kMailStepTimeoutMs);  // the trickle itself lasts 45 s
}

TEST(SmtpSessionTest, CancelDuringTheHandshakeEndsAtOnceWithoutMessage) {
  Outcome outcome = RunSession(MakeRequest(kTlsTrickle, "cancel3@example.test", 1, 1, "localhost"), 1, 1500);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_LT(outcome.elapsedMs, 9000u);  // before the trickle's first byte
}

// A resolver that never answers until the test lets it go.
HANDLE resolverRelease;
int WSAAPI StalledResolve(const char*, const char*, const addrinfo*, addrinfo** result) {
  WaitForSingleObject(resolverRelease, 120000);
  *result = nullptr;
  return WSAHOST_NOT_FOUND;
}

class StalledResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resolverRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetMailResolveCall(StalledResolve);
  }
  void TearDown() override {
    SetMailResolveCall(nullptr);
    SetEvent(resolverRelease);
  }
};

TEST_F(StalledResolverTest, NameResolutionTimesOutAfterTwentySeconds) {
  Outcome outcome = RunSession(MakeRequest(kPlain, "resolve@example.test", 0, 0, "mail.example.test"));
  ExpectOneBox(outcome, {kPlain, "", 0, 0, "", L"メール送信エラー", L"接続がタイムアウトしました。"});
  EXPECT_GE(outcome.elapsedMs, kMailConnectTimeoutMs - 500);
}

// A lookup that answers only after 15 s, with a server whose connect never completes.
int WSAAPI SlowResolve(const char*, const char* port, const addrinfo* hints, addrinfo** result) {
  WaitForSingleObject(resolverRelease, 15000);
  addrinfo numeric = *hints;
  numeric.ai_flags |= AI_NUMERICHOST;
  return getaddrinfo("127.0.0.1", port, &numeric, result);
}

TEST_F(StalledResolverTest, ASlowLookupAndTheConnectTimesOutWithinOneLimit) {
  SetMailResolveCall(SlowResolve);
  Outcome outcome = RunSession(MakeRequest(kBacklogFull, "slowlookup@example.test", 0, 0, "mail.example.test"));
  ExpectOneBox(outcome, {kBacklogFull, "", 0, 0, "", L"メール送信エラー", L"接続がタイムアウトしました。"});
  ExpectEndedAtLimit(outcome.elapsedMs, kMailConnectTimeoutMs);
}

TEST_F(StalledResolverTest, CancelDuringNameResolutionEndsAtOnceWithoutMessage) {
  Outcome outcome = RunSession(MakeRequest(kPlain, "resolve2@example.test", 0, 0, "mail.example.test"), 1, 300);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_LT(outcome.elapsedMs, kMailConnectTimeoutMs / 2);
}

// The DER bytes of a certificate the test servers use.
std::string CertificateDer(const char* name) {
  const std::string pem = ReadFile(kState + "/certs/" + name + ".pem");
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                            nullptr, nullptr))
    return "";
  std::string der(size, '\0');
  CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                       reinterpret_cast<BYTE*>(&der[0]), &size, nullptr, nullptr);
  der.resize(size);
  return der;
}

// Adds a certificate to one of this prefix's system stores, or removes every
// copy of it.
bool ChangeStore(DWORD location, const wchar_t* store, const std::string& der, bool add) {
  // The registry store itself: a system store is a collection, through which
  // a deletion does not reach the registry here.
  HCERTSTORE handle = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, location, store);
  if (handle == nullptr) return false;
  BOOL ok = TRUE;
  if (add) {
    ok = CertAddEncodedCertificateToStore(handle, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                          static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  } else {
    BYTE hash[20];
    DWORD hashLength = sizeof hash;
    ok = CryptHashCertificate(0, CALG_SHA1, 0, reinterpret_cast<const BYTE*>(der.data()),
                              static_cast<DWORD>(der.size()), hash, &hashLength);
    CRYPT_HASH_BLOB blob = {hashLength, hash};
    PCCERT_CONTEXT found;
    while (ok && (found = CertFindCertificateInStore(handle, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &blob,
                                                     nullptr)) != nullptr)
      ok = CertDeleteCertificateFromStore(found);  // frees the context
  }
  CertCloseStore(handle, 0);
  return ok != FALSE;
}

// Trust changed while the program runs; the test CA is trusted again and
// the good certificate no longer distrusted afterwards, whatever happened.
class TrustChangeTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(ChangeStore(CERT_SYSTEM_STORE_CURRENT_USER, L"Disallowed", CertificateDer("good"), false));
    EXPECT_TRUE(mail_test_files::TrustTestCa(kState));
  }
};

TEST_F(TrustChangeTest, ARootRemovedOrAddedWhileRunningCountsForTheNextSession) {
  const std::string ca = ReadFile(kState + "/certs/ca.der");
  ASSERT_TRUE(ChangeStore(CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT", ca, false));
  ASSERT_TRUE(ChangeStore(CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT", ca, false));
  // A chain that does not verify against the store as read has it read again.
  ExpectOneBox(RunSession(MakeRequest(kTlsSelfSigned, "trust-self@example.test", 1, 1, "localhost")),
               {kTlsSelfSigned, "", 0, 0, "", L"SSL_ERROR #8", L"error:0A000086"});
  ExpectOneBox(RunSession(MakeRequest(kTlsGood, "trust-removed@example.test", 1, 1, "localhost")),
               {kTlsGood, "", 0, 0, "", L"SSL_ERROR #8", L"error:0A000086"});
  ASSERT_TRUE(mail_test_files::TrustTestCa(kState));
  Outcome outcome = RunSession(MakeRequest(kTlsGood, "trust-added@example.test", 1, 1, "localhost"));
  EXPECT_EQ(outcome.result, 0);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_TRUE(ReadDelivered(kTlsGood, "trust-added@example.test").found);
}

TEST_F(TrustChangeTest, ACertificateInTheDisallowedStoreIsNeverTrusted) {
  ASSERT_TRUE(ChangeStore(CERT_SYSTEM_STORE_CURRENT_USER, L"Disallowed", CertificateDer("good"), true));
  Outcome outcome = RunSession(MakeRequest(kTlsGood, "distrusted@example.test", 1, 1, "localhost"));
  ExpectOneBox(outcome, {kTlsGood, "", 0, 0, "", L"SSL_ERROR #8", L"error:0A000086"});
  EXPECT_NE(outcome.boxes.empty() ? std::wstring::npos : outcome.boxes[0].text.find(L"certificate rejected"),
            std::wstring::npos);
  EXPECT_FALSE(AuthLogged("distrusted@example.test"));
  ASSERT_TRUE(ChangeStore(CERT_SYSTEM_STORE_CURRENT_USER, L"Disallowed", CertificateDer("good"), false));
  outcome = RunSession(MakeRequest(kTlsGood, "trusted-again@example.test", 1, 1, "localhost"));
  EXPECT_EQ(outcome.result, 0);
  EXPECT_TRUE(outcome.boxes.empty());
}

// A reading of the trust stores that takes until the test lets it go.
HANDLE storeRelease;
HCERTSTORE WINAPI SlowStoreOpener(const wchar_t* name) {
  WaitForSingleObject(storeRelease, 60000);
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER | CERT_STORE_READONLY_FLAG,
                       name);
}

TEST(SmtpSessionTest, CancelNeverWaitsForAReadingOfTheTrustStores) {
  storeRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetTrustStoreOpener(SlowStoreOpener);
  // The self-signed chain does not verify against the stores as read, so
  // they are read again; the cancel comes during that reading.
  Outcome outcome =
      RunSession(MakeRequest(kTlsSelfSigned, "cancel-trust@example.test", 1, 1, "localhost"), 1, 1500);
  SetTrustStoreOpener(nullptr);
  SetEvent(storeRelease);  // the reading ends on its own thread
  EXPECT_EQ(outcome.result, -1);
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_GE(outcome.elapsedMs, 1400u);
  EXPECT_LT(outcome.elapsedMs, 5000u);
}

TEST(SmtpSessionTest, TheBase64PasswordLeavesNoUnwipedCopyOnTheHeap) {
  const struct {
    int port;
    const char* to;
    int security;
    const char* server;
  } kCases[] = {
      {kPlainLogin, "wipe-plain@example.test", 0, "127.0.0.1"},
      {kStartTls, "wipe-starttls@example.test", 2, "localhost"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.to);
    MailRequest request = MakeRequest(c.port, c.to, 1, c.security, c.server);
    unwipedSecretCopies = 0;
    watchedSecret = "czNjcmV0LXBhc3M=";  // Base64 of the password
    Outcome outcome = RunSession(request);
    watchedSecret = nullptr;
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(AuthLogged(c.to));
    EXPECT_EQ(unwipedSecretCopies.load(), 0);
  }
}

class UnattendedSessionTest : public testing_support::TempFolderTest {};

TEST_F(UnattendedSessionTest, FailuresGoToTheErrorLogNotToBoxes) {
  SetErrorLogFileName(kSchedulerErrorLogName);
  MailRequest request = MakeRequest(kRcpt550, "unattended@example.test");
  Outcome outcome = RunSession(request, 0);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_TRUE(outcome.boxes.empty());
  std::string bytes = testing_support::ReadBytes(kSchedulerErrorLogName);
  std::wstring log(bytes.size() / 2, L'\0');
  memcpy(&log[0], bytes.data(), log.size() * 2);
  EXPECT_NE(log.find(L"SMTP ERROR 550"), std::wstring::npos);
  EXPECT_NE(log.find(L"サーバーからのメッセージ:"), std::wstring::npos);
}

TEST(SmtpSessionTest, CloseMailConnectionIsSafeOnAnUnusedSession) {
  MailSession session{};
  CloseMailConnection(&session);
  CloseMailConnection(&session);
  EXPECT_EQ(session.ssl, nullptr);
  EXPECT_EQ(session.wsaStarted, 0);
}

TEST(AuthMechanismsTest, ParsedPerLineFromTheAuthKeyword) {
  const struct {
    const char* reply;
    uint8_t bits;
  } kCases[] = {
      {"250-mail.example\r\n250-AUTH LOGIN CRAM-MD5\r\n250 HELP\r\n", kAuthLogin | kAuthCramMd5},
      {"250-authsmtp.example\r\n250-SIZE 100\r\n250 HELP\r\n", 0},  // not a host name
      {"250-x\r\n250 AUTH=PLAIN LOGIN\r\n", kAuthPlain | kAuthLogin},
      {"250-x\r\n250-auth digest-md5 cram-md5\r\n250 OK\r\n", kAuthDigestMd5 | kAuthCramMd5},
      {"250-x\r\n250-AUTHX CRAM-MD5\r\n250 OK\r\n", 0},
      {"250-x\r\n250-AUTH XCRAM-MD5\r\n250 OK\r\n", 0},
  };
  for (const auto& c : kCases) EXPECT_EQ(ParseAuthMechanisms(c.reply), c.bits) << c.reply;
}

X509* LoadCert(const char* name) {
  std::string pem = ReadFile(kState + "/certs/" + name + ".pem");
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  return cert;
}

TEST(CertificateHostTest, NamesMatchAsX509CheckHostRules) {
  const struct {
    const char* cert;
    const char* host;
    bool match;
  } kCases[] = {
      {"good", "localhost", true},
      {"good", "LOCALHOST", true},
      {"good", "127.0.0.1", true},  // IP entry, compared as an address
      {"good", "127.0.0.2", false},
      {"good", "otherhost", false},
      {"cnonly", "localhost", true},
      {"mixed", "localhost", false},  // with DNS entries the common name does not count
      {"wildcard", "smtp.example.test", true},
      {"wildcard", "a.b.example.test", false},
      {"wildcard", "example.test", false},
      {"wrongname", "localhost", false},
      {"wrongname", "mail.example.test", true},
  };
  for (const auto& c : kCases) {
    X509* cert = LoadCert(c.cert);
    ASSERT_NE(cert, nullptr) << c.cert;
    EXPECT_EQ(CertificateMatchesHost(cert, c.host), c.match) << c.cert << " " << c.host;
    X509_free(cert);
  }
}

}  // namespace

namespace {

TEST(MailErrorTextTest, ReplyCodesGetTheirCaptionAndText) {
  const int kTabled[] = {421, 432, 450, 451, 452, 453, 454, 458, 459, 500, 501, 502, 503,
                         504, 521, 530, 534, 535, 538, 550, 551, 552, 553, 554, 555};
  MailSession session{};
  strcpy(session.replyBuffer, "599 odd\r\n");
  for (int code : kTabled) {
    session.lastReplyCode = code;
    std::wstring caption, text;
    FormatMailError(0, 51, &session, ReplyCode, &caption, &text);
    EXPECT_EQ(caption, L"SMTP ERROR " + std::to_wstring(code));
    ASSERT_NE(SmtpReplyCodeText(code), nullptr) << code;
    EXPECT_EQ(text, std::wstring(SmtpReplyCodeText(code)) + L"\n\nサーバーからのメッセージ:\n599 odd\r\n");
  }
  for (int code : {220, 250, 334, 422, 599, -1}) {
    session.lastReplyCode = code;
    std::wstring caption, text;
    FormatMailError(0, 51, &session, ReplyCode, &caption, &text);
    EXPECT_EQ(caption, L"SMTP ERROR") << code;
    EXPECT_EQ(text.rfind(L"サーバーとのやり取りに失敗。\n\nサーバーからのメッセージ:\n", 0), 0u) << code;
  }
}

TEST(MailErrorTextTest, NumberedCaptionsAndFixedTexts) {
  MailSession session{};
  const struct {
    int32_t kind;
    int number;
    const wchar_t* caption;
    const wchar_t* text;  // null: a system or library text
  } kCases[] = {
      {OsError, 40, L"メール送信エラー #40", nullptr},
      {SocketError, 4, L"メール送信エラー #4", nullptr},
      {TlsError, 8, L"SSL_ERROR #8", nullptr},
      {TimedOut, 51, L"メール送信エラー", L"接続がタイムアウトしました。"},
      {Disconnected, 51, L"メール送信エラー", L"サーバーとの接続が切断されました。"},
      {NoCertificate, 9, L"メール送信エラー", L"サーバーから証明書が得られませんでした。"},
      {HostMismatch, 9, L"メール送信エラー", L"不正な証明書:\nホスト名が一致しませんでした。"},
      {ConnectionRefused, 4, L"メール送信エラー", L"サーバーとの接続に失敗しました。(エラーコード:10061)"},
  };
  for (const auto& c : kCases) {
    std::wstring caption, text;
    FormatMailError(c.kind == SocketError ? WSAETIMEDOUT : ERROR_INVALID_PARAMETER, c.number, &session,
                    c.kind, &caption, &text);
    EXPECT_EQ(caption, c.caption);
    if (c.text != nullptr) {
      EXPECT_EQ(text, c.text);
    } else {
      EXPECT_FALSE(text.empty()) << c.kind;
    }
  }
}

}  // namespace
