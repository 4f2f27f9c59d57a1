// One mail with STARTTLS and AUTH LOGIN to the loopback test server: the time
// SendMail takes from the connect to the final reply, beside swaks sending the
// same mail to the same server in the same run (swaks's start-up, measured by
// a refused connect, is taken off its total). Runs under Wine, which can start
// the host's shell; it starts and stops the test servers itself.
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <openssl/x509.h>

#include "benchmark.h"
#include "mail_test_files.h"
#include "smtp_session.h"

namespace {

const std::string kUnixState = SOPORA_MAIL_STATE_UNIX;
const std::string kUnixSource = SOPORA_MAIL_SOURCE_UNIX;
const std::string kState = "Z:" + kUnixState;

using benchmark_support::Median;
using benchmark_support::NowMs;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Starts a host command through Wine and waits for the file it makes at its end.
bool RunHost(const std::string& command, const std::string& doneFile, DWORD limitMs) {
  DeleteFileA(doneFile.c_str());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (DWORD waited = 0; waited < limitMs; waited += 20) {
    if (Exists(doneFile)) return true;
    Sleep(20);
  }
  return false;
}

void StopServers() {
  RunHost("/bin/sh -c \"" + kUnixSource + "/mail_servers.sh stop " + kUnixState + " && touch " + kUnixState +
              "/bench-down\"",
          kState + "/bench-down", 10000);
}

using mail_test_files::ReadFile;

bool TrustTestCa() { return mail_test_files::TrustTestCa(kState); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = benchmark_support::RoundsArgument(argc, argv, 15);
  if (rounds == 0) return 2;
  printf("rounds: %d\n", rounds);
  CreateDirectoryA(kState.c_str(), nullptr);
  if (!RunHost("/bin/sh -c \"" + kUnixSource + "/mail_servers.sh start " + kUnixState + " " + kUnixSource +
                   " && touch " + kUnixState + "/bench-up\"",
               kState + "/bench-up", 60000) ||
      !TrustTestCa()) {
    benchmark_support::Failures failures;
    failures.Check(false, "starting the test servers and trusting their CA");
    return benchmark_support::ReportFailures(failures, -1, rounds);
  }
  // As the program does at its start-up, with the trust it then has, long
  // before its first mail.
  PrepareTrustAnchorsInBackground();
  Sleep(2000);

  MailRequest request = {};
  strcpy(request.server, "localhost");
  strcpy(request.port, "844");
  strcpy(request.from, "scheduler@example.test");
  strcpy(request.account, "bench@example.test");
  strcpy(request.password, "s3cret-pass");
  request.useAuth = 1;
  request.security = kSecurityStartTls;
  wcscpy(request.subject, L"benchmark");
  wcscpy(request.body, L"benchmark body");
  // Round 0, the warm-up, is the first mail of the process: it is kept apart.
  std::vector<double> ours;
  double first = 0;
  int sent = 0;
  benchmark_support::Failures failures;
  std::vector<benchmark_support::Series> series = {{"SendMail", [&] {
    snprintf(request.to, sizeof request.to, "bench%d@example.test", sent);
    MailSession* session = new MailSession{};
    const double start = NowMs();
    const int result = SendMail(session, nullptr, 0, &request);
    const double took = NowMs() - start;
    CloseMailConnection(session);
    delete session;
    if (sent++ == 0)
      first = took;
    else
      ours.push_back(took);
    failures.Check(result == 0, "SendMail to " + std::string(request.to) + " (result " + std::to_string(result) + ")");
  }, {}}};
  const int ran = benchmark_support::RunRounds(&series, rounds, &failures);
  // A run with a failed session measured something else: no figures from it.
  if (failures.Count() > 0) {
    StopServers();
    return benchmark_support::ReportFailures(failures, ran, rounds);
  }

  std::vector<double> full, startup;
  int swaksFailed = 0;
  if (RunHost("/bin/sh " + kUnixSource + "/swaks_baseline.sh " + kUnixState + " " + std::to_string(rounds),
              kState + "/swaks.done", 600000)) {
    std::istringstream times(ReadFile(kState + "/swaks-times.txt"));
    std::string kind;
    double ns;
    while (times >> kind >> ns) {
      if (kind == "failed")
        ++swaksFailed;
      else
        (kind == "full" ? full : startup).push_back(ns / 1e6);
    }
  }
  StopServers();

  // The set-up apart: opening the ROOT store, decoding all of it (what a
  // session once did), and the TLS context a session makes now.
  std::vector<double> storeOpen, decodeAll, context;
  for (int i = 0; i < rounds; ++i) {
    double start = NowMs();
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                     CERT_SYSTEM_STORE_CURRENT_USER | CERT_STORE_READONLY_FLAG, L"ROOT");
    storeOpen.push_back(NowMs() - start);
    start = NowMs();
    for (PCCERT_CONTEXT cert = CertEnumCertificatesInStore(store, nullptr); cert != nullptr;
         cert = CertEnumCertificatesInStore(store, cert)) {
      const unsigned char* der = cert->pbCertEncoded;
      X509_free(d2i_X509(nullptr, &der, static_cast<long>(cert->cbCertEncoded)));
    }
    decodeAll.push_back(NowMs() - start);
    if (store != nullptr) CertCloseStore(store, 0);
    MailSession session{};
    start = NowMs();
    CreateTlsContext(&session);
    context.push_back(NowMs() - start);
    CloseMailConnection(&session);
  }
  // A baseline that did not send its mail, or took no longer than its own
  // start-up, measured nothing: no figures from it either.
  const double dialogue = Median(full) - Median(startup);
  if (swaksFailed > 0 || static_cast<int>(full.size()) != rounds || dialogue <= 0) {
    printf("FAILED after %d rounds: swaks sent %d of its %d mails (%d failed; is swaks with Net::SSLeay "
           "installed?), its dialogue %.2f ms\nNo figures.\n",
           rounds, static_cast<int>(full.size()), rounds, swaksFailed, dialogue);
    return 1;
  }
  printf("rounds: %d (failed sessions: none)\n", rounds);
  printf("set-up apart: ROOT store open %.2f ms (once a process), decoding the whole store %.2f ms (no longer done), "
         "TLS context %.2f ms (each session)\n",
         Median(storeOpen), Median(decodeAll), Median(context));
  printf("SendMail, STARTTLS + AUTH LOGIN, connect to final reply: first of the process %.2f ms, median %.2f ms\n",
         first, Median(ours));
  printf("swaks, same mail, same server:  median %.2f ms whole run, %.2f ms start-up, %.2f ms dialogue\n",
         Median(full), Median(startup), dialogue);
  const double firstRatio = first / dialogue;
  const double medianRatio = Median(ours) / dialogue;
  printf("ratio to swaks's dialogue: first mail %.2f, median %.2f\n", firstRatio, medianRatio);
  printf("goal, at most 0.75 of swaks's dialogue, the first mail included: %s\n",
         firstRatio <= 0.75 && medianRatio <= 0.75 ? "met" : "NOT met");
  return 0;
}
