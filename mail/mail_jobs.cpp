#include "mail_jobs.h"

#include <process.h>
#include <string.h>

#include <new>

#include "mail_message.h"
#include "shared/thread_wait.h"
#include "smtp_session.h"

namespace {

// Job numbers of this process; 0 is never one.
volatile LONG lastIdentity;

// A cancelled worker ends within its current step: the reply to a text it
// has sent already, then the QUIT.
constexpr DWORD kWorkerEndLimitMs = 2 * kMailStepTimeoutMs + 2000;

// The jobs started and not yet joined (user-interface thread only).
constexpr size_t kMaxRunningJobs = 8;
MailJob* runningJobs[kMaxRunningJobs];

void Remember(MailJob* job) {
  for (MailJob*& slot : runningJobs)
    if (slot == job) return;
  for (MailJob*& slot : runningJobs)
    if (slot == nullptr) {
      slot = job;
      return;
    }
}

void Forget(MailJob* job) {
  for (MailJob*& slot : runningJobs)
    if (slot == job) slot = nullptr;
}

void (*workerStarted)();
void (*workerEnding)();

// Copies at most size - 1 bytes and terminates, whatever the source holds.
template <size_t N, size_t M>
void CopyBounded(char (&destination)[N], const char (&source)[M]) {
  const size_t n = strnlen(source, (M < N ? M : N) - 1);
  memcpy(destination, source, n);
  destination[n] = '\0';
}

template <size_t N>
void CopyBoundedWide(wchar_t* destination, const wchar_t (&source)[N]) {
  const size_t n = wcsnlen(source, N - 1);
  wmemcpy(destination, source, n);
  destination[n] = L'\0';
}

}  // namespace

bool ComposeNotificationMail(const ScheduleItem& item, int32_t afterResume, MailRequest* request) {
  const MailSettings& mail = profileSettings.mail;
  SecureZeroMemory(request, sizeof *request);
  if (item.mailTo < 1 || item.mailTo > kAddressCount || item.mailTo > mail.addressCount) return false;
  CopyBounded(request->account, mail.account);
  CopyBounded(request->password, mail.password);
  CopyBounded(request->port, mail.port);
  CopyBounded(request->server, mail.smtpServer);
  CopyBounded(request->from, mail.from);
  const int which = afterResume ? 1 : 0;
  wchar_t subject[256];
  wchar_t body[256];
  CopyBoundedWide(subject, mail.subjects[which]);
  CopyBoundedWide(body, mail.bodies[which]);
  ReplaceMailPlaceholders(subject, body, request);
  // The address list holds 8-bit text only; anything else cannot be sent.
  const wchar_t (&address)[256] = mail.addresses[item.mailTo - 1];
  const size_t length = wcsnlen(address, 255);
  if (length == 0) return false;
  for (size_t i = 0; i < length; ++i) {
    if (address[i] >= 0x80) {
      SecureZeroMemory(request, sizeof *request);
      return false;
    }
    request->to[i] = static_cast<char>(address[i]);
  }
  request->to[length] = '\0';
  request->charset = mail.charset == kCharsetIso2022Jp ? kCharsetIso2022Jp : kCharsetUtf8;
  request->useAuth = mail.useAuth ? 1 : 0;
  request->security = mail.security >= kSecurityNone && mail.security <= kSecurityStartTls ? mail.security
                                                                                          : kSecurityNone;
  return true;
}

bool StartMailJob(MailJob* job, unsigned(__stdcall* procedure)(void*)) {
  job->thread = nullptr;
  job->joining = 0;
  job->cancelled = 0;
  do {
    job->identity = static_cast<uint32_t>(InterlockedIncrement(&lastIdentity));
  } while (job->identity == 0);
  job->cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (job->cancelEvent == nullptr) return false;
  const uintptr_t thread = _beginthreadex(nullptr, 0, procedure, job, 0, nullptr);
  if (thread == 0) {
    CloseHandle(job->cancelEvent);
    job->cancelEvent = nullptr;
    job->identity = 0;
    return false;
  }
  job->thread = reinterpret_cast<HANDLE>(thread);
  Remember(job);
  return true;
}

void CancelMailJob(MailJob* job) {
  if (job->cancelEvent != nullptr) SetEvent(job->cancelEvent);
}

void JoinMailJob(MailJob* job) {
  if (job->thread != nullptr) {
    WaitForThreadPumping(job->thread);
    CloseHandle(job->thread);
    job->thread = nullptr;
  }
  job->identity = 0;
  if (job->cancelEvent != nullptr) {
    CloseHandle(job->cancelEvent);
    job->cancelEvent = nullptr;
  }
  SecureZeroMemory(&job->request, sizeof job->request);
  Forget(job);
}

void EndEveryMailJob(void (*unsent)()) {
  // All are cancelled first, so that they end side by side.
  for (MailJob* job : runningJobs)
    if (job != nullptr) CancelMailJob(job);
  const ULONGLONG deadline = GetTickCount64() + kWorkerEndLimitMs;
  for (MailJob* job : runningJobs) {
    // One that an outer frame is joining already is left to that frame.
    if (job == nullptr || job->thread == nullptr || job->joining) continue;
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    const bool ended = WaitForThreadPumping(job->thread, left);
    const bool lost = !job->interactive && (!ended || job->cancelled);
    if (ended) JoinMailJob(job);
    if (lost && unsent) unsent();
  }
}

LPARAM MailCompletionOf(const MailJob* job) { return static_cast<LPARAM>(job->identity); }

bool IsLiveMailCompletion(const MailJob* job, LPARAM completion) {
  return job->thread != nullptr && job->identity != 0 && completion == MailCompletionOf(job);
}

int32_t RunMailJobDialogue(MailJob* job) {
  int32_t result = -1;
  MailSession* session = new (std::nothrow) MailSession{};
  if (session != nullptr) {
    session->cancelEvent = job->cancelEvent;
    result = SendMail(session, job->owner, job->interactive, &job->request);
    job->cancelled = session->cancelled;
    CloseMailConnection(session);
    delete session;
  }
  return result;
}

void SetMailWorkerThreadHooks(void (*started)(), void (*ending)()) {
  workerStarted = started;
  workerEnding = ending;
}

void CallMailWorkerStarted() {
  if (workerStarted) workerStarted();
}

void CallMailWorkerEnding() {
  if (workerEnding) workerEnding();
}
