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

#include "smtp_session.h"

namespace {

const std::string kUnixState = SOPORA_MAIL_STATE_UNIX;
const std::string kUnixSource = SOPORA_MAIL_SOURCE_UNIX;
const std::string kState = "Z:" + kUnixState;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

bool TrustTestCa() {
  std::string der = ReadFile(kState + "/certs/ca.der");
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
  if (der.empty() || store == nullptr) return false;
  BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                             static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return ok != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? _wtoi(argv[1]) : 20;
  CreateDirectoryA(kState.c_str(), nullptr);
  if (!RunHost("/bin/sh -c \"" + kUnixSource + "/mail_servers.sh start " + kUnixState + " " + kUnixSource +
                   " && touch " + kUnixState + "/bench-up\"",
               kState + "/bench-up", 60000) ||
      !TrustTestCa()) {
    fprintf(stderr, "the test servers did not start\n");
    return 1;
  }

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
  std::vector<double> ours;
  int failures = 0;
  for (int i = 0; i <= rounds; ++i) {
    snprintf(request.to, sizeof request.to, "bench%d@example.test", i);
    MailSession* session = new MailSession{};
    double start = Now();
    int result = SendMail(session, nullptr, 0, &request);
    double end = Now();
    CloseMailConnection(session);
    delete session;
    if (result != 0) ++failures;
    if (i > 0) ours.push_back((end - start) * 1000);  // the first round warms up
  }

  std::vector<double> full, startup;
  if (RunHost("/bin/sh " + kUnixSource + "/swaks_baseline.sh " + kUnixState + " " + std::to_string(rounds),
              kState + "/swaks.done", 600000)) {
    std::istringstream times(ReadFile(kState + "/swaks-times.txt"));
    std::string kind;
    double ns;
    while (times >> kind >> ns) (kind == "full" ? full : startup).push_back(ns / 1e6);
  }
  RunHost("/bin/sh -c \"" + kUnixSource + "/mail_servers.sh stop " + kUnixState + " && touch " + kUnixState +
              "/bench-down\"",
          kState + "/bench-down", 10000);

  // The share of the trust-anchor set-up (the ROOT store read afresh per session).
  std::vector<double> context;
  for (int i = 0; i < rounds; ++i) {
    MailSession session{};
    double start = Now();
    CreateTlsContext(&session);
    context.push_back((Now() - start) * 1000);
    CloseMailConnection(&session);
  }
  printf("rounds: %d (failed sessions: %d)\n", rounds, failures);
  printf("of which the TLS context with the ROOT store: median %.2f ms\n", Median(context));
  printf("SendMail, STARTTLS + AUTH LOGIN, connect to final reply: median %.2f ms\n", Median(ours));
  if (full.empty()) {
    printf("swaks: not run (is swaks with Net::SSLeay installed?)\n");
    return 1;
  }
  double dialogue = Median(full) - Median(startup);
  printf("swaks, same mail, same server:  median %.2f ms whole run, %.2f ms start-up, %.2f ms dialogue\n",
         Median(full), Median(startup), dialogue);
  // swaks does not verify the server's certificate, so it reads no trust anchors.
  double withoutAnchors = Median(ours) - Median(context);
  printf("SendMail less the trust-anchor set-up: about %.2f ms\n", withoutAnchors);
  printf("goal, SendMail no slower than swaks's dialogue: %s in all, %s for the dialogue itself\n",
         Median(ours) <= dialogue ? "met" : "NOT met", withoutAnchors <= dialogue ? "met" : "NOT met");
  return failures == 0 ? 0 : 1;
}
